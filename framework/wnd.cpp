// CWnd: binding a C++ object to a window (a window property leads from one to the other),
// the window procedure of framework windows, subclassing of existing controls, and the
// reflection of colour requests to the control they are about.
#include "wnd.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "win_app.h"

namespace {
// The window property that leads from a window to its C++ object.
const char kObjectProperty[] = "kvMidi.CWnd";
// The object whose window CreateEx is making. The first messages of a window arrive before
// CreateWindowEx returns its handle, so the object is bound as soon as the window sends one.
thread_local CWnd* t_pWndInit = nullptr;
}

CWnd::~CWnd() { ReleaseWindow(false); }

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
}

void CWnd::Detach()
{
    ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

std::string CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CWnd::GetDlgItemText(int id) const
{
    HWND item = GetDlgItem(id);
    if (!item)
        return std::string();
    int length = ::GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
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
    if (RouteMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CWnd::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Handlers may send messages to their own window; Default() must still see this one.
    struct Restore {
        CurrentMessage& slot;
        CurrentMessage saved;
        ~Restore() { slot = saved; }
    } restore{ m_currentMessage, std::exchange(m_currentMessage, CurrentMessage{ message, wParam, lParam }) };
    result = 0;
    return ProcessWindowMessage(message, wParam, lParam, result) || ReflectToChild(message, wParam, lParam, result);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
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
    if (!RouteMessage(WM_REFLECT_CTLCOLOR, wParam, controlType, brush) || !brush)
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
