// The LED control drawing the program's own LED strip, read back from the screen: the cell's
// colour where the strip has it, the background where the strip is magenta or has no cell.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/led.h"

namespace {
TEST(LedControl, ShowLedDrawsTheCellAtOnceAndPaintingDrawsItAgain)
{
    HWND control = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 300, 300, 20, 17, nullptr,
                                     nullptr, nullptr, nullptr);
    ::UpdateWindow(control);
    CLed led;
    ASSERT_TRUE(led.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    const COLORREF background = ::GetPixel(dc, 2, 0);   // what the control shows before any LED
    // The 16x16 cell sits at x = 2, y = 0 of the 20x17 control; the square comes last, since
    // its outline covers what the circles leave out.
    struct Case { int row, mode, shape; COLORREF body; };
    const Case cases[] = {
        { LED_ROW_GREEN, LED_LIT, LED_SHAPE_CIRCLE, RGB(0, 255, 0) },
        { LED_ROW_RED, LED_GREY, LED_SHAPE_CIRCLE, RGB(128, 128, 128) },
        { LED_ROW_GREEN, LED_DARK, LED_SHAPE_SQUARE, RGB(0, 128, 0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "/" << c.mode << "/" << c.shape);
        led.ShowLed(c.row, c.mode, c.shape);   // read before any message is handled: no paint
        EXPECT_EQ(::GetPixel(dc, 10, 8), c.body);
        EXPECT_EQ(::GetPixel(dc, 0, 8), background) << "left of the cell";
        EXPECT_EQ(::GetPixel(dc, 2, 0), background) << "the cell's magenta corner";
        EXPECT_EQ(::GetPixel(dc, 4, 2) == background, c.shape == LED_SHAPE_CIRCLE) << "the square's outline";
        ::SetPixel(dc, 10, 8, RGB(1, 2, 3));
        ::InvalidateRect(control, nullptr, FALSE);
        ::UpdateWindow(control);
        EXPECT_EQ(::GetPixel(dc, 10, 8), c.body) << "painted";
    }
    ::ReleaseDC(control, dc);
    ::DestroyWindow(control);
}
}
