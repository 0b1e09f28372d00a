// The framework's windows: message maps (routing, chaining, registered messages), colour
// requests no control answers, subclassing, and the dialog procedure and modal loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "framework/wnd.h"
#include "res/resource.h"
#include "tests/support/program_resources.h"

namespace {
const UINT g_probeMessage = ::RegisterWindowMessageA("kvMidi framework test probe");
UINT g_neverRegistered = 0;

class Probe : public CWnd {
public:
    std::string log;

protected:
    void OnHundred() { log += "command 100"; }
    void OnEditChange() { log += "edit"; }
    void OnSelChange() { log += "selchange"; }
    void OnRange(UINT id) { log += "range " + std::to_string(id); }
    LRESULT OnApp(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    LRESULT OnTextLength(WPARAM, LPARAM) { return Default() + 100; }
    void OnLButtonDown(UINT flags, POINT at)
    {
        log += std::to_string(flags) + ' ' + std::to_string(at.x) + ' ' + std::to_string(at.y);
    }
    void OnSettingChange(UINT flags, const char* section) { log += std::to_string(flags) + section; }
    LRESULT OnProbe(WPARAM, LPARAM) { return 42; }
    LRESULT OnUnregistered(WPARAM, LPARAM) { return 99; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
    ON_COMMAND(100, OnHundred)
    ON_EN_CHANGE(100, OnEditChange)
    ON_CBN_SELCHANGE(102, OnSelChange)
    ON_COMMAND_RANGE(200, 202, OnRange)
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_WM_LBUTTONDOWN()
    ON_WM_SETTINGCHANGE()
    ON_REGISTERED_MESSAGE(g_probeMessage, OnProbe)
    ON_REGISTERED_MESSAGE(g_neverRegistered, OnUnregistered)
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

class FrameworkWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
        control = ::CreateWindowExA(0, "STATIC", "text", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window.m_hWnd,
                                    reinterpret_cast<HMENU>(77), nullptr, nullptr);
        ASSERT_NE(control, nullptr);
        staticProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        window.log.clear();
        return ::SendMessageA(window.m_hWnd, message, wParam, lParam);
    }

    Derived window;
    HWND control = nullptr;
    LONG_PTR staticProc = 0;
};

TEST_F(FrameworkWindow, MessagesGoToTheirHandlerMostDerivedMapFirst)
{
    const auto section = reinterpret_cast<LPARAM>("Windows");
    struct Case { UINT message; WPARAM wParam; LPARAM lParam; const char* log; LRESULT result; };
    const Case cases[] = {
        { WM_COMMAND, 100, 0, "derived 100", 0 },
        { WM_COMMAND, MAKEWPARAM(100, 1), 0, "derived 100", 0 },   // an accelerator
        { WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), 0, "edit", 0 },
        { WM_COMMAND, MAKEWPARAM(102, CBN_SELCHANGE), 0, "selchange", 0 },
        { WM_COMMAND, MAKEWPARAM(102, CBN_DROPDOWN), 0, "", 0 },
        { WM_COMMAND, 200, 0, "range 200", 0 },
        { WM_COMMAND, 202, 0, "range 202", 0 },
        { WM_COMMAND, 203, 0, "", 0 },
        { WM_COMMAND, MAKEWPARAM(201, EN_CHANGE), 0, "", 0 },
        { WM_APP, 41, 0, "", 42 },
        { WM_GETTEXTLENGTH, 0, 0, "", 106 },   // Default() is the window's own answer, 6
        { WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 5), "1 -3 5", 0 },
        { WM_SETTINGCHANGE, SPI_SETWORKAREA, section, "47Windows", 0 },
        { g_probeMessage, 0, 0, "", 42 },
        { WM_NULL, 0, 0, "", 0 },   // the never registered message matches nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.message, c.wParam, c.lParam), c.result) << c.message << ' ' << c.wParam;
        EXPECT_EQ(window.log, c.log) << c.message << ' ' << c.wParam;
    }
}

// The label's tests see a control answer its parent's colour requests; here, one without an
// answer of its own leaves the request to the parent.
TEST_F(FrameworkWindow, AColourRequestThatNoControlAnswersStaysWithTheParent)
{
    CWnd plain;
    ASSERT_TRUE(plain.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    auto wParam = reinterpret_cast<WPARAM>(dc);
    auto lParam = reinterpret_cast<LPARAM>(control);
    EXPECT_EQ(::SendMessageA(window.m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam),
              ::DefWindowProcA(window.m_hWnd, WM_CTLCOLORSTATIC, wParam, lParam));
    ::ReleaseDC(control, dc);
}

TEST_F(FrameworkWindow, SubclassingBindsOneObjectUntilEitherGoes)
{
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    {
        CWnd bound;
        ASSERT_TRUE(bound.SubclassWindow(control));
        EXPECT_EQ(CWnd::FromHandlePermanent(control), &bound);
        bound.SetWindowText("changed");
        EXPECT_EQ(bound.GetWindowText(), "changed") << "the control keeps what it does itself";
        CWnd second;
        EXPECT_FALSE(second.SubclassWindow(control)) << "one object per window";
        EXPECT_EQ(bound.UnsubclassWindow(), control);
        EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
        ASSERT_TRUE(bound.SubclassWindow(control));
    }
    // The object went first: the control has its own procedure back.
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), staticProc);
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
        EXPECT_EQ(CWnd::FromHandlePermanent(made), &label);
    }
    EXPECT_FALSE(::IsWindow(made)) << "a window made by CreateEx goes with its object";
}

// A dialog that acts on its first posted message and records what the modal loop did.
class LoopProbe : public CDialog {
public:
    enum class Plan { EndAtOnce, EndWhenShown, Quit };
    LoopProbe(Plan plan, CWnd* owner) : CDialog(IDD_STRING_PROMPT, owner), m_plan(plan) {}

    bool ownerEnabledInLoop = true, visibleAtFirstMessage = true, everShown = false;
    LRESULT answered = 0, defaulted = -1;

protected:
    BOOL OnInitDialog() override
    {
        if (m_plan == Plan::EndAtOnce)
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
        defaulted = SendMessage(WM_APP + 2);
        if (m_plan == Plan::Quit)
            ::PostQuitMessage(3);
        else
            SetTimer(1, 10);
        return 0;
    }
    void OnTimer(UINT_PTR)
    {
        if (IsWindowVisible() || ++m_ticks > 500)
            EndDialog(IsWindowVisible() ? IDOK : IDABORT);
    }
    LRESULT OnShowWindow(WPARAM shown, LPARAM)
    {
        everShown = everShown || shown;
        return Default();
    }
    LRESULT OnAnswer(WPARAM, LPARAM) { return 42; }
    LRESULT OnDefault(WPARAM, LPARAM) { return Default() + 42; }

    DECLARE_MESSAGE_MAP()

private:
    Plan m_plan;
    int m_ticks = 0;
};

BEGIN_MESSAGE_MAP(LoopProbe, CDialog)
    ON_MESSAGE(WM_APP, OnStart)
    ON_MESSAGE(WM_APP + 1, OnAnswer)
    ON_MESSAGE(WM_APP + 2, OnDefault)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(FrameworkWindow, TheModalLoopShowsTheDialogOnlyOnceTheQueueRunsEmpty)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded());
    using Plan = LoopProbe::Plan;
    struct Case { Plan plan; INT_PTR result; bool shown; };
    // Ended before the queue ran empty, the dialog is never shown: a hide that came first
    // stays. A quit ends the loop and is passed on.
    const Case cases[] = { { Plan::EndWhenShown, IDOK, true }, { Plan::EndAtOnce, IDRETRY, false },
                           { Plan::Quit, -1, false } };
    for (const Case& c : cases) {
        LoopProbe dialog(c.plan, &window);
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.everShown, c.shown);
        EXPECT_TRUE(::IsWindowEnabled(window.m_hWnd));
        if (c.plan == Plan::EndAtOnce)
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
