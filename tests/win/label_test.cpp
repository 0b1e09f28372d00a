// The label control: the font it holds, and the colour request of its parent answered with the
// label's font, colours and brush.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/wnd.h"
#include "ui/label.h"

namespace {
TEST(LabelControl, HoldsItsFontAndAnswersItsParentsColourRequest)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 300, 60, nullptr, nullptr));
    HWND text = ::CreateWindowExA(0, "STATIC", "kvMidi version 1.2.0-dev", WS_CHILD | WS_VISIBLE, 0, 0, 280, 24,
                                  parent.m_hWnd, nullptr, nullptr, nullptr);
    CLabel label;
    ASSERT_TRUE(label.SubclassWindow(text));
    label.SetBoldFont();
    label.SetTextHeight(18);
    LOGFONTA held = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(text, WM_GETFONT, 0, 0)), sizeof held, &held);
    EXPECT_EQ(held.lfWeight, FW_BOLD);
    EXPECT_EQ(held.lfHeight, -18);

    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text)));
    LOGBRUSH brushDescription = {};
    ASSERT_NE(brush, nullptr);
    ::GetObjectA(brush, sizeof brushDescription, &brushDescription);
    EXPECT_EQ(brushDescription.lbColor, ::GetSysColor(COLOR_BTNFACE));
    LOGFONTA selected = {};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof selected, &selected);
    EXPECT_EQ(selected.lfWeight, FW_BOLD);
    EXPECT_EQ(selected.lfHeight, -18);
    EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::DeleteDC(dc);
}
}
