// The window procedure of framework windows: windows created through CreateEx and dialog
// controls subclassed by a C++ object, and the reflection of colour requests to controls.
#include "wnd.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "win_app.h"

namespace {
// The object whose window CreateEx is making. The first messages of a window arrive before
// CreateWindowEx returns its handle, so the object is bound as soon as the window sends one.
thread_local CWnd* t_pWndInit = nullptr;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No exception may leave a window procedure: the system's caller cannot unwind it.
    try {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (!wnd && t_pWndInit) {
            wnd = std::exchange(t_pWndInit, nullptr);
            wnd->Attach(hWnd);
        }
        if (!wnd)
            return ::DefWindowProcA(hWnd, message, wParam, lParam);
        LRESULT result = wnd->WindowProc(message, wParam, lParam);
        if (message == WM_NCDESTROY)
            wnd->ReleaseWindow(true);
        return result;
    } catch (...) {
        return 0;
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu)
{
    if (m_hWnd || !lpszClassName)
        return FALSE;
    CWnd* outer = std::exchange(t_pWndInit, this);
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight,
                                  hWndParent, nIDorHMenu, AfxGetInstanceHandle(), nullptr);
    t_pWndInit = outer;
    if (!hWnd)
        return FALSE;
    if (!m_hWnd && !SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_bCreated = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    // WM_NCDESTROY unbinds the object on the way.
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    Attach(hWnd);
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc)));
    if (!previous) {
        Detach();
        return FALSE;
    }
    m_pfnSuper = previous;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent ? SubclassWindow(pParent->GetDlgItem(static_cast<int>(nID))) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd || !m_pfnSuper)
        return nullptr;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(std::exchange(m_pfnSuper, nullptr)));
    Detach();
    return hWnd;
}

void CWnd::ReleaseWindow(bool windowEnding)
{
    bool created = std::exchange(m_bCreated, false);
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return;
    if (m_pfnSuper)
        UnsubclassWindow();
    else
        Detach();
    // A window this object made must not outlive it; unbound first, it ends without us.
    if (created && !windowEnding && ::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
        return false;
    CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (!child || child == this)
        return false;
    return child->OnChildNotify(message, wParam, lParam, &result);
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
        return false;
    // The WM_CTLCOLOR* messages follow the order of the CTLCOLOR_* control types.
    auto controlType = static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX);
    LRESULT brush = 0;
    if (!OnWndMsg(WM_REFLECT_CTLCOLOR, wParam, controlType, brush) || !brush)
        return false;
    *pResult = brush;
    return true;
}

const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::set<std::string> registered;
    HINSTANCE instance = AfxGetInstanceHandle();
    char name[128] = {};
    std::snprintf(name, sizeof name, "KvWnd:%p:%x:%p:%p:%p", static_cast<void*>(instance), nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    auto found = registered.find(name);
    if (found != registered.end())
        return found->c_str();

    WNDCLASSA windowClass = {};
    windowClass.style = nClassStyle;
    windowClass.lpfnWndProc = &CWnd::StandardWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = hIcon;
    windowClass.hCursor = hCursor;
    windowClass.hbrBackground = hbrBackground;
    windowClass.lpszClassName = name;
    if (!::RegisterClassA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return registered.insert(name).first->c_str();
}
