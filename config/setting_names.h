// The numeric ids of every INI section and key, and the table that names them. Ids that are
// multiples of 100 are sections; a key lies in the hundred of its section. The keys 501–506
// belong to the profile sections, whose names are built at run time.
#pragma once

#include <cstddef>
#include <map>
#include <string>

enum SettingId : int {
    SECTION_NETWORK = 100,
    NETWORK_BROADCAST_ADDRESS = 101,
    NETWORK_PORT = 102,
    NETWORK_APPLICATION_ID = 103,

    SECTION_REMOTE_CMD = 200,
    REMOTE_CMD_DESTINATION = 201,

    SECTION_MIDI = 300,
    MIDI_DEVICES = 301,
    MIDI_FILTER_NOTE_OFF = 302,
    MIDI_TEXT_CMD = 303,
    MIDI_DEVICE_NAMES = 304,

    SECTION_COM = 400,
    COM_ENABLE = 401,
    COM_PORT = 402,
    COM_DEVICE = 403,
    COM_CTS = 404,
    COM_CTS_MUTE = 405,
    COM_DCD = 406,
    COM_DCD_MUTE = 407,
    COM_DSR = 408,
    COM_DSR_MUTE = 409,
    COM_RI = 410,
    COM_RI_MUTE = 411,
    COM_RTS_ON = 412,
    COM_DTR_ON = 413,

    PROFILE_NAME = 501,
    PROFILE_BROADCAST_ADDRESS = 502,
    PROFILE_PORT = 503,
    PROFILE_APPLICATION_ID = 504,
    PROFILE_TEXT_CMD = 505,
    PROFILE_DESTINATION = 506,
};

class SettingNameTable {
public:
    // Fills the table once at start-up; later calls change nothing.
    void BuildSettingNameTable();

    // The name of an id, or the empty string for an id the table does not hold.
    const std::string& Name(int id) const;
    std::size_t Count() const { return m_names.size(); }

private:
    std::map<int, std::string> m_names;
};
