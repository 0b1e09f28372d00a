#include "afx_functions.h"

#include <winsock2.h>

#include "win_app.h"
#include "wnd.h"

namespace {
HWND MessageBoxOwner()
{
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (!main || !::IsWindow(main))
        return nullptr;
    HWND popup = ::GetLastActivePopup(main);
    return popup && ::IsWindowEnabled(popup) ? popup : main;
}

// Keeps Windows sockets started until the process ends.
struct SocketsSession {
    bool started = false;
    ~SocketsSession()
    {
        if (started)
            ::WSACleanup();
    }
};
}

int AfxMessageBox(const char* text, UINT type)
{
    CWinApp* app = AfxGetApp();
    const char* title = app && app->m_pszAppName ? app->m_pszAppName : "";
    return ::MessageBoxA(MessageBoxOwner(), text, title, type);
}

int AfxMessageBox(UINT idPrompt, UINT type)
{
    return AfxMessageBox(LoadResourceString(idPrompt).c_str(), type);
}

std::string LoadResourceString(UINT id)
{
    char buffer[1024] = {};
    int length = ::LoadStringA(AfxGetInstanceHandle(), id, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL AfxSocketInit()
{
    static SocketsSession session;
    if (session.started)
        return TRUE;
    WSADATA data;
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return FALSE;
    session.started = true;
    return TRUE;
}
