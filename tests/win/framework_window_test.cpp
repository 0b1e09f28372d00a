// The framework's windows: message maps (routing, chaining, registered messages), colour
// requests no control answers, subclassing, and the dialog procedure and modal loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "framework/wnd.h"
#include "res/resource.h"

namespace {
const UINT g_probeMessage = ::RegisterWindowMessageA("kvMidi framework test probe");
UINT g_neverRegistered = 0;

class Probe : public CWnd {
public:
    std::string log;

protected:
    void OnHundred() { log += "command 100"; }
    void OnRange(UINT id) { log += "range " + std::to_string(id); }
    LRESULT OnTextLength(WPARAM, LPARAM) { return Default() + 100; }
    LRESULT OnProbe(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
    ON_COMMAND(100, OnHundred)
    ON_COMMAND_RANGE(200, 202, OnRange)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_REGISTERED_MESSAGE(g_probeMessage, OnProbe)
    ON_REGISTERED_MESSAGE(g_neverRegistered, OnProbe)
END_MESSAGE_MAP()

// Its own entries come first; what it does not handle goes on to Probe's map.
class Derived : public Probe {
protected:
    void OnDerivedHundred() { log += "derived 100"; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Derived, Probe)
    ON_COMMAND(100, OnDerivedHundred)
END_MESSAGE_MAP()

TEST(FrameworkWindow, MessagesGoToTheirHandlerMostDerivedMapFirst)
{
    Derived window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr));
    struct Case { UINT message; WPARAM wParam; const char* log; LRESULT result; };
    const Case cases[] = {
        { WM_COMMAND, 100, "derived 100", 0 },
        { WM_COMMAND, MAKEWPARAM(100, 1), "derived 100", 0 },   // an accelerator
        { WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), "", 0 },   // an edit box's notification
        { WM_COMMAND, 202, "range 202", 0 },
        { WM_COMMAND, 203, "", 0 },
        { WM_GETTEXTLENGTH, 0, "", 106 },   // Default() is the window's own answer, 6
        { g_probeMessage, 41, "", 42 },
        { WM_NULL, 0, "", 0 },   // the never registered message matches nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << ' ' << c.wParam);
        window.log.clear();
        EXPECT_EQ(::SendMessageA(window.m_hWnd, c.message, c.wParam, 0), c.result);
        EXPECT_EQ(window.log, c.log);
    }
}

TEST(FrameworkWindow, SubclassingBindsOneObjectUntilEitherGoesAndAColourRequestStaysWithTheParent)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr));
    HWND control = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, window.m_hWnd, nullptr, nullptr, nullptr);
    const LONG_PTR staticProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);
    {
        CWnd bound, second;
        ASSERT_TRUE(bound.SubclassWindow(control));
        EXPECT_EQ(CWnd::FromHandlePermanent(control), &bound);
        EXPECT_FALSE(second.SubclassWindow(control)) << "one object per window";
        // The label's test sees a control answer; one without an answer leaves it to the parent.
        HDC dc = ::GetDC(control);
        auto wParam = reinterpret_cast<WPARAM>(dc);
        auto lParam = reinterpret_cast<LPARAM>(control);
        EXPECT_EQ(::SendMessageA(window.m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam),
                  ::DefWindowProcA(window.m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam));
        ::ReleaseDC(control, dc);
    }
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), staticProc) << "the object went first";
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
    CWnd bound;
    ASSERT_TRUE(bound.SubclassWindow(control));
    ::DestroyWindow(control);
    EXPECT_EQ(bound.GetSafeHwnd(), nullptr) << "the control went first";
    HWND made = nullptr;
    {
        CWnd label;
        ASSERT_TRUE(label.CreateEx(0, "STATIC", "made", WS_CHILD, 0, 0, 10, 10, window.m_hWnd, nullptr));
        made = label.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(made)) << "a window made by CreateEx goes with its object";
}

// A dialog that acts on its first posted message and records what the modal loop did. It ends
// with IDOK once shown, with IDRETRY at once in OnInitDialog, or (0) by a quit; a loop that
// never shows it ends at the timer.
class LoopProbe : public CDialog {
public:
    LoopProbe(int end, CWnd* owner) : CDialog(IDD_STRING_PROMPT, owner), m_end(end) {}

    bool ownerEnabledInLoop = true, visibleAtFirstMessage = true, everShown = false;
    LRESULT answered = 0, defaulted = -1;

protected:
    BOOL OnInitDialog() override
    {
        if (m_end == IDRETRY)
            EndDialog(IDRETRY);
        else
            PostMessage(WM_APP);
        return TRUE;
    }
    LRESULT OnStart(WPARAM, LPARAM)
    {
        ownerEnabledInLoop = ::IsWindowEnabled(m_pParentWnd->m_hWnd);
        visibleAtFirstMessage = IsWindowVisible();
        answered = SendMessage(WM_APP + 1);
        defaulted = SendMessage(WM_APP + 1, TRUE);
        if (m_end == 0)
            ::PostQuitMessage(3);
        SetTimer(1, 5000);
        return 0;
    }
    void OnTimer(UINT_PTR) { EndDialog(IDABORT); }
    LRESULT OnShowWindow(WPARAM shown, LPARAM)
    {
        everShown = everShown || shown;
        if (shown && m_end == IDOK)
            PostMessage(WM_COMMAND, IDOK);
        return Default();
    }
    LRESULT OnAnswer(WPARAM askDefault, LPARAM) { return askDefault ? Default() + 42 : 42; }

    DECLARE_MESSAGE_MAP()

private:
    int m_end;
};

BEGIN_MESSAGE_MAP(LoopProbe, CDialog)
    ON_MESSAGE(WM_APP, OnStart)
    ON_MESSAGE(WM_APP + 1, OnAnswer)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(FrameworkWindow, TheModalLoopShowsTheDialogOnlyOnceTheQueueRunsEmpty)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr));
    // Ended before the queue ran empty, the dialog is never shown: a hide that came first
    // stays. A quit ends the loop and is passed on.
    for (int end : { IDOK, IDRETRY, 0 }) {
        LoopProbe dialog(end, &window);
        EXPECT_EQ(dialog.DoModal(), end ? end : -1);
        EXPECT_EQ(dialog.everShown, end == IDOK) << end;
        EXPECT_TRUE(::IsWindowEnabled(window.m_hWnd));
        if (end == IDRETRY)
            continue;
        EXPECT_FALSE(dialog.ownerEnabledInLoop);
        EXPECT_FALSE(dialog.visibleAtFirstMessage);
        // A handled message answers through the dialog procedure; one whose handler asks for
        // Default() gets the dialog manager's answer instead.
        EXPECT_EQ(dialog.answered, 42);
        EXPECT_EQ(dialog.defaulted, 0);
    }
    MSG quit;
    ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
}
}
