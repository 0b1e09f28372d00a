#include "tray_texts.h"

std::string TrayTooltip(const std::string& profileName, int openMidiDevices, const std::string& comPort)
{
    std::string tip = "kvMidi";
    if (!profileName.empty())
        tip += " - " + profileName;
    std::string open;
    if (openMidiDevices > 0)
        open = std::to_string(openMidiDevices) + (openMidiDevices == 1 ? " MIDI device" : " MIDI devices");
    if (!comPort.empty())
        open += (open.empty() ? "" : ", ") + comPort;
    return tip + " - " + (open.empty() ? "no device open" : open);
}

std::string DeviceStateText(const std::string& device, bool present)
{
    return device + (present ? " is connected again." : " is no longer connected.");
}
