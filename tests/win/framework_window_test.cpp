// The framework's windows: the routing of each kind of message-map entry, the dialog procedure
// and modal loop, subclassing, and the colour requests a label answers and none answers.
// Chaining to a base class's map is every dialog's, seen by the end-to-end tests.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "framework/dialog.h"
#include "framework/wnd.h"
#include "res/resource.h"
#include "ui/label.h"

namespace {
const UINT g_probeMessage = ::RegisterWindowMessageA("kvMidi framework test probe");
UINT g_neverRegistered = 0;

// A dialog on the prompt's template, its text a bold label, with one entry of each kind in its
// map. Its first posted message hands it to the test; then it ends with IDOK once shown, or by
// a quit; a loop that never shows it ends at the timer.
class Probe : public CDialog {
public:
    Probe(CWnd* owner, bool quit, std::function<void(Probe&)> inLoop)
        : CDialog(IDD_STRING_PROMPT, owner), m_quit(quit), m_inLoop(std::move(inLoop))
    {
    }

    std::string log;
    bool everShown = false;
    CLabel label;

protected:
    BOOL OnInitDialog() override
    {
        label.SubclassWindow(GetDlgItem(IDC_PROMPT_TEXT));
        label.SetBoldFont();
        label.SetTextHeight(18);
        PostMessage(WM_APP);
        return TRUE;
    }
    LRESULT OnStart(WPARAM, LPARAM)
    {
        m_inLoop(*this);
        if (m_quit)
            ::PostQuitMessage(3);
        SetTimer(1, 5000);
        return 0;
    }
    void OnTimer(UINT_PTR) { EndDialog(IDABORT); }
    LRESULT OnShowWindow(WPARAM shown, LPARAM)
    {
        everShown = everShown || shown;
        if (shown && !m_quit)
            PostMessage(WM_COMMAND, IDOK);
        return Default();
    }
    void OnHundred() { log += "command 100"; }
    void OnRange(UINT id) { log += "range " + std::to_string(id); }
    LRESULT OnProbe(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    LRESULT OnDefaulted(WPARAM, LPARAM) { return Default() + 42; }

    DECLARE_MESSAGE_MAP()

private:
    bool m_quit;
    std::function<void(Probe&)> m_inLoop;
};

BEGIN_MESSAGE_MAP(Probe, CDialog)
    ON_COMMAND(100, OnHundred)
    ON_COMMAND_RANGE(200, 202, OnRange)
    ON_MESSAGE(WM_APP, OnStart)
    ON_MESSAGE(WM_APP + 1, OnDefaulted)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_REGISTERED_MESSAGE(g_probeMessage, OnProbe)
    ON_REGISTERED_MESSAGE(g_neverRegistered, OnProbe)
    ON_WM_TIMER()
END_MESSAGE_MAP()

void RouteEachKindOfEntry(Probe& dialog)
{
    struct Case { UINT message; WPARAM wParam; const char* log; LRESULT result; };
    const Case cases[] = {
        { WM_COMMAND, 100, "command 100", 0 },
        { WM_COMMAND, MAKEWPARAM(100, 1), "command 100", 0 },   // an accelerator
        { WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), "", 0 },   // an edit box's notification
        { WM_COMMAND, 202, "range 202", 0 },
        { WM_COMMAND, 203, "", 0 },
        { g_probeMessage, 41, "", 42 },   // answered through the dialog procedure
        { WM_APP + 1, 0, "", 0 },   // a handler that asks for Default() gets the dialog manager's answer
        { WM_NULL, 0, "", 0 },   // the never registered message matches nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << ' ' << c.wParam);
        dialog.log.clear();
        EXPECT_EQ(dialog.SendMessage(c.message, c.wParam), c.result);
        EXPECT_EQ(dialog.log, c.log);
    }
}

// The label holds its font and answers the dialog's colour request with it, its colours and
// its brush.
void CheckLabel(Probe& dialog)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    LOGBRUSH brush = {};
    ::GetObjectA(reinterpret_cast<HBRUSH>(dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(dialog.label.m_hWnd))),
                 sizeof brush, &brush);
    auto held = reinterpret_cast<HGDIOBJ>(dialog.label.SendMessage(WM_GETFONT));
    LOGFONTA font = {};
    ::GetObjectA(held, sizeof font, &font);
    EXPECT_TRUE(font.lfWeight == FW_BOLD && font.lfHeight == -18);
    EXPECT_EQ(brush.lbColor, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), held);
    EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::DeleteDC(dc);
}

TEST(FrameworkWindow, TheModalLoopRoutesTheMapAndShowsTheDialogOnlyOnceTheQueueRunsEmpty)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr));
    // Until the queue runs empty the dialog stays hidden, with its owner disabled; a quit ends
    // the loop and is passed on.
    for (bool quit : { false, true }) {
        Probe dialog(&owner, quit, [&](Probe& d) {
            EXPECT_FALSE(::IsWindowEnabled(owner.m_hWnd));
            EXPECT_FALSE(d.IsWindowVisible());
            RouteEachKindOfEntry(d);
            CheckLabel(d);
        });
        EXPECT_EQ(dialog.DoModal(), quit ? -1 : IDOK);
        EXPECT_EQ(dialog.everShown, !quit);
        EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    }
    MSG quit;
    ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
}

TEST(FrameworkWindow, SubclassingBindsOneObjectUntilEitherGoes)
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
        // A control that does not answer a colour request leaves it to the parent.
        HDC dc = ::GetDC(control);
        const auto wParam = reinterpret_cast<WPARAM>(dc);
        const auto lParam = reinterpret_cast<LPARAM>(control);
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
        CWnd owned;
        ASSERT_TRUE(owned.CreateEx(0, "STATIC", "made", WS_CHILD, 0, 0, 10, 10, window.m_hWnd, nullptr));
        made = owned.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(made)) << "a window made by CreateEx goes with its object";
}
}
