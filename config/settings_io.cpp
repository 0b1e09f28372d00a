#include "settings_io.h"

#include "device_list.h"

namespace {
// The Com flag keys 404–413 in file order, with the field each one holds.
struct ComFlagKey {
    int keyId;
    int ComSwitchConfig::*field;
};
constexpr ComFlagKey kComFlagKeys[] = {
    { COM_CTS, &ComSwitchConfig::Cts },         { COM_CTS_MUTE, &ComSwitchConfig::CtsMute },
    { COM_DCD, &ComSwitchConfig::Dcd },         { COM_DCD_MUTE, &ComSwitchConfig::DcdMute },
    { COM_DSR, &ComSwitchConfig::Dsr },         { COM_DSR_MUTE, &ComSwitchConfig::DsrMute },
    { COM_RI, &ComSwitchConfig::Ri },           { COM_RI_MUTE, &ComSwitchConfig::RiMute },
    { COM_RTS_ON, &ComSwitchConfig::RtsOn },    { COM_DTR_ON, &ComSwitchConfig::DtrOn },
};
}

void LoadSettings(const TypedIni& ini, const bool (&devicePresent)[kMidiDeviceCount],
                  SettingsRecord& settings, ComSwitchConfig& com)
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

    ComSwitchConfig loaded;
    ini.ReadIniString(SECTION_COM, COM_PORT, "", loaded.Port);
    ini.ReadIniInt(SECTION_COM, COM_DEVICE, 10, loaded.Device);
    for (const ComFlagKey& key : kComFlagKeys)
        ini.ReadIniBool(SECTION_COM, key.keyId, loaded.*key.field);
    com = loaded;
}

void SaveSettings(const TypedIni& ini, const SettingsRecord& settings, const ComSwitchConfig& com)
{
    ini.WriteIniString(SECTION_NETWORK, NETWORK_BROADCAST_ADDRESS, settings.m_strBroadcastAddress);
    ini.WriteIniInt(SECTION_NETWORK, NETWORK_PORT, settings.m_nPort);
    ini.WriteIniString(SECTION_NETWORK, NETWORK_APPLICATION_ID, settings.m_strApplicationId);
    ini.WriteIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, settings.m_strDestination);
    ini.WriteIniBool(SECTION_MIDI, MIDI_FILTER_NOTE_OFF, settings.m_bFilterNoteOff);
    ini.WriteIniString(SECTION_MIDI, MIDI_TEXT_CMD, settings.m_strTextCommand);
    ini.WriteIniString(SECTION_MIDI, MIDI_DEVICES, FormatDeviceList(settings.m_bDeviceEnabled));
    ini.WriteIniBool(SECTION_COM, COM_ENABLE, settings.m_bComEnabled);
    ini.WriteIniString(SECTION_COM, COM_PORT, com.Port);
    ini.WriteIniInt(SECTION_COM, COM_DEVICE, com.Device);
    for (const ComFlagKey& key : kComFlagKeys)
        ini.WriteIniBool(SECTION_COM, key.keyId, com.*key.field);
}
