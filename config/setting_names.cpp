#include "setting_names.h"

#include "com_lines.h"

void SettingNameTable::BuildSettingNameTable()
{
    if (!m_names.empty())
        return;
    m_names = {
        { SECTION_NETWORK, "Network" },
        { NETWORK_BROADCAST_ADDRESS, "BroadcastAddress" },
        { NETWORK_PORT, "Port" },
        { NETWORK_APPLICATION_ID, "ApplicationId" },
        { SECTION_REMOTE_CMD, "RemoteCmd" },
        { REMOTE_CMD_DESTINATION, "Destination" },
        { SECTION_MIDI, "Midi" },
        { MIDI_DEVICES, "Devices" },
        { MIDI_FILTER_NOTE_OFF, "FilterNoteOff" },
        { MIDI_TEXT_CMD, "TextCmd" },
        { MIDI_DEVICE_NAMES, "DeviceNames" },
        { SECTION_COM, "Com" },
        { COM_ENABLE, "Enable" },
        { COM_PORT, "Port" },
        { COM_DEVICE, "Device" },
        { COM_RTS_ON, "RtsOn" },
        { COM_DTR_ON, "DtrOn" },
        { PROFILE_NAME, "Name" },
        { PROFILE_BROADCAST_ADDRESS, "BroadcastAddress" },
        { PROFILE_PORT, "Port" },
        { PROFILE_APPLICATION_ID, "ApplicationId" },
        { PROFILE_TEXT_CMD, "TextCmd" },
        { PROFILE_DESTINATION, "Destination" },
    };
    for (const ComLine& line : kComLines) {
        m_names.emplace(line.watchKey, line.watchKeyName);
        m_names.emplace(line.muteKey, line.muteKeyName);
    }
}

const std::string& SettingNameTable::Name(int id) const
{
    static const std::string none;
    auto found = m_names.find(id);
    return found == m_names.end() ? none : found->second;
}
