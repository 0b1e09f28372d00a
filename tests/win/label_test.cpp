// The label control: its one font description, and the colour request of its parent (a plain
// window or a dialog) answered with the label's font, colours and brush.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "res/resource.h"
#include "tests/support/program_resources.h"
#include "ui/label.h"

namespace {
LOGFONTA SelectedFont(HDC dc)
{
    LOGFONTA font = {};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    return font;
}

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH description = {};
    ::GetObjectA(brush, sizeof description, &description);
    return description.lbColor;
}

class LabelControl : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 300, 60, nullptr, nullptr));
        HWND text = ::CreateWindowExA(0, "STATIC", "kvMidi version 1.2.0-dev", WS_CHILD | WS_VISIBLE, 0, 0, 280,
                                      24, parent.m_hWnd, reinterpret_cast<HMENU>(1014), nullptr, nullptr);
        ASSERT_TRUE(label.SubclassWindow(text));
        dc = ::CreateCompatibleDC(nullptr);
    }
    void TearDown() override { ::DeleteDC(dc); }

    LRESULT AskParent(UINT message)
    {
        return ::SendMessageA(parent.m_hWnd, message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(label.GetSafeHwnd()));
    }

    CWnd parent;
    CLabel label;
    HDC dc = nullptr;
};

TEST_F(LabelControl, BoldAndHeightKeepEachOtherInEitherOrder)
{
    LOGFONTA gui = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_STREQ(label.LogFont().lfFaceName, gui.lfFaceName);
    EXPECT_EQ(label.LogFont().lfWeight, gui.lfWeight);

    label.SetBoldFont();
    label.SetTextHeight(18);
    EXPECT_EQ(label.LogFont().lfWeight, FW_BOLD);
    EXPECT_EQ(label.LogFont().lfHeight, -18);

    CLabel other;
    other.SetTextHeight(12);
    other.SetBoldFont();
    EXPECT_EQ(other.LogFont().lfWeight, FW_BOLD);
    EXPECT_EQ(other.LogFont().lfHeight, -12);
}

TEST_F(LabelControl, TheControlItselfHoldsTheLabelsFont)
{
    auto font = [&] {
        LOGFONTA held = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(label.GetSafeHwnd(), WM_GETFONT, 0, 0)), sizeof held,
                     &held);
        return held;
    };
    EXPECT_STREQ(font().lfFaceName, label.LogFont().lfFaceName) << "from the moment it is bound";
    label.SetBoldFont();
    label.SetTextHeight(18);
    EXPECT_EQ(font().lfWeight, FW_BOLD);
    EXPECT_EQ(font().lfHeight, -18);
}

TEST_F(LabelControl, AStaticColourRequestGetsTheLabelsFontColoursAndBrush)
{
    label.SetBoldFont();
    label.SetTextHeight(18);
    ::SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(AskParent(WM_CTLCOLORSTATIC));
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(BrushColour(brush), ::GetSysColor(COLOR_BTNFACE));
    LOGFONTA selected = SelectedFont(dc);
    EXPECT_EQ(selected.lfWeight, FW_BOLD);
    EXPECT_EQ(selected.lfHeight, -18);
    EXPECT_STREQ(selected.lfFaceName, label.LogFont().lfFaceName);
    EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
}

TEST_F(LabelControl, OtherColourRequestsGetOnlyTheBrush)
{
    label.SetBoldFont();
    LOGFONTA before = SelectedFont(dc);
    ::SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(AskParent(WM_CTLCOLOREDIT));
    EXPECT_EQ(BrushColour(brush), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(SelectedFont(dc).lfWeight, before.lfWeight);
    EXPECT_EQ(::GetBkMode(dc), OPAQUE);
}

// A dialog with a label on its prompt control, asking itself for the label's colours.
class LabelDialog : public CDialog {
public:
    LabelDialog() : CDialog(IDD_STRING_PROMPT) {}

    CLabel m_label;
    HBRUSH answer = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PROMPT_TEXT, m_label); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HDC dc = ::GetDC(m_label.GetSafeHwnd());
        answer = reinterpret_cast<HBRUSH>(::SendMessageA(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(m_label.GetSafeHwnd())));
        ::ReleaseDC(m_label.GetSafeHwnd(), dc);
        EndDialog(IDOK);
        return TRUE;
    }
};

TEST(LabelInADialog, TheDialogAnswersWithTheLabelsBrush)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded());
    LabelDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_NE(dialog.answer, nullptr);
    EXPECT_EQ(BrushColour(dialog.answer), ::GetSysColor(COLOR_BTNFACE));
}
}
