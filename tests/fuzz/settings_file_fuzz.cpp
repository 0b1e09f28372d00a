// Any INI file: the settings and the profiles read from it never crash, and what the program
// writes back is read again as the same settings.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "config/profiles.h"
#include "config/settings_io.h"
#include "tests/fuzz/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static SettingNameTable names;
    names.BuildSettingNameTable();
    MemoryProfile file;
    FillFromIniText(text, file);
    TypedIni ini(names, file);
    const bool present[kMidiDeviceCount] = { true, true, false, true, true };

    SettingsRecord settings;
    ComSwitchConfig com;
    LoadSettings(ini, present, settings, com);
    (void)ProfileMenuItems(ini, FindCurrentProfile(ini, settings));
    (void)FindProfileByName(ini, std::string(text.substr(0, 40)));

    MemoryProfile written;
    TypedIni rewritten(names, written);
    SaveSettings(rewritten, settings, com);
    SettingsRecord again;
    ComSwitchConfig comAgain;
    LoadSettings(rewritten, present, again, comAgain);
    bool same = again.m_strBroadcastAddress == settings.m_strBroadcastAddress && again.m_nPort == settings.m_nPort &&
                again.m_strApplicationId == settings.m_strApplicationId &&
                again.m_strDestination == settings.m_strDestination &&
                again.m_bFilterNoteOff == settings.m_bFilterNoteOff &&
                again.m_strTextCommand == settings.m_strTextCommand && again.m_bComEnabled == settings.m_bComEnabled &&
                std::equal(std::begin(again.m_bDeviceEnabled), std::end(again.m_bDeviceEnabled),
                           std::begin(settings.m_bDeviceEnabled)) &&
                comAgain == com;
    if (!same)
        std::abort();
    return 0;
}
