#include "settings_validation.h"

#include "framework/text.h"
#include "res/resource.h"
#include "res/settings_ids.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr int kFirstComDevice = 10;
constexpr int kLastComDevice = 255;
}

bool IsValidIpAddress(std::string_view text) { return ParseDottedDecimal(text).has_value(); }

bool EndsWith255(std::string_view address)
{
    size_t lastDot = address.rfind('.');
    return lastDot != std::string_view::npos && address.substr(lastDot + 1) == "255";
}

bool IsValidTextCommand(std::string_view text)
{
    for (char c : text) {
        if (!IsLetter(c) && !IsDigit(c))
            return false;
    }
    return true;
}

bool IsValidComDevice(int device) { return device >= kFirstComDevice && device <= kLastComDevice; }

std::vector<SettingsFinding> CheckSettings(std::string_view broadcastAddress, std::string_view textCommand,
                                           int comDevice)
{
    std::vector<SettingsFinding> findings;
    if (!IsValidIpAddress(broadcastAddress)) {
        findings.push_back({ SettingsCheck::IpAddress, false, IDS_INVALID_IP, IDC_BROADCAST_ADDRESS });
        return findings;
    }
    if (!EndsWith255(broadcastAddress))
        findings.push_back({ SettingsCheck::BroadcastEnding, true, IDS_CONFIRM_BROADCAST, IDC_BROADCAST_ADDRESS });
    if (!IsValidTextCommand(textCommand)) {
        findings.push_back({ SettingsCheck::TextCommand, false, IDS_TEXT_COMMAND_CHARS, IDC_TEXT_COMMAND });
        return findings;
    }
    if (!IsValidComDevice(comDevice))
        findings.push_back({ SettingsCheck::ComDevice, false, IDS_COM_DEVICE_RANGE, IDC_COM_DEVICE });
    return findings;
}

std::string FormatBroadcastQuestion(std::string_view pattern, std::string_view address)
{
    return FillPlaceholders(pattern, { { 's', address, true } });
}

int ValidateSettings(const std::string& broadcastAddress, std::string_view textCommand, int comDevice,
                     SettingsMessages& messages)
{
    for (const SettingsFinding& finding : CheckSettings(broadcastAddress, textCommand, comDevice)) {
        if (finding.question) {
            if (messages.ConfirmBroadcastAddress(finding.messageId, broadcastAddress))
                continue;
        } else {
            messages.ShowSettingsError(finding.messageId);
        }
        return finding.controlId;
    }
    return 0;
}
