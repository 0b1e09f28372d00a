// Where an LED is taken from in the strip and where it goes on its control. The strip is a
// grid of 16x16 cells: three columns (lit, dark, grey) by four colours, circles above
// squares, so that a cell's origin is x = mode * 16, y = colour row + shape.
#pragma once

constexpr int LED_ROW_RED = 0;
constexpr int LED_ROW_GREEN = 16;
constexpr int LED_ROW_YELLOW = 32;
constexpr int LED_ROW_BLUE = 48;
constexpr int LED_SHAPE_CIRCLE = 0;
constexpr int LED_SHAPE_SQUARE = 64;
constexpr int LED_LIT = 0;
constexpr int LED_DARK = 1;
constexpr int LED_GREY = 2;

constexpr int kLedSize = 16;

struct LedPoint {
    int x;
    int y;
    bool operator==(const LedPoint&) const = default;
};

// Top-left corner of the cell in the strip.
LedPoint LedCellOrigin(int colorRow, int mode, int shape);

// Top-left corner of the LED on a control with that client rectangle: centred when the
// control is at least 16 pixels both wide and high, else at its top-left corner.
LedPoint LedTargetOrigin(int left, int top, int right, int bottom);
