// The framework's windows around one modal dialog: the routing of each kind of message-map
// entry, the dialog procedure and modal loop, subclassing, and the colour requests a label
// answers and a plain control leaves to the dialog. Chaining to a base class's map and
// command ranges (the profiles') are the controller's, seen by the end-to-end tests.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "framework/dialog.h"
#include "res/resource.h"
#include "ui/label.h"

namespace {
const UINT g_probeMessage = ::RegisterWindowMessageA("kvMidi framework test probe");

// A dialog on the prompt's template, its text a bold label, with one entry of each kind in its
// map. Its first posted message hands it to the test; it ends with IDOK once shown.
class Probe : public CDialog {
public:
    explicit Probe(CWnd* owner) : CDialog(IDD_STRING_PROMPT, owner) {}

    std::function<void()> inLoop;
    std::string log;
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
    LRESULT OnStart(WPARAM, LPARAM) { std::exchange(inLoop, nullptr)(); return 0; }
    LRESULT OnShowWindow(WPARAM shown, LPARAM) { if (shown) PostMessage(WM_COMMAND, IDOK); return Default(); }
    void OnHundred() { log += "command 100"; }
    LRESULT OnProbe(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    LRESULT OnDefaulted(WPARAM, LPARAM) { return Default() + 42; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CDialog)
    ON_COMMAND(100, OnHundred)
    ON_MESSAGE(WM_APP, OnStart)
    ON_MESSAGE(WM_APP + 1, OnDefaulted)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_REGISTERED_MESSAGE(g_probeMessage, OnProbe)
END_MESSAGE_MAP()

// Until the queue runs empty the dialog stays hidden, with its owner disabled. The label
// answers the dialog's colour request with its font and colours; a control bound to a plain
// window object leaves the request to the dialog, and goes with its dialog, leaving its
// object unbound.
TEST(FrameworkWindow, TheModalLoopRoutesEachKindOfEntryAndControlsAnswerOrLeaveTheColourRequest)
{
    CWnd owner, plain;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr));
    Probe dialog(&owner);
    dialog.inLoop = [&] {
        EXPECT_TRUE(!::IsWindowEnabled(owner.m_hWnd) && !dialog.IsWindowVisible());
        struct Case { UINT message; WPARAM wParam; const char* log; LRESULT result; };
        const Case cases[] = {
            { WM_COMMAND, MAKEWPARAM(100, 1), "command 100", 0 },   // an accelerator (a menu's is every end-to-end test's)
            { WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), "", 0 },   // an edit box's notification
            { g_probeMessage, 41, "", 42 },   // answered through the dialog procedure
            { WM_APP + 1, 0, "", 0 },   // a handler that asks for Default() gets the dialog manager's answer
        };
        for (const Case& c : cases) {
            dialog.log.clear();
            EXPECT_EQ(dialog.SendMessage(c.message, c.wParam), c.result) << c.message << ' ' << c.wParam;
            EXPECT_EQ(dialog.log, c.log) << c.message << ' ' << c.wParam;
        }
        HDC dc = ::CreateCompatibleDC(nullptr);
        auto answer = [&](HWND control) {
            return dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        };
        HWND edit = dialog.GetDlgItem(IDC_PROMPT_EDIT);
        const LRESULT unbound = answer(edit);
        EXPECT_TRUE(plain.SubclassWindow(edit) && answer(edit) == unbound);
        answer(dialog.label.m_hWnd);
        LOGFONTA font = {};
        ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        EXPECT_TRUE(font.lfWeight == FW_BOLD && font.lfHeight == -18 && ::GetBkMode(dc) == TRANSPARENT);
        ::DeleteDC(dc);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_TRUE(!dialog.inLoop && !plain.GetSafeHwnd()) << "the loop ran; the control went first";
}
}
