// The LED control drawing the program's own LED strip, checked pixel by pixel: where the
// cell is magenta the background stays, everywhere else the cell's colour is drawn.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "framework/wnd.h"
#include "res/resource.h"
#include "tests/support/program_resources.h"
#include "ui/led.h"

namespace {
constexpr std::uint32_t kMagenta = 0xFF00FF;

// The pixels of a window's surface, as 0xRRGGBB, row after row.
std::vector<std::uint32_t> ReadPixels(HDC dc, int left, int top, int width, int height)
{
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            COLORREF c = ::GetPixel(dc, x, y);
            pixels.push_back((static_cast<std::uint32_t>(GetRValue(c)) << 16) |
                             (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c));
        }
    }
    return pixels;
}

// A 32-bit picture with its own memory device context.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_previous = ::SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_previous);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    std::uint32_t At(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x] & 0xFFFFFF;
    }
    void Set(int x, int y, std::uint32_t rgb) { m_bits[y * m_width + x] = rgb; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
};

// Every pixel different and none of them magenta, so a misplaced copy shows.
std::uint32_t Background(int x, int y)
{
    return (static_cast<std::uint32_t>(10 * x) << 16) | (static_cast<std::uint32_t>(12 * y) << 8) | 0x40;
}

// The LED strip as the program's resources hold it, read back as RGB.
class Strip {
public:
    Strip() : m_canvas(48, 128)
    {
        HBITMAP strip = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDB_LED_STRIP));
        HDC source = ::CreateCompatibleDC(nullptr);
        HGDIOBJ previous = ::SelectObject(source, strip);
        ::BitBlt(m_canvas.Dc(), 0, 0, 48, 128, source, 0, 0, SRCCOPY);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
        m_loaded = strip != nullptr;
        ::DeleteObject(strip);
    }
    bool Loaded() const { return m_loaded; }
    std::uint32_t At(int x, int y) const { return m_canvas.At(x, y); }

private:
    Canvas m_canvas;
    bool m_loaded = false;
};

std::string Hex(std::uint32_t rgb)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb));
    return text;
}

class LedControl : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(resources.IsLoaded()) << "kvMidi.exe must sit beside the tests";
        ASSERT_TRUE(strip.Loaded());
        parentBrush = ::CreateSolidBrush(RGB(0x0A, 0x78, 0xC8));
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, parentBrush), "LEDs",
                                    WS_POPUP | WS_VISIBLE, 300, 300, 120, 60, nullptr, nullptr));
    }
    void TearDown() override
    {
        parent.DestroyWindow();
        ::DeleteObject(parentBrush);
    }

    HWND MakeStatic(int width, int height)
    {
        HWND control = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, width, height,
                                         parent.m_hWnd, nullptr, nullptr, nullptr);
        ::UpdateWindow(parent.m_hWnd);
        return control;
    }

    // What the control should show at (x, y) of the cell over that background.
    std::uint32_t Expected(LedPoint cell, int x, int y, std::uint32_t background) const
    {
        std::uint32_t source = strip.At(cell.x + x, cell.y + y);
        return source == kMagenta ? background : source;
    }

    ProgramResources resources;
    Strip strip;
    HBRUSH parentBrush = nullptr;
    CWnd parent;
};

TEST_F(LedControl, EveryCellKeepsTheBackgroundOnlyWhereItIsMagenta)
{
    CLed led;
    ASSERT_TRUE(led.SubclassWindow(MakeStatic(20, 17)));
    const int rows[] = { LED_ROW_RED, LED_ROW_GREEN, LED_ROW_YELLOW, LED_ROW_BLUE };
    const int modes[] = { LED_LIT, LED_DARK, LED_GREY };
    const int shapes[] = { LED_SHAPE_CIRCLE, LED_SHAPE_SQUARE };
    for (int row : rows) {
        for (int mode : modes) {
            for (int shape : shapes) {
                Canvas canvas(20, 17);
                for (int y = 0; y < 17; ++y)
                    for (int x = 0; x < 20; ++x)
                        canvas.Set(x, y, Background(x, y));
                led.DrawLed(canvas.Dc(), row, mode, shape);
                LedPoint cell = LedCellOrigin(row, mode, shape);
                int kept = 0;
                int drawn = 0;
                for (int y = 0; y < 17; ++y) {
                    for (int x = 0; x < 20; ++x) {
                        // A 20x17 control has the cell at x = 2, y = 0.
                        bool inCell = x >= 2 && x < 18 && y < 16;
                        std::uint32_t want = inCell ? Expected(cell, x - 2, y, Background(x, y)) : Background(x, y);
                        ASSERT_EQ(Hex(canvas.At(x, y)), Hex(want))
                            << "row " << row << " mode " << mode << " shape " << shape << " at " << x << "," << y;
                        if (inCell)
                            ++(want == Background(x, y) ? kept : drawn);
                    }
                }
                // Both parts exist in every cell, so both rules were exercised.
                EXPECT_GT(kept, 0);
                EXPECT_GT(drawn, 0);
            }
        }
    }
}

TEST_F(LedControl, GreyLooksTheSameWhateverTheColour)
{
    for (int shape : { LED_SHAPE_CIRCLE, LED_SHAPE_SQUARE }) {
        LedPoint red = LedCellOrigin(LED_ROW_RED, LED_GREY, shape);
        for (int row : { LED_ROW_GREEN, LED_ROW_YELLOW, LED_ROW_BLUE }) {
            LedPoint other = LedCellOrigin(row, LED_GREY, shape);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(strip.At(red.x + x, red.y + y), strip.At(other.x + x, other.y + y)) << row;
        }
    }
}

TEST_F(LedControl, ShowLedDrawsAtOnceAndPaintingDrawsTheSameState)
{
    CLed led;
    HWND control = MakeStatic(20, 17);
    ASSERT_TRUE(led.SubclassWindow(control));
    HDC dc = ::GetDC(control);
    std::vector<std::uint32_t> before = ReadPixels(dc, 0, 0, 20, 17);
    LedPoint cell = LedCellOrigin(LED_ROW_GREEN, LED_LIT, LED_SHAPE_SQUARE);
    auto expectLed = [&](const char* when) {
        std::vector<std::uint32_t> now = ReadPixels(dc, 0, 0, 20, 17);
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 20; ++x) {
                std::uint32_t behind = before[static_cast<size_t>(y * 20 + x)];
                bool inCell = x >= 2 && x < 18 && y < 16;
                std::uint32_t want = inCell ? Expected(cell, x - 2, y, behind) : behind;
                ASSERT_EQ(Hex(now[static_cast<size_t>(y * 20 + x)]), Hex(want)) << when << " " << x << "," << y;
            }
        }
    };

    // Read back from the control's own surface before any message is handled: no paint.
    led.ShowLed(LED_ROW_GREEN, LED_LIT, LED_SHAPE_SQUARE);
    expectLed("shown at once");

    // A paint of the whole control draws the stored state again over what is there.
    ::InvalidateRect(control, nullptr, FALSE);
    ::UpdateWindow(control);
    expectLed("painted");
    ::ReleaseDC(control, dc);
}

TEST_F(LedControl, TheControlNeverErasesItsBackground)
{
    CLed led;
    HWND control = MakeStatic(20, 17);
    ASSERT_TRUE(led.SubclassWindow(control));
    Canvas canvas(20, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 20; ++x)
            canvas.Set(x, y, Background(x, y));
    EXPECT_NE(::SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(canvas.At(x, y), Background(x, y));
}

TEST_F(LedControl, ASmallControlGetsTheCellAtItsCornerClippedToIt)
{
    CLed led;
    HWND control = MakeStatic(12, 30);
    ASSERT_TRUE(led.SubclassWindow(control));
    // The control sits at 10,10 of its parent and is 12 pixels wide.
    HDC dc = ::GetDC(parent.m_hWnd);
    std::vector<std::uint32_t> before = ReadPixels(dc, 10, 10, 16, 16);
    led.ShowLed(LED_ROW_RED, LED_LIT, LED_SHAPE_SQUARE);
    std::vector<std::uint32_t> now = ReadPixels(dc, 10, 10, 16, 16);
    LedPoint cell = LedCellOrigin(LED_ROW_RED, LED_LIT, LED_SHAPE_SQUARE);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::uint32_t behind = before[static_cast<size_t>(y * 16 + x)];
            std::uint32_t want = x < 12 ? Expected(cell, x, y, behind) : behind;
            ASSERT_EQ(Hex(now[static_cast<size_t>(y * 16 + x)]), Hex(want)) << x << "," << y;
        }
    }
    ::ReleaseDC(parent.m_hWnd, dc);
}
}
