#include "settings_io.h"

#include "com_lines.h"
#include "device_list.h"

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
    ini.WriteIniString(SECTION_MIDI, MIDI_DEVICES, FormatDeviceList(settings.m_bDeviceEnabled));
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
