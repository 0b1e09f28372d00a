#include "command_dispatcher.h"

#include <utility>

#include "remote/command_text.h"

bool CommandDispatcher::Apply(const SendReport& report, const ComSwitchConfig& com, std::uint64_t now)
{
    for (const ComLineChange& change : report.comChanges) {
        bool muteAudio = change.line >= 0 && change.line < kComLineCount && com.Mute(change.line);
        for (int command : MuteAppCommands(muteAudio, change.level))
            m_outlets.shell.SendAppCommand(command);
    }
    if (report.lastDevice >= 0) {
        m_strLastCommand = report.lastCommand;
        m_outlets.watcher.ShowLastCommand(m_strLastCommand, report.lastDevice);
        m_outlets.activity.OnCommands(now);
    }
    for (const ComLineChange& change : report.comChanges)
        m_outlets.watcher.ShowComLineState(change.line, change.level);
    std::uint64_t before = m_shed.Total();
    m_shed.Update(report.dropped, now);
    ShowBalloons(now);
    bool notSentChanged = std::exchange(m_notSent, report.refused) != report.refused;
    return m_shed.Total() != before || notSentChanged;
}

void CommandDispatcher::Tick(std::uint64_t now) { ShowBalloons(now); }

void CommandDispatcher::ShowBalloons(std::uint64_t now)
{
    for (const std::string& text : m_shed.Announcements(now))
        m_outlets.shell.ShowShedBalloon(text);
}
