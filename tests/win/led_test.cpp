// The LED control drawing the program's own LED strip, read back from the screen: the cell's
// colour where the strip has it, the background where the strip is magenta or has no cell.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/win_app.h"
#include "framework/wnd.h"
#include "tests/support/program_resources.h"
#include "ui/led.h"

namespace {
struct LedCase {
    int row;
    int mode;
    int shape;
    COLORREF body;   // the pure colour that fills the cell
};

// Pixels of that colour in the 20x17 control; its 16x16 cell sits at x = 2, y = 0.
int CountColour(HDC dc, COLORREF colour)
{
    int count = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 2; x < 18; ++x)
            count += ::GetPixel(dc, x, y) == colour ? 1 : 0;
    return count;
}

TEST(LedControl, ShowLedDrawsTheCellAtOnceAndPaintingDrawsItAgain)
{
    // The window class is registered before the program's resources stand in for the module.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "LEDs", WS_POPUP | WS_VISIBLE, 300, 300, 120,
                                60, nullptr, nullptr));
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded()) << "kvMidi.exe must sit beside the tests";
    HWND control = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 17, parent.m_hWnd, nullptr,
                                     nullptr, nullptr);
    ::UpdateWindow(parent.m_hWnd);
    CLed led;
    ASSERT_TRUE(led.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    const COLORREF background = ::GetPixel(dc, 2, 0);   // what the control shows before any LED
    const LedCase cases[] = {
        { LED_ROW_GREEN, LED_LIT, LED_SHAPE_CIRCLE, RGB(0, 255, 0) },
        { LED_ROW_GREEN, LED_DARK, LED_SHAPE_SQUARE, RGB(0, 128, 0) },
        { LED_ROW_RED, LED_GREY, LED_SHAPE_CIRCLE, RGB(128, 128, 128) },
    };
    for (const LedCase& c : cases) {
        led.ShowLed(c.row, c.mode, c.shape);   // read before any message is handled: no paint
        EXPECT_GE(CountColour(dc, c.body), 40) << c.row << "/" << c.mode << "/" << c.shape;
        EXPECT_EQ(::GetPixel(dc, 0, 8), background) << "left of the cell";
        if (c.shape == LED_SHAPE_CIRCLE) {
            EXPECT_EQ(::GetPixel(dc, 2, 0), background) << "the circle's magenta corner";
        }
        ::InvalidateRect(control, nullptr, FALSE);
        ::UpdateWindow(control);
        EXPECT_GE(CountColour(dc, c.body), 40) << "painted " << c.row << "/" << c.mode << "/" << c.shape;
    }
    ::ReleaseDC(control, dc);
    parent.DestroyWindow();
}
}
