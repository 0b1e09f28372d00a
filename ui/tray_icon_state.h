// The rules of the notification-area icon: when the shell is asked to add, change or delete
// it, the animation frames, and what the flags allow after a failure. The tray window makes
// the calls; this decides which.
#pragma once

#include <vector>

// An icon handle as the shell takes it; this logic only passes it on.
using TrayIcon = void*;

// The shell record's uFlags: NIF_MESSAGE | NIF_ICON | NIF_TIP for an add, NIF_ICON for a change.
constexpr unsigned kTrayAddFlags = 7;
constexpr unsigned kTrayIconFlag = 2;
constexpr unsigned kTrayTipFlag = 4;
constexpr unsigned kTrayInfoFlag = 0x10;   // a balloon notification

class TrayShell {
public:
    enum class Action { Add, Modify, Delete };

    virtual ~TrayShell() = default;
    // Sends the icon record with these flags and this icon; true when the shell took it.
    virtual bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) = 0;
    // The frame timer of the tray window (800 ms): its id, or 0 when it could not be set.
    virtual unsigned SetFrameTimer() = 0;
    virtual bool KillFrameTimer(unsigned id) = 0;
};

class TrayIconState {
public:
    explicit TrayIconState(TrayShell& shell) : m_shell(shell) {}

    // Whether the platform has a shell that takes icons; every call is skipped without one.
    void SetShellOk(bool shellOk) { m_bShellOk = shellOk; }
    bool ShellOk() const { return m_bShellOk; }

    // The first add; false when the shell refused it or there is no shell.
    bool AddIcon(TrayIcon icon);
    // The delete at the end, when the icon was added and not deleted since.
    void DeleteIcon();

    void SetFrames(std::vector<TrayIcon> frames);
    void ClearFrames() { m_frameIcons.clear(); }

    bool StartFrames();
    bool NextFrame();
    bool StopFrames();
    bool IsAnimating() const { return m_nFrameTimer != 0; }
    // A tick of a timer of the tray window: only the frame timer moves the animation.
    void OnTimer(unsigned id);

    // The taskbar was made again: the icon is added again, also when the shell refused it
    // before.
    void OnTaskbarCreated();
    // The work area changed: the icon is added again when it was shown.
    void OnWorkAreaChanged();
    // The shell's late answer to the last add: the shell is called from another thread, so an
    // add counts as taken until the answer says otherwise.
    void OnAddAnswered(bool taken);

    bool IconHidden() const { return m_bIconHidden; }
    bool IconDeleted() const { return m_bIconDeleted; }
    TrayIcon CurrentIcon() const { return m_hIcon; }

private:
    void ReAdd();

    TrayShell& m_shell;
    bool m_bShellOk = false;
    bool m_bIconHidden = true;    // not registered with the shell: frame steps make no call
    bool m_bIconDeleted = true;   // deleted or never added: nothing to delete at the end
    std::vector<TrayIcon> m_frameIcons;
    unsigned m_nFrameTimer = 0;
    int m_nFrame = 0;             // the frame shown last
    TrayIcon m_hIcon = nullptr;   // the icon of the record, sent with every add and change
    TrayIcon m_hRestoreIcon = nullptr;
    unsigned m_nAddFlags = 0;
    bool m_bEverTaken = false;    // the shell answered an add with yes at least once
};
