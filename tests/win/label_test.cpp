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
    HWND text = ::CreateWindowExA(0, "STATIC", "kvMidi", WS_CHILD, 0, 0, 280, 24, parent.m_hWnd, nullptr, nullptr,
                                  nullptr);
    CLabel label;
    ASSERT_TRUE(label.SubclassWindow(text));
    label.SetBoldFont();
    label.SetTextHeight(18);
    auto held = reinterpret_cast<HGDIOBJ>(::SendMessageA(text, WM_GETFONT, 0, 0));
    LOGFONTA font = {};
    ::GetObjectA(held, sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -18);

    HDC dc = ::CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text)));
    LOGBRUSH colour = {};
    ::GetObjectA(brush, sizeof colour, &colour);
    EXPECT_EQ(colour.lbColor, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), held);
    EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::DeleteDC(dc);
}
}
