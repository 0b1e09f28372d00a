#include "system_tray.h"

#include <new>
#include <utility>
#include <vector>

#include "framework/win_app.h"

const UINT WM_TASKBARCREATED = ::RegisterWindowMessageA("TaskbarCreated");

namespace {
constexpr char kTooltip[] = "kvMidi";
constexpr UINT kFrameMilliseconds = 800;
// How long the end of the program waits for the shell to take the icon away.
constexpr DWORD kShellStopMilliseconds = 3000;

#if defined(__i386__)
// The record the shell has known since version 5, without the balloon icon.
static_assert(NOTIFYICONDATAA_V3_SIZE == 504);
#endif

// The hidden window's class, registered once with the framework's window procedure.
const char* TrayWindowClass()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &CWnd::StandardWindowProc;
    windowClass.hInstance = AfxGetInstanceHandle();
    windowClass.lpszClassName = kTrayWindowClass;
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return kTrayWindowClass;
}

void ForwardToMainWindow(UINT message, WPARAM wParam)
{
    CWnd* target = AfxGetMainWnd();
    if (target && target->GetSafeHwnd())
        target->SendMessage(message, wParam, 0);
}
}

BEGIN_MESSAGE_MAP(CSystemTray, CWnd)
    ON_WM_TIMER()
    ON_WM_SETTINGCHANGE()
    ON_REGISTERED_MESSAGE(WM_TASKBARCREATED, OnTaskbarRestart)
    ON_MESSAGE(WM_TRAY_ADD_ANSWERED, OnAddAnswered)
    ON_MESSAGE(WM_CLOSE, OnClose)
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray()
{
    RemoveIcon();
    // The frames are shared resource icons: they are let go, never destroyed.
    m_state.ClearFrames();
    m_menu.DestroyMenu();
    DestroyWindow();
}

bool CSystemTray::AddIcon(HICON hIcon)
{
    m_state.SetShellOk(LOBYTE(LOWORD(::GetVersion())) >= 4);
    if (!m_state.ShellOk())
        return false;
    if (!m_hWnd && !CreateEx(0, TrayWindowClass(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) {
        // Without its window the icon could never call back: it is not added at all.
        m_menu.LoadMenu(ID_TRAY_ICON);
        return false;
    }
    // A copy running elevated would otherwise never hear of a new taskbar started by the
    // user's shell, which runs below it.
    ::ChangeWindowMessageFilterEx(m_hWnd, WM_TASKBARCREATED, MSGFLT_ALLOW, nullptr);
    m_iconData = {};
    m_iconData.cbSize = NOTIFYICONDATAA_V3_SIZE;
    m_iconData.hWnd = m_hWnd;
    m_iconData.uID = ID_TRAY_ICON;
    m_iconData.uFlags = kTrayAddFlags;
    m_iconData.uCallbackMessage = WM_TRAY_NOTIFY;
    m_iconData.hIcon = hIcon;
    ::lstrcpynA(m_iconData.szTip, kTooltip, static_cast<int>(sizeof m_iconData.szTip));
    m_shellThread.SetRecord(m_iconData);

    bool added = m_state.AddIcon(hIcon);
    m_menu.LoadMenu(ID_TRAY_ICON);
    return added;
}

bool CSystemTray::LoadFrames(UINT nFirstId, UINT nLastId)
{
    if (!AfxGetApp())
        return false;
    m_state.ClearFrames();
    try {
        std::vector<TrayIcon> frames;
        for (UINT id = nFirstId; id >= nFirstId && id <= nLastId; ++id)
            frames.push_back(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id)));
        m_state.SetFrames(std::move(frames));
    } catch (const std::bad_alloc&) {
        m_state.ClearFrames();
        return false;
    }
    return true;
}

bool CSystemTray::SetDefaultItem(UINT nCommandId)
{
    if (nCommandId == m_nDefaultItem)
        return true;
    m_nDefaultItem = nCommandId;
    CMenu* popup = PopupMenu();
    if (!popup)
        return false;
    popup->SetDefaultItem(nCommandId, FALSE);
    return true;
}

bool CSystemTray::SetItemCheck(bool bOn, UINT nCommandId)
{
    CMenu* popup = PopupMenu();
    if (!popup)
        return false;
    popup->CheckMenuItem(nCommandId, MF_BYCOMMAND | (bOn ? MF_CHECKED : MF_UNCHECKED));
    return true;
}

CMenu* CSystemTray::PopupMenu() { return m_menu.GetSubMenu(0); }

void CSystemTray::SetTooltip(const std::string& text)
{
    if (m_state.IconDeleted())
        return;
    ::lstrcpynA(m_iconData.szTip, text.c_str(), static_cast<int>(sizeof m_iconData.szTip));
    m_shellThread.SetRecord(m_iconData);
    m_shellThread.Post({ Action::Modify, kTrayTipFlag, m_state.CurrentIcon() });
}

void CSystemTray::ShowBalloon(const std::string& title, const std::string& text, bool warning)
{
    if (m_state.IconDeleted())
        return;
    m_shellThread.Post({ Action::Modify, kTrayInfoFlag, m_state.CurrentIcon(), title, text, warning });
}

void CSystemTray::RemoveIcon()
{
    m_state.DeleteIcon();
    m_shellThread.Stop(kShellStopMilliseconds);
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAY_NOTIFY)
        return OnIconNotify(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CSystemTray::OnIconNotify(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<UINT>(wParam) != m_iconData.uID)
        return 0;
    CWnd* target = AfxGetMainWnd();
    HWND targetWnd = target ? target->GetSafeHwnd() : nullptr;
    if (!targetWnd)
        return 0;

    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP: {
        CMenu* popup = PopupMenu();
        if (!popup)
            return 0;
        // Re-applied every time: the profile code may have rebuilt the items since.
        popup->SetDefaultItem(m_nDefaultItem, FALSE);
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        // Without the foreground the menu would not close when the user clicks elsewhere;
        // the empty message afterwards forces the task switch the next popup needs too.
        ::SetForegroundWindow(targetWnd);
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, targetWnd);
        ::PostMessageA(targetWnd, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK:
        ::SetForegroundWindow(targetWnd);
        ::PostMessageA(targetWnd, WM_COMMAND, m_nDefaultItem, 0);
        return 1;
    default:
        return 1;
    }
}

void CSystemTray::OnTimer(UINT_PTR nIDEvent)
{
    // Other timers of this window are ignored, without default processing.
    m_state.OnTimer(static_cast<unsigned>(nIDEvent));
}

void CSystemTray::OnSettingChange(UINT uFlags, const char*)
{
    Default();
    if (uFlags == SPI_SETWORKAREA)
        m_state.OnWorkAreaChanged();
}

LRESULT CSystemTray::OnTaskbarRestart(WPARAM, LPARAM)
{
    m_state.OnTaskbarCreated();
    return 0;
}

LRESULT CSystemTray::OnAddAnswered(WPARAM wParam, LPARAM)
{
    m_state.OnAddAnswered(wParam != 0);
    return 0;
}

// The window must stay until the program ends: the default handling would destroy it.
LRESULT CSystemTray::OnClose(WPARAM, LPARAM)
{
    ForwardToMainWindow(WM_END_PROGRAM, 0);
    return 0;
}

LRESULT CSystemTray::OnQueryEndSession(WPARAM, LPARAM) { return TRUE; }

LRESULT CSystemTray::OnEndSession(WPARAM wParam, LPARAM)
{
    if (wParam)
        ForwardToMainWindow(WM_END_PROGRAM, 1);
    return 0;
}

bool CSystemTray::NotifyIcon(Action action, unsigned flags, TrayIcon icon)
{
    m_iconData.uFlags = flags;
    m_iconData.hIcon = static_cast<HICON>(icon);
    if (m_shellThread.Post({ action, flags, icon }))
        return true;
    // Without its thread the tray calls the shell itself, as it must to be seen at all.
    DWORD message = action == Action::Add ? NIM_ADD : action == Action::Modify ? NIM_MODIFY : NIM_DELETE;
    return ::Shell_NotifyIconA(message, &m_iconData) != FALSE;
}

unsigned CSystemTray::SetFrameTimer() { return static_cast<unsigned>(SetTimer(TIMER_TRAY_FRAME, kFrameMilliseconds)); }

bool CSystemTray::KillFrameTimer(unsigned id) { return KillTimer(id) != FALSE; }
