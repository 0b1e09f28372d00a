#include "command_text.h"

std::string FormatCommandText(const std::string& textCommand, int device, int status, int data1, int data2)
{
    std::string text = textCommand.empty() ? "AUXMIDI" : textCommand;
    for (int field : { device, status, data1, data2 }) {
        text += '/';
        text += std::to_string(field);
    }
    return text;
}

std::string FormatRemoteLine(const std::string& applicationId, const std::string& destination,
                             const std::string& commandText)
{
    const std::string& application = applicationId.empty() ? std::string("MIDI") : applicationId;
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + commandText + "\" 1";
}

bool IsFilteredNoteOff(bool filterNoteOff, std::uint8_t status, std::uint8_t data2)
{
    return filterNoteOff && (status & 0xF0) == 0x90 && data2 == 0;
}

int ComLineValue(int state) { return state != 0 ? 127 : 0; }

std::vector<int> MuteAppCommands(bool muteAudio, int state)
{
    if (!muteAudio)
        return {};
    std::vector<int> commands = { kAppCommandVolumeDown, kAppCommandVolumeUp };
    if (state > 0)
        commands.push_back(kAppCommandVolumeMute);
    return commands;
}
