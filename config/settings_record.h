// The settings as the program holds them while it runs. The controller and the settings
// dialog each carry these members as their own (they derive from SettingsRecord), so the
// dialog's copies have the controller's names and copying is one assignment.
#pragma once

#include <array>
#include <string>

constexpr int kMidiDeviceCount = 5;   // MIDI input devices 0–4 are offered
constexpr int kComLineCount = 4;      // line index: 0 CTS, 1 DCD, 2 DSR, 3 RI

struct SettingsRecord {
    std::string m_strBroadcastAddress;
    int m_nPort = 0;
    std::string m_strApplicationId;
    std::string m_strDestination;
    int m_bFilterNoteOff = 0;
    std::string m_strTextCommand;
    int m_bDeviceEnabled[kMidiDeviceCount] = {};
    int m_bComEnabled = 0;
};

// The one COM switch configuration, shared by the controller, the settings dialog's copy and
// the switch monitor.
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
    int& Watch(int line) { return this->*kWatchFlags[static_cast<size_t>(line)]; }
    int Watch(int line) const { return this->*kWatchFlags[static_cast<size_t>(line)]; }
    int& Mute(int line) { return this->*kMuteFlags[static_cast<size_t>(line)]; }
    int Mute(int line) const { return this->*kMuteFlags[static_cast<size_t>(line)]; }

private:
    static constexpr std::array<int ComSwitchConfig::*, kComLineCount> kWatchFlags = {
        &ComSwitchConfig::Cts, &ComSwitchConfig::Dcd, &ComSwitchConfig::Dsr, &ComSwitchConfig::Ri
    };
    static constexpr std::array<int ComSwitchConfig::*, kComLineCount> kMuteFlags = {
        &ComSwitchConfig::CtsMute, &ComSwitchConfig::DcdMute, &ComSwitchConfig::DsrMute, &ComSwitchConfig::RiMute
    };
};

bool operator==(const ComSwitchConfig& a, const ComSwitchConfig& b);
