#include "ui/led_placement.h"

#include <gtest/gtest.h>

namespace {
TEST(LedPlacement, ALargeEnoughControlGetsTheCellCentredWithTruncation)
{
    struct Case { int left, top, right, bottom; LedPoint at; };
    const Case cases[] = {
        { 0, 0, 16, 16, { 0, 0 } },
        { 0, 0, 20, 17, { 2, 0 } },
        { 0, 0, 17, 20, { 0, 2 } },
        { 0, 0, 21, 21, { 2, 2 } },
        { 0, 0, 48, 24, { 16, 4 } },
        { 3, 5, 23, 22, { 5, 5 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LedTargetOrigin(c.left, c.top, c.right, c.bottom), c.at)
            << c.right - c.left << "x" << c.bottom - c.top;
}

TEST(LedPlacement, AControlSmallerThanTheCellGetsItAtItsTopLeft)
{
    struct Case { int left, top, right, bottom; LedPoint at; };
    const Case cases[] = {
        { 0, 0, 15, 40, { 0, 0 } },
        { 0, 0, 40, 15, { 0, 0 } },
        { 0, 0, 0, 0, { 0, 0 } },
        { 7, 9, 20, 60, { 7, 9 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LedTargetOrigin(c.left, c.top, c.right, c.bottom), c.at)
            << c.right - c.left << "x" << c.bottom - c.top;
}

TEST(LedPlacement, TheCellIsModeAcrossAndColourPlusShapeDown)
{
    struct Case { int row, mode, shape; LedPoint cell; };
    const Case cases[] = {
        { LED_ROW_RED, LED_LIT, LED_SHAPE_CIRCLE, { 0, 0 } },
        { LED_ROW_GREEN, LED_DARK, LED_SHAPE_SQUARE, { 16, 80 } },
        { LED_ROW_GREEN, LED_LIT, LED_SHAPE_SQUARE, { 0, 80 } },
        { LED_ROW_YELLOW, LED_DARK, LED_SHAPE_CIRCLE, { 16, 32 } },
        { LED_ROW_BLUE, LED_GREY, LED_SHAPE_SQUARE, { 32, 112 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LedCellOrigin(c.row, c.mode, c.shape), c.cell) << c.row << "/" << c.mode << "/" << c.shape;
}
}
