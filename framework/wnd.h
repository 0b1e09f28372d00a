// CWnd: a C++ object bound to one window, with a message map that sends each message or
// command id to one member function. Message maps are static tables chained to the base
// class, walked from the most derived class down.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

enum class HandlerKind : unsigned char {
    End,
    Command,       // void ()                  WM_COMMAND for an id range and notification code
    CommandRange,  // void (UINT id)
    Message,       // LRESULT (WPARAM, LPARAM)
    Timer,         // void (UINT_PTR)
    Void,          // void ()                  WM_PAINT and the like
    QueryDragIcon, // HCURSOR ()
    MouseButton,   // void (UINT, POINT)
    Help,          // BOOL (HELPINFO*)
    SettingChange, // void (UINT flags, const char* section)
    CtlColor,      // HBRUSH (HDC, UINT nCtlColor)   a parent's colour request reflected to its child
};

// Each kind has its own member-pointer type, so a handler is never called through a cast.
union MessageHandler {
    void (CWnd::*command)();
    void (CWnd::*commandRange)(UINT);
    LRESULT (CWnd::*message)(WPARAM, LPARAM);
    void (CWnd::*timer)(UINT_PTR);
    HCURSOR (CWnd::*queryDragIcon)();
    void (CWnd::*mouseButton)(UINT, POINT);
    BOOL (CWnd::*help)(HELPINFO*);
    void (CWnd::*settingChange)(UINT, const char*);
    HBRUSH (CWnd::*ctlColor)(HDC, UINT);
};

struct MessageMapEntry {
    UINT message;
    UINT code;     // notification code of WM_COMMAND entries
    UINT idFirst;
    UINT idLast;
    HandlerKind kind;
    MessageHandler handler;
    // Registered messages get their number at run time: the entry points at the variable.
    const UINT* registeredMessage;
};

// A parent's WM_CTLCOLOR* request, sent on to the child it is about: wParam is the device
// context, lParam the control type (CTLCOLOR_STATIC and the others).
constexpr UINT WM_REFLECT_BASE = 0xBC00;
constexpr UINT WM_REFLECT_CTLCOLOR = WM_REFLECT_BASE + 0x0019;

struct MessageMap {
    const MessageMap* (*getBase)();
    const MessageMapEntry* entries;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const MessageMap* GetThisMessageMap();               \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap()                                 \
    {                                                                               \
        using ThisClass = theClass;                                                 \
        using TheBaseClass = baseClass;                                             \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                           \
            { 0, 0, 0, 0, HandlerKind::End, { nullptr }, nullptr }                  \
        };                                                                          \
        static const MessageMap map = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &map;                                                                \
    }

#define KV_COMMAND_ENTRY(code, idFirst, idLast, fn)                                 \
    { WM_COMMAND, code, idFirst, idLast, HandlerKind::Command,                      \
      { .command = static_cast<void (CWnd::*)()>(&ThisClass::fn) }, nullptr },

#define ON_COMMAND(id, fn) KV_COMMAND_ENTRY(0, id, id, fn)
#define ON_COMMAND_RANGE(idFirst, idLast, fn)                                       \
    { WM_COMMAND, 0, idFirst, idLast, HandlerKind::CommandRange,                    \
      { .commandRange = static_cast<void (CWnd::*)(UINT)>(&ThisClass::fn) }, nullptr },
#define ON_BN_CLICKED(id, fn) KV_COMMAND_ENTRY(BN_CLICKED, id, id, fn)
#define ON_CBN_SELCHANGE(id, fn) KV_COMMAND_ENTRY(CBN_SELCHANGE, id, id, fn)
#define ON_EN_CHANGE(id, fn) KV_COMMAND_ENTRY(EN_CHANGE, id, id, fn)

#define ON_MESSAGE(msg, fn)                                                         \
    { static_cast<UINT>(msg), 0, 0, 0, HandlerKind::Message,                        \
      { .message = static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::fn) }, nullptr },
#define ON_WM_TIMER()                                                               \
    { WM_TIMER, 0, 0, 0, HandlerKind::Timer,                                        \
      { .timer = static_cast<void (CWnd::*)(UINT_PTR)>(&ThisClass::OnTimer) }, nullptr },
#define ON_WM_PAINT()                                                               \
    { WM_PAINT, 0, 0, 0, HandlerKind::Void,                                         \
      { .command = static_cast<void (CWnd::*)()>(&ThisClass::OnPaint) }, nullptr },
#define ON_WM_QUERYDRAGICON()                                                       \
    { WM_QUERYDRAGICON, 0, 0, 0, HandlerKind::QueryDragIcon,                        \
      { .queryDragIcon = static_cast<HCURSOR (CWnd::*)()>(&ThisClass::OnQueryDragIcon) }, nullptr },
#define ON_WM_LBUTTONDOWN()                                                         \
    { WM_LBUTTONDOWN, 0, 0, 0, HandlerKind::MouseButton,                            \
      { .mouseButton = static_cast<void (CWnd::*)(UINT, POINT)>(&ThisClass::OnLButtonDown) }, nullptr },
#define ON_WM_HELPINFO()                                                            \
    { WM_HELP, 0, 0, 0, HandlerKind::Help,                                          \
      { .help = static_cast<BOOL (CWnd::*)(HELPINFO*)>(&ThisClass::OnHelpInfo) }, nullptr },
#define ON_WM_SETTINGCHANGE()                                                       \
    { WM_SETTINGCHANGE, 0, 0, 0, HandlerKind::SettingChange,                        \
      { .settingChange = static_cast<void (CWnd::*)(UINT, const char*)>(&ThisClass::OnSettingChange) }, \
      nullptr },
#define ON_WM_CTLCOLOR_REFLECT()                                                    \
    { WM_REFLECT_CTLCOLOR, 0, 0, 0, HandlerKind::CtlColor,                          \
      { .ctlColor = static_cast<HBRUSH (CWnd::*)(HDC, UINT)>(&ThisClass::CtlColor) }, nullptr },
#define ON_REGISTERED_MESSAGE(messageVariable, fn)                                  \
    { 0, 0, 0, 0, HandlerKind::Message,                                             \
      { .message = static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::fn) }, \
      &(messageVariable) },

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
    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    // Every message of a created or subclassed window: the message map first, then the
    // processing the window would have had without this object.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Runs the map's handler for the message; false when the map has none. A colour request
    // that the map does not handle goes to the child control it is about.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A message of the parent about this control; true when this object answered it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called once SubclassWindow has bound the control to this object.
    virtual void PreSubclassWindow() {}

    // The processing the message would have had without this object.
    LRESULT Default();

    void Attach(HWND hWnd);
    void Detach();

    // Dialog procedures cannot call the default procedure themselves: they ask for it by
    // returning FALSE, which this flag records.
    bool m_bInDialogProc = false;
    bool m_bDefaultRequested = false;

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMessage{};

private:
    bool Dispatch(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Unbinds the object; a window it created and that is not ending already is destroyed.
    void ReleaseWindow(bool windowEnding);

    WNDPROC m_pfnSuper = nullptr;   // the original procedure of a subclassed window
    bool m_bCreated = false;        // made by CreateEx: destroyed with the object at the latest
};

// The name of a window class with that style, cursor, brush and icon whose procedure is the
// framework's; registered once, the name stays valid for the life of the program. Null when
// the class cannot be registered.
const char* AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                HICON hIcon = nullptr);
