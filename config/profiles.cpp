#include "profiles.h"

#include "framework/text.h"
#include "ini_integer.h"
#include "res/resource.h"
#include "res/settings_ids.h"

namespace {
// What a used slot without a BroadcastAddress key loads.
constexpr const char* kProfileDefaultAddress = "127.255.255.255";

// The Port text is read as text on purpose: with an empty default a missing key compares as 0,
// with "9871" it loads as 9871.
int ReadProfilePort(const TypedIni& ini, const std::string& section, const std::string& defaultText)
{
    std::string text;
    ini.ReadIniString(section, PROFILE_PORT, defaultText, text);
    return ParseIniInteger(text);
}

// Menus and buttons take "&" for the mark of a mnemonic and show "&&" as one "&". The byte
// 0x26 is never the second byte of a double-byte character in the Windows code pages, so the
// bytes are doubled without one.
std::string ShownAsTyped(const std::string& name)
{
    std::string shown;
    for (char c : name) {
        shown += c;
        if (c == '&')
            shown += c;
    }
    return shown;
}
}

bool IsProfileNumber(int n) { return n >= 1 && n <= kProfileCount; }

std::string ProfileSectionName(int n)
{
    return IsProfileNumber(n) ? "Profile" + std::to_string(n) : std::string();
}

std::string ReadProfileName(const TypedIni& ini, int n)
{
    std::string name;
    ini.ReadIniString(ProfileSectionName(n), PROFILE_NAME, "", name);
    return name;
}

std::string FormatProfileNumber(std::string_view pattern, int n)
{
    return FillPlaceholders(pattern, { { 'd', std::to_string(n), true } });
}

void ReadProfileValues(const TypedIni& ini, int n, SettingsRecord& fields)
{
    const std::string section = ProfileSectionName(n);
    if (section.empty())
        return;
    ini.ReadIniString(section, PROFILE_BROADCAST_ADDRESS, kProfileDefaultAddress, fields.m_strBroadcastAddress);
    int port = ReadProfilePort(ini, section, "9871");
    ini.ReadIniString(section, PROFILE_APPLICATION_ID, "", fields.m_strApplicationId);
    ini.ReadIniString(section, PROFILE_TEXT_CMD, "", fields.m_strTextCommand);
    ini.ReadIniString(section, PROFILE_DESTINATION, "", fields.m_strDestination);
    fields.m_nPort = port;
}

bool ApplyProfile(const TypedIni& ini, int n, SettingsRecord& settings)
{
    if (!IsProfileNumber(n) || ReadProfileName(ini, n).empty())
        return false;
    ReadProfileValues(ini, n, settings);
    return true;
}

int FindProfileByName(const TypedIni& ini, const std::string& name)
{
    if (name.empty())
        return 0;
    for (int n = 1; n <= kProfileCount; ++n) {
        if (ReadProfileName(ini, n) == name)
            return n;
    }
    return 0;
}

int FindCurrentProfile(const TypedIni& ini, const SettingsRecord& settings)
{
    for (int n = 1; n <= kProfileCount; ++n) {
        if (ReadProfileName(ini, n).empty())
            continue;
        const std::string section = ProfileSectionName(n);
        std::string text;
        ini.ReadIniString(section, PROFILE_BROADCAST_ADDRESS, "", text);
        if (text != settings.m_strBroadcastAddress)
            continue;
        if (ReadProfilePort(ini, section, "") != settings.m_nPort)
            continue;
        ini.ReadIniString(section, PROFILE_APPLICATION_ID, "", text);
        if (text != settings.m_strApplicationId)
            continue;
        ini.ReadIniString(section, PROFILE_TEXT_CMD, "", text);
        if (text != settings.m_strTextCommand)
            continue;
        ini.ReadIniString(section, PROFILE_DESTINATION, "", text);
        if (text == settings.m_strDestination)
            return n;
    }
    return 0;
}

std::array<ProfileMenuItem, kProfileCount> ProfileMenuItems(const TypedIni& ini, int currentProfile)
{
    std::array<ProfileMenuItem, kProfileCount> items;
    for (int n = 1; n <= kProfileCount; ++n) {
        ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
        item.commandId = ID_PROFILE_1 - 1 + n;
        item.text = ReadProfileName(ini, n);
        item.enabled = !item.text.empty();
        item.checked = item.enabled && n == currentProfile;
        item.text = item.enabled ? ShownAsTyped(item.text) : FormatProfileNumber(kEmptyProfileLabel, n);
    }
    return items;
}

std::array<ProfileButtonLabel, kProfileCount> ProfileButtonLabels(const TypedIni& ini,
                                                                  std::string_view emptySlotPattern)
{
    std::array<ProfileButtonLabel, kProfileCount> labels;
    for (int n = 1; n <= kProfileCount; ++n) {
        ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
        label.loadButtonId = IDC_LOAD_PROFILE_1 - 1 + n;
        label.saveButtonId = IDC_SAVE_PROFILE_1 - 1 + n;
        label.text = ReadProfileName(ini, n);
        label.loadEnabled = !label.text.empty();
        label.text = label.loadEnabled ? ShownAsTyped(label.text) : FormatProfileNumber(emptySlotPattern, n);
    }
    return labels;
}
