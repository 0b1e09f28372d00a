#include "settings_io.h"

#include <algorithm>
#include <iterator>

#include "com_lines.h"
#include "device_list.h"
#include "ini_integer.h"

namespace {
bool MustEscape(unsigned char c) { return c <= ' ' || c > '~' || c == '%' || c == ',' || c == '"'; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Unescape(std::string_view text)
{
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (text[i] == '%' && high >= 0 && low >= 0) {
            name += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            name += text[i];
        }
    }
    return name;
}

// The entries go with "Devices" only when they name exactly its devices; otherwise a program
// that knows only "Devices" has changed the choice since, and the numbers are taken as they are.
std::vector<MidiDeviceChoice> ReadDeviceChoice(const TypedIni& ini, const std::string& devices,
                                               const int (&enabled)[kMidiDeviceCount])
{
    std::string text;
    ini.ReadIniString(SECTION_MIDI, MIDI_DEVICE_NAMES, "", text);
    std::vector<MidiDeviceChoice> choice = ParseDeviceNames(text);
    const bool all[kMidiDeviceCount] = { true, true, true, true, true };
    int listed[kMidiDeviceCount] = {};
    ParseDeviceList(devices, all, listed);
    int named[kMidiDeviceCount] = {};
    for (const MidiDeviceChoice& entry : choice)
        named[entry.number] = 1;
    if (std::equal(std::begin(listed), std::end(listed), std::begin(named)))
        return choice;
    choice.clear();
    for (int device = 0; device < kMidiDeviceCount; ++device) {
        if (enabled[device])
            choice.push_back({ device, "" });
    }
    return choice;
}
}

std::string FormatDeviceNames(const std::vector<MidiDeviceChoice>& choice)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const MidiDeviceChoice& entry : choice) {
        if (!text.empty())
            text += ',';
        text += std::to_string(entry.number) + ':';
        for (unsigned char c : entry.name) {
            if (MustEscape(c))
                text += { '%', kHex[c >> 4], kHex[c & 15] };
            else
                text += static_cast<char>(c);
        }
    }
    return text;
}

std::vector<MidiDeviceChoice> ParseDeviceNames(std::string_view text)
{
    std::vector<MidiDeviceChoice> choice;
    while (!text.empty()) {
        size_t end = std::min(text.find(','), text.size());
        std::string_view entry = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        size_t colon = entry.find(':');
        if (colon == std::string_view::npos)
            continue;
        int number = ParseIniInteger(entry.substr(0, colon));
        std::string name = Unescape(entry.substr(colon + 1));
        if (number >= 0 && number < kMidiDeviceCount && !name.empty())
            choice.push_back({ number, std::move(name) });
    }
    return choice;
}

void ReadSettings(const TypedIni& ini, const bool (&devicePresent)[kMidiDeviceCount], Settings& settings)
{
    ini.ReadIniString(SECTION_NETWORK, NETWORK_BROADCAST_ADDRESS, "", settings.m_strBroadcastAddress);
    ini.ReadIniInt(SECTION_NETWORK, NETWORK_PORT, 9871, settings.m_nPort);
    ini.ReadIniString(SECTION_NETWORK, NETWORK_APPLICATION_ID, "MIDI", settings.m_strApplicationId);
    ini.ReadIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, "", settings.m_strDestination);
    ini.ReadIniBool(SECTION_MIDI, MIDI_FILTER_NOTE_OFF, settings.m_bFilterNoteOff);
    ini.ReadIniString(SECTION_MIDI, MIDI_TEXT_CMD, "AUXMIDI", settings.m_strTextCommand);

    std::string devices;
    ini.ReadIniString(SECTION_MIDI, MIDI_DEVICES, "", devices);
    ParseDeviceList(devices, devicePresent, settings.m_bDeviceEnabled);
    settings.m_midiChoice = ReadDeviceChoice(ini, devices, settings.m_bDeviceEnabled);

    ini.ReadIniBool(SECTION_COM, COM_ENABLE, settings.m_bComEnabled);

    // Keys 404–413 in file order: each line's watch and mute flag, then RTS and DTR.
    ComSwitchConfig loaded;
    ini.ReadIniString(SECTION_COM, COM_PORT, "", loaded.Port);
    ini.ReadIniInt(SECTION_COM, COM_DEVICE, 10, loaded.Device);
    for (const ComLine& line : kComLines) {
        ini.ReadIniBool(SECTION_COM, line.watchKey, loaded.*line.watchFlag);
        ini.ReadIniBool(SECTION_COM, line.muteKey, loaded.*line.muteFlag);
    }
    ini.ReadIniBool(SECTION_COM, COM_RTS_ON, loaded.RtsOn);
    ini.ReadIniBool(SECTION_COM, COM_DTR_ON, loaded.DtrOn);
    settings.m_comConfig = loaded;
}

void WriteSettings(const TypedIni& ini, const Settings& settings)
{
    ini.WriteIniString(SECTION_NETWORK, NETWORK_BROADCAST_ADDRESS, settings.m_strBroadcastAddress);
    ini.WriteIniInt(SECTION_NETWORK, NETWORK_PORT, settings.m_nPort);
    ini.WriteIniString(SECTION_NETWORK, NETWORK_APPLICATION_ID, settings.m_strApplicationId);
    ini.WriteIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, settings.m_strDestination);
    ini.WriteIniBool(SECTION_MIDI, MIDI_FILTER_NOTE_OFF, settings.m_bFilterNoteOff);
    ini.WriteIniString(SECTION_MIDI, MIDI_TEXT_CMD, settings.m_strTextCommand);
    // A selected device that is gone stays in "Devices" at the number it had last.
    int listed[kMidiDeviceCount] = {};
    std::copy(std::begin(settings.m_bDeviceEnabled), std::end(settings.m_bDeviceEnabled), listed);
    for (const MidiDeviceChoice& entry : settings.m_midiChoice)
        listed[entry.number] = 1;
    ini.WriteIniString(SECTION_MIDI, MIDI_DEVICES, FormatDeviceList(listed));
    ini.WriteIniString(SECTION_MIDI, MIDI_DEVICE_NAMES, FormatDeviceNames(settings.m_midiChoice));
    ini.WriteIniBool(SECTION_COM, COM_ENABLE, settings.m_bComEnabled);

    const ComSwitchConfig& com = settings.m_comConfig;
    ini.WriteIniString(SECTION_COM, COM_PORT, com.Port);
    ini.WriteIniInt(SECTION_COM, COM_DEVICE, com.Device);
    for (const ComLine& line : kComLines) {
        ini.WriteIniBool(SECTION_COM, line.watchKey, com.*line.watchFlag);
        ini.WriteIniBool(SECTION_COM, line.muteKey, com.*line.muteFlag);
    }
    ini.WriteIniBool(SECTION_COM, COM_RTS_ON, com.RtsOn);
    ini.WriteIniBool(SECTION_COM, COM_DTR_ON, com.DtrOn);
}
