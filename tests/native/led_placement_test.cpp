#include "ui/led_placement.h"

#include <gtest/gtest.h>

namespace {
// The strip's far corner; centred with truncation when the control holds the whole cell, else
// at the control's top-left corner.
TEST(LedPlacement, CellInTheStripAndOnTheControl)
{
    EXPECT_EQ(LedCellOrigin(LED_ROW_BLUE, LED_GREY, LED_SHAPE_SQUARE), (LedPoint{ 32, 112 }));
    struct Case { int left, top, right, bottom; LedPoint at; };
    const Case cases[] = {
        { 0, 0, 16, 16, { 0, 0 } }, { 0, 0, 20, 17, { 2, 0 } }, { 0, 0, 17, 21, { 0, 2 } },
        { 3, 5, 23, 22, { 5, 5 } }, { 7, 9, 20, 60, { 7, 9 } }, { 7, 9, 60, 24, { 7, 9 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LedTargetOrigin(c.left, c.top, c.right, c.bottom), c.at) << c.right << "x" << c.bottom;
}
}
