#include "tray_icon_state.h"

#include <cstddef>
#include <utility>

bool TrayIconState::AddIcon(TrayIcon icon)
{
    if (!m_bShellOk)
        return false;
    m_hIcon = icon;
    m_bIconHidden = false;
    m_nAddFlags = kTrayAddFlags;
    bool added = m_shell.NotifyIcon(TrayShell::Action::Add, m_nAddFlags, m_hIcon);
    m_bIconDeleted = !added;
    m_bIconHidden = !added;
    return added;
}

void TrayIconState::DeleteIcon()
{
    if (!m_bShellOk || m_bIconDeleted)
        return;
    if (m_shell.NotifyIcon(TrayShell::Action::Delete, 0, m_hIcon)) {
        m_bIconHidden = true;
        m_bIconDeleted = true;
    }
}

void TrayIconState::SetFrames(std::vector<TrayIcon> frames) { m_frameIcons = std::move(frames); }

bool TrayIconState::StartFrames()
{
    if (m_frameIcons.empty())
        return false;
    StopFrames();
    m_nFrame = 0;
    m_hRestoreIcon = m_bShellOk ? m_hIcon : nullptr;
    m_nFrameTimer = m_shell.SetFrameTimer();
    return m_nFrameTimer != 0;
}

bool TrayIconState::NextFrame()
{
    if (m_frameIcons.empty())
        return false;
    // The first tick shows the second frame: the start leaves the icon from before in place.
    if (++m_nFrame >= static_cast<int>(m_frameIcons.size()))
        m_nFrame = 0;
    if (!m_bShellOk)
        return false;
    m_hIcon = m_frameIcons[static_cast<std::size_t>(m_nFrame)];
    if (m_bIconHidden)
        return true;
    return m_shell.NotifyIcon(TrayShell::Action::Modify, kTrayIconFlag, m_hIcon);
}

bool TrayIconState::StopFrames()
{
    bool killed = false;
    if (m_nFrameTimer != 0)
        killed = m_shell.KillFrameTimer(m_nFrameTimer);
    m_nFrameTimer = 0;
    if (m_hRestoreIcon && m_bShellOk) {
        m_hIcon = m_hRestoreIcon;
        if (!m_bIconHidden)
            m_shell.NotifyIcon(TrayShell::Action::Modify, kTrayIconFlag, m_hIcon);
    }
    m_hRestoreIcon = nullptr;
    return killed;
}

void TrayIconState::OnTimer(unsigned id)
{
    if (id != 0 && id == m_nFrameTimer)
        NextFrame();
}

void TrayIconState::OnTaskbarCreated()
{
    // An icon that the shell refused, at the first add (the shell was not ready yet, as at
    // log-on) or at a re-add, is tried again: without it the program would run on out of the
    // user's reach.
    if (!m_bShellOk || m_nAddFlags == 0)
        return;
    bool added = m_shell.NotifyIcon(TrayShell::Action::Add, m_nAddFlags, m_hIcon);
    m_bIconHidden = !added;
    if (added)
        m_bIconDeleted = false;
}

void TrayIconState::OnWorkAreaChanged() { ReAdd(); }

void TrayIconState::OnAddAnswered(bool taken)
{
    if (!m_bShellOk || m_nAddFlags == 0)
        return;
    m_bIconHidden = !taken;
    // A refused re-add leaves the icon counted as added: its tooltip and balloons go on
    // reaching the record, and the end still deletes it. Only an icon the shell never took is
    // not there to delete.
    if (taken)
        m_bEverTaken = true;
    m_bIconDeleted = !m_bEverTaken;
}

void TrayIconState::ReAdd()
{
    if (m_bIconHidden || !m_bShellOk)
        return;
    m_bIconHidden = !m_shell.NotifyIcon(TrayShell::Action::Add, m_nAddFlags, m_hIcon);
}
