// The settings as the program holds them while it runs: one Settings value, held by the
// controller; the settings dialog edits a copy of it and hands it back.
#pragma once

#include <string>
#include <vector>

constexpr int kMidiDeviceCount = 5;   // MIDI input devices 0–4 are offered
constexpr int kComLineCount = 4;      // line index: 0 CTS, 1 DCD, 2 DSR, 3 RI (config/com_lines.h)

struct SettingsRecord {
    std::string m_strBroadcastAddress;
    int m_nPort = 0;
    std::string m_strApplicationId;
    std::string m_strDestination;
    int m_bFilterNoteOff = 0;
    std::string m_strTextCommand;
    int m_bDeviceEnabled[kMidiDeviceCount] = {};
    int m_bComEnabled = 0;

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// A chosen MIDI device as the INI keeps it ("Midi" / "DeviceNames"): its product name and the
// number its commands carry. A chosen device that is gone keeps its entry, so that it is opened
// again under that number when it comes back, wherever the system then puts it.
struct MidiDeviceChoice {
    int number = 0;
    std::string name;   // empty: known by its number only (an INI from before the names were kept)

    friend bool operator==(const MidiDeviceChoice&, const MidiDeviceChoice&) = default;
};

// The one COM switch configuration; the switch monitor takes what it needs when it opens.
struct ComSwitchConfig {
    std::string Port;
    int Device = 0;
    int Cts = 0;
    int Dcd = 0;
    int Dsr = 0;
    int Ri = 0;
    int CtsMute = 0;
    int DcdMute = 0;
    int DsrMute = 0;
    int RiMute = 0;
    int RtsOn = 0;
    int DtrOn = 0;

    // The watch and mute flags by line index.
    int& Watch(int line);
    int Watch(int line) const;
    int& Mute(int line);
    int Mute(int line) const;

    friend bool operator==(const ComSwitchConfig&, const ComSwitchConfig&) = default;
};

struct Settings : SettingsRecord {
    ComSwitchConfig m_comConfig;
    // The MIDI choice on its way to and from the file, with m_bDeviceEnabled ("Devices"). While
    // the program runs the devices' owner keeps it (input/midi_devices.h); the controller's
    // record and the dialog's copy leave both empty.
    std::vector<MidiDeviceChoice> m_midiChoice;

    friend bool operator==(const Settings&, const Settings&) = default;
};
