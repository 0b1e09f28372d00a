// CWnd: a C++ object bound to one window. The window procedure of every window created or
// subclassed here finds the object and hands the message to its message map
// (message_map.h); what no map handles gets the window's own processing, and a colour
// request goes on to the control it is about (reflection).
#pragma once

#include <windows.h>

#include <string>

#include "message_map.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to a window by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates a window bound to this object. Windows of a class made by AfxRegisterWndClass
    // are bound from their first message on; any other class is subclassed once created.
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu);
    BOOL DestroyWindow();

    // Binds this object to an existing window (a dialog's control) by replacing its window
    // procedure; what the object does not handle goes on to the original one.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    std::string GetDlgItemText(int id) const;

    // The window procedure of every window created or subclassed by this framework.
    static LRESULT CALLBACK StandardWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The message map: true when a handler took the message, its answer in result. Defined
    // by BEGIN_MESSAGE_MAP; this one, at the root of every chain, takes nothing.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Every message of a created or subclassed window: the message map first, then the
    // processing the window would have had without this object.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The message map, and a colour request that it does not handle sent on to the child
    // control it is about; false when neither answered.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A message of the parent about this control; true when this object answered it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called once SubclassWindow has bound the control to this object.
    virtual void PreSubclassWindow() {}

    // From a handler: the processing the message being handled would have had without it.
    virtual LRESULT Default();

    void Attach(HWND hWnd);
    void Detach();

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Unbinds the object; a window it created and that is not ending already is destroyed.
    void ReleaseWindow(bool windowEnding);

    WNDPROC m_pfnSuper = nullptr;   // the original procedure of a subclassed window
    bool m_bCreated = false;        // made by CreateEx: destroyed with the object at the latest
    CurrentMessage m_currentMessage{};   // what Default() passes on
};

// The name of a window class with that style, cursor, brush and icon whose procedure is the
// framework's; registered once, the name stays valid for the life of the program. Null when
// the class cannot be registered.
const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                HICON hIcon = nullptr);
