// What the tray icon tells a user who looks at it: the tooltip with the current profile and
// what is open, and the balloons for devices that come and go.
#pragma once

#include <string>

// "kvMidi - Studio - 2 MIDI devices, COM3"; the profile part only when one is current, and
// "no device open" when nothing is. Plain ASCII: the text is in the system's code page.
std::string TrayTooltip(const std::string& profileName, int openMidiDevices, const std::string& comPort);

// The balloon's text for a device or port that went away or came back.
std::string DeviceStateText(const std::string& device, bool present);
