// CSystemTray: the program's icon in the notification area, its popup menu and the swinging
// pointer while commands flow. Its own hidden window is the one registered with the shell,
// so the icon's callbacks, the frame timer and the shell's broadcasts arrive there; menu
// commands go to the application's main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/menu.h"
#include "framework/wnd.h"
#include "remote/activity.h"
#include "ui/tray_icon_state.h"
#include "ui/tray_shell_thread_win.h"

constexpr UINT ID_TRAY_ICON = 134;   // the icon's id, and the number of the menu resource

// The shell's callback for the icon: wParam the icon id, lParam the mouse message.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 10;
// The hidden window's animation timer, 800 ms a frame.
constexpr UINT_PTR TIMER_TRAY_FRAME = 4567;

// The class of the tray's hidden window, one per running copy: whoever must end every copy
// (the installer, the uninstaller) finds them by it and sends each WM_CLOSE.
constexpr char kTrayWindowClass[] = "kvMidiTray";

// Sent by the tray window to the main window when the copy is asked to end (WM_CLOSE, or the
// session ending): it ends as Exit does, whatever shows. wParam 1: the session ends, and the
// process may be ended as soon as the answer comes, so everything that must be done before
// is done before the answer.
constexpr UINT WM_END_PROGRAM = WM_APP + 11;

// "TaskbarCreated", registered once at start-up: the shell sends it when the taskbar is made
// again, after which every icon must be added anew.
extern const UINT WM_TASKBARCREATED;

class CSystemTray : public CWnd, public ActivityDisplay, private TrayShell {
public:
    CSystemTray();
    ~CSystemTray() override;

    // Makes the hidden window, adds the icon with the tooltip "kvMidi" and loads menu 134;
    // false when the shell did not take the icon.
    bool AddIcon(HICON hIcon);
    // The animation frames: icon resources first to last, in this order.
    bool LoadFrames(UINT nFirstId, UINT nLastId);
    // The popup's bold item, also the command of a double click.
    bool SetDefaultItem(UINT nCommandId);
    bool SetItemCheck(bool bOn, UINT nCommandId);
    // The popup of menu 134 (its first sub-menu), or null.
    CMenu* PopupMenu();
    // The tooltip, cut to what the shell shows; nothing before the icon was added.
    void SetTooltip(const std::string& text);
    // A balloon notification over the icon, once; warning or information icon.
    void ShowBalloon(const std::string& title, const std::string& text, bool warning);
    // Takes the icon out of the notification area now, waiting a little for the shell; the
    // end of the program does it at the latest.
    void RemoveIcon();

    bool IsAnimating() const override { return m_state.IsAnimating(); }
    void StartFrames() override { m_state.StartFrames(); }
    void StopFrames() override { m_state.StopFrames(); }
    bool NextFrame() { return m_state.NextFrame(); }

    // The shell's callback: wParam the icon id, the low word of lParam the mouse message.
    virtual LRESULT OnIconNotify(WPARAM wParam, LPARAM lParam);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent);
    void OnSettingChange(UINT uFlags, const char* lpszSection);
    LRESULT OnTaskbarRestart(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddAnswered(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) override;
    unsigned SetFrameTimer() override;
    bool KillFrameTimer(unsigned id) override;

    NOTIFYICONDATAA m_iconData = {};
    // Declared before the state, so that it outlives the state's last calls.
    TrayShellThread m_shellThread;
    TrayIconState m_state{ *this };
    UINT m_nDefaultItem = 0;
    CMenu m_menu;
};
