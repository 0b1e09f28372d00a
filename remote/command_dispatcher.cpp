#include "command_dispatcher.h"

#include "remote/command_text.h"

bool CommandDispatcher::DispatchMidiEntry(int device, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    if (IsFilteredNoteOff(m_settings.m_bFilterNoteOff != 0, status, data2))
        return false;
    m_strLastCommand = FormatCommandText(m_settings.m_strTextCommand, device, status, data1, data2);
    m_outlets.watcher.ShowLastCommand(m_strLastCommand, device);
    ShowAndSend();
    return true;
}

void CommandDispatcher::DispatchComLineEvent(int line, int level)
{
    const ComSwitchConfig& com = m_settings.m_comConfig;
    m_strLastCommand = FormatCommandText(m_settings.m_strTextCommand, com.Device, kComSwitchStatus, line,
                                         ComLineValue(level));
    m_outlets.watcher.ShowLastCommand(m_strLastCommand, com.Device);
    m_outlets.watcher.ShowComLineState(line, level);
    ShowAndSend();
    bool muteAudio = line >= 0 && line < kComLineCount && com.Mute(line);
    for (int command : MuteAppCommands(muteAudio, level))
        m_outlets.audio.SendAppCommand(command);
}

void CommandDispatcher::ShowAndSend()
{
    ShowCommandActivity(m_outlets.display, m_outlets.timer);
    m_outlets.sender.SendRemoteLine(
        FormatRemoteLine(m_settings.m_strApplicationId, m_settings.m_strDestination, m_strLastCommand));
}
