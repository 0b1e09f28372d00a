// The LED control drawing the program's own LED strip, read back from the screen at once, with
// no paint in between: the cell's colour where the strip has it, the background where the
// strip is magenta or has no cell. Painting, and the colour of each state in a dialog, are the
// end-to-end COM line test's.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/led.h"

namespace {
TEST(LedControl, ShowLedDrawsTheCellAtOnceOverTheBackground)
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
    const Case cases[] = { { LED_ROW_GREEN, LED_LIT, LED_SHAPE_CIRCLE, RGB(0, 255, 0) },
                           { LED_ROW_RED, LED_GREY, LED_SHAPE_CIRCLE, RGB(128, 128, 128) },
                           { LED_ROW_GREEN, LED_DARK, LED_SHAPE_SQUARE, RGB(0, 128, 0) } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "/" << c.mode << "/" << c.shape);
        led.ShowLed(c.row, c.mode, c.shape);
        EXPECT_EQ(::GetPixel(dc, 10, 8), c.body);
        EXPECT_EQ(::GetPixel(dc, 0, 8), background) << "left of the cell";
        EXPECT_EQ(::GetPixel(dc, 2, 0), background) << "the cell's magenta corner";
        EXPECT_EQ(::GetPixel(dc, 4, 2) == background, c.shape == LED_SHAPE_CIRCLE) << "the square's outline";
    }
    ::ReleaseDC(control, dc);
    ::DestroyWindow(control);
}
}
