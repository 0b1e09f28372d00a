#include "activity.h"

void CommandActivity::OnCommands(std::uint64_t now)
{
    m_lastCommand = now;
    if (!m_display.IsAnimating()) {
        // Also after a start whose frame timer failed: every command tries again.
        m_display.StartFrames();
        SetTimer(now, kDurationMilliseconds);
    } else if (now - m_timerSet >= kRenewMilliseconds) {
        SetTimer(now, kDurationMilliseconds);
    }
}

void CommandActivity::OnTimer(std::uint64_t now)
{
    std::uint64_t quiet = now - m_lastCommand;
    if (m_display.IsAnimating() && quiet < kDurationMilliseconds) {
        SetTimer(now, kDurationMilliseconds - quiet);
        return;
    }
    m_timer.KillActivityTimer();
    m_display.StopFrames();
}

void CommandActivity::SetTimer(std::uint64_t now, std::uint64_t milliseconds)
{
    m_timerSet = now;
    m_timer.SetActivityTimer(static_cast<unsigned>(milliseconds));
}
