// The framework's windows: message maps (routing, chaining, registered messages), the
// reflection of colour requests, subclassing, and the dialog procedure and modal loop.
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
HICON g_dragIcon = reinterpret_cast<HICON>(0x1234);

class Probe : public CWnd {
public:
    std::string log;

protected:
    void OnHundred() { log += "command 100"; }
    void OnClicked() { log += "clicked"; }
    void OnSelChange() { log += "selchange"; }
    void OnEditChange() { log += "edit"; }
    void OnRange(UINT id) { log += "range " + std::to_string(id); }
    LRESULT OnApp(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    LRESULT OnTextLength(WPARAM, LPARAM)
    {
        log += "length";
        return Default();
    }
    void OnTimer(UINT_PTR id) { log += "timer " + std::to_string(id); }
    void OnPaint() { log += "paint"; }
    HCURSOR OnQueryDragIcon() { return g_dragIcon; }
    void OnLButtonDown(UINT flags, POINT point)
    {
        log += "button " + std::to_string(flags) + ' ' + std::to_string(point.x) + ' ' + std::to_string(point.y);
    }
    BOOL OnHelpInfo(HELPINFO*) { return 5; }
    void OnSettingChange(UINT flags, const char* section) { log += "setting " + std::to_string(flags) + section; }
    LRESULT OnProbe(WPARAM, LPARAM) { return 42; }
    LRESULT OnUnregistered(WPARAM, LPARAM) { return 99; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CWnd)
    ON_COMMAND(100, OnHundred)
    ON_EN_CHANGE(100, OnEditChange)
    ON_BN_CLICKED(101, OnClicked)
    ON_CBN_SELCHANGE(102, OnSelChange)
    ON_COMMAND_RANGE(200, 202, OnRange)
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_LBUTTONDOWN()
    ON_WM_HELPINFO()
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

// A control that answers its parent's colour requests.
class Colourful : public CWnd {
public:
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    UINT lastControlType = 99;

protected:
    HBRUSH CtlColor(HDC, UINT nCtlColor)
    {
        lastControlType = nCtlColor;
        return brush;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Colourful, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
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
        { WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0, "clicked", 0 },
        { WM_COMMAND, MAKEWPARAM(102, CBN_SELCHANGE), 0, "selchange", 0 },
        { WM_COMMAND, MAKEWPARAM(102, CBN_DROPDOWN), 0, "", 0 },
        { WM_COMMAND, 200, 0, "range 200", 0 },
        { WM_COMMAND, 202, 0, "range 202", 0 },
        { WM_COMMAND, 203, 0, "", 0 },
        { WM_COMMAND, MAKEWPARAM(201, EN_CHANGE), 0, "", 0 },
        { WM_APP, 41, 0, "", 42 },
        { WM_GETTEXTLENGTH, 0, 0, "length", 6 },   // Default() gives the window's own answer
        { WM_TIMER, 7, 0, "timer 7", 0 },
        { WM_PAINT, 0, 0, "paint", 0 },
        { WM_QUERYDRAGICON, 0, 0, "", reinterpret_cast<LRESULT>(g_dragIcon) },
        { WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 5), "button 1 -3 5", 0 },
        { WM_HELP, 0, 0, "", 5 },
        { WM_SETTINGCHANGE, SPI_SETWORKAREA, section, "setting 47Windows", 0 },
        { g_probeMessage, 0, 0, "", 42 },
        { WM_NULL, 0, 0, "", 0 },   // the never registered message matches nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.message, c.wParam, c.lParam), c.result) << c.message << ' ' << c.wParam;
        EXPECT_EQ(window.log, c.log) << c.message << ' ' << c.wParam;
    }
}

TEST_F(FrameworkWindow, ColourRequestsGoToTheControlTheyAreAbout)
{
    HDC dc = ::GetDC(control);
    auto ask = [&](UINT message) {
        return ::SendMessageA(window.m_hWnd, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    };
    {
        // Without an answer of its own, the control leaves the request to the parent.
        CWnd plain;
        ASSERT_TRUE(plain.SubclassWindow(control));
        EXPECT_EQ(ask(WM_CTLCOLORSTATIC), ::DefWindowProcA(window.m_hWnd, WM_CTLCOLORSTATIC,
                                                          reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(control)));
    }
    Colourful colourful;
    ASSERT_TRUE(colourful.SubclassWindow(control));
    struct Case { UINT message; UINT controlType; };
    const Case cases[] = { { WM_CTLCOLORSTATIC, CTLCOLOR_STATIC }, { WM_CTLCOLOREDIT, CTLCOLOR_EDIT },
                           { WM_CTLCOLORBTN, CTLCOLOR_BTN } };
    for (const Case& c : cases) {
        EXPECT_EQ(reinterpret_cast<HBRUSH>(ask(c.message)), colourful.brush) << c.message;
        EXPECT_EQ(colourful.lastControlType, c.controlType) << c.message;
    }
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

// A dialog that acts from its first posted message and records what the modal loop did.
class LoopProbe : public CDialog {
public:
    enum class Plan { EndAtOnce, EndWhenShown, Quit };
    LoopProbe(Plan plan, CWnd* owner) : CDialog(IDD_STRING_PROMPT, owner), m_plan(plan) {}

    bool ownerEnabledInLoop = true;
    bool visibleAtFirstMessage = true;
    bool everShown = false;
    LRESULT answered = 0;
    LRESULT defaulted = -1;

protected:
    static constexpr UINT kStart = WM_APP;
    static constexpr UINT kAnswer = WM_APP + 1;
    static constexpr UINT kDefault = WM_APP + 2;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_plan == Plan::EndAtOnce)
            EndDialog(IDRETRY);
        else
            PostMessage(kStart);
        return TRUE;
    }
    LRESULT OnStart(WPARAM, LPARAM)
    {
        ownerEnabledInLoop = m_pParentWnd && ::IsWindowEnabled(m_pParentWnd->m_hWnd);
        visibleAtFirstMessage = IsWindowVisible();
        answered = SendMessage(kAnswer);
        defaulted = SendMessage(kDefault);
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
    LRESULT OnDefault(WPARAM, LPARAM)
    {
        Default();
        return 42;
    }

    DECLARE_MESSAGE_MAP()

private:
    Plan m_plan;
    int m_ticks = 0;
};

BEGIN_MESSAGE_MAP(LoopProbe, CDialog)
    ON_MESSAGE(kStart, OnStart)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_MESSAGE(kAnswer, OnAnswer)
    ON_MESSAGE(kDefault, OnDefault)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(FrameworkWindow, TheModalLoopShowsTheDialogOnlyOnceTheQueueRunsEmpty)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded());
    LoopProbe shown(LoopProbe::Plan::EndWhenShown, &window);
    EXPECT_EQ(shown.DoModal(), IDOK);
    EXPECT_TRUE(shown.everShown);
    EXPECT_FALSE(shown.visibleAtFirstMessage) << "shown before the queued message was handled";
    EXPECT_FALSE(shown.ownerEnabledInLoop);
    EXPECT_TRUE(::IsWindowEnabled(window.m_hWnd));
    // A handled message answers through the dialog procedure; one that asks for Default()
    // gets the dialog manager's answer instead.
    EXPECT_EQ(shown.answered, 42);
    EXPECT_EQ(shown.defaulted, 0);

    // Ended before the queue ran empty: never shown, so a hide that came first stays.
    LoopProbe ended(LoopProbe::Plan::EndAtOnce, &window);
    EXPECT_EQ(ended.DoModal(), IDRETRY);
    EXPECT_FALSE(ended.everShown);
    EXPECT_TRUE(::IsWindowEnabled(window.m_hWnd));
}

TEST_F(FrameworkWindow, TheModalLoopEndsOnQuitAndPassesItOn)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded());
    LoopProbe quitting(LoopProbe::Plan::Quit, &window);
    EXPECT_EQ(quitting.DoModal(), -1);
    EXPECT_TRUE(::IsWindowEnabled(window.m_hWnd));
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}
}
