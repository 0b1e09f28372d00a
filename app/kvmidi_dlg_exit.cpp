// The controller's way out when the copy is asked to end from outside: by WM_CLOSE to its
// tray window (the installer, the uninstaller) or by the end of the session.
#include "kvmidi_dlg.h"

#include <cstring>

#include "app/controller_timers.h"
#include "app/kvmidi_app.h"

namespace {
constexpr UINT kCloseWindowsMilliseconds = 200;

// A dialog or message box of this thread above the controller: a question is answered No,
// anything else cancelled, so that nothing the user did not confirm is kept.
BOOL CALLBACK CloseIfDialog(HWND window, LPARAM keptWindows)
{
    const HWND* kept = reinterpret_cast<const HWND*>(keptWindows);
    if (window == kept[0] || window == kept[1] || !::IsWindowVisible(window))
        return TRUE;
    char className[16] = {};
    ::GetClassNameA(window, className, static_cast<int>(sizeof className));
    if (std::strcmp(className, "#32770") == 0)
        ::PostMessageA(window, WM_COMMAND, ::GetDlgItem(window, IDNO) ? IDNO : IDCANCEL, 0);
    return TRUE;
}
}

LRESULT CkvMidiDlg::OnEndProgram(WPARAM sessionEnding, LPARAM)
{
    EndProgram();
    if (sessionEnding) {
        // The system may end the process as soon as this returns: what was captured leaves,
        // the network library closes and the icon goes now, not on the way out of the loops.
        m_sendingThread.Stop();
        m_trayIcon.RemoveIcon();
    }
    return 0;
}

void CkvMidiDlg::EndProgram()
{
    if (!m_bEnding) {
        m_bEnding = true;
        m_pApp->m_instanceClaim.Publish(nullptr);
        // A dialog opened by the answer to another (a port retried, a question) is closed too.
        SetTimer(TIMER_CLOSE_WINDOWS, kCloseWindowsMilliseconds);
    }
    CloseOtherWindows();
    EndDialog(IDOK);
}

void CkvMidiDlg::CloseOtherWindows()
{
    // The tray's popup runs a loop of its own, which would hold the way out until a click.
    ::EndMenu();
    HWND kept[2] = { m_hWnd, m_trayIcon.GetSafeHwnd() };
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseIfDialog, reinterpret_cast<LPARAM>(kept));
}
