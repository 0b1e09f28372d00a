#include "command_dispatcher.h"

#include "remote/command_text.h"

bool CommandDispatcher::DispatchMidiEntry(int device, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    if (IsFilteredNoteOff(m_settings.m_bFilterNoteOff != 0, status, data2))
        return false;
    m_strLastCommand = FormatCommandText(m_settings.m_strTextCommand, device, status, data1, data2);
    Send();
    m_nBatchDevice = device;
    return true;
}

void CommandDispatcher::FinishMidiBatch(std::uint64_t now)
{
    if (m_nBatchDevice < 0)
        return;
    m_outlets.watcher.ShowLastCommand(m_strLastCommand, m_nBatchDevice);
    m_outlets.activity.OnCommands(now);
    m_nBatchDevice = -1;
}

void CommandDispatcher::DispatchComLineEvent(int line, int level, std::uint64_t now)
{
    const ComSwitchConfig& com = m_settings.m_comConfig;
    m_strLastCommand = FormatCommandText(m_settings.m_strTextCommand, com.Device, kComSwitchStatus, line,
                                         ComLineValue(level));
    Send();
    bool muteAudio = line >= 0 && line < kComLineCount && com.Mute(line);
    for (int command : MuteAppCommands(muteAudio, level))
        m_outlets.audio.SendAppCommand(command);
    m_nBatchDevice = -1;
    m_outlets.watcher.ShowLastCommand(m_strLastCommand, com.Device);
    m_outlets.watcher.ShowComLineState(line, level);
    m_outlets.activity.OnCommands(now);
}

void CommandDispatcher::Send()
{
    m_outlets.sender.SendRemoteLine(
        FormatRemoteLine(m_settings.m_strApplicationId, m_settings.m_strDestination, m_strLastCommand));
}
