#include "led_placement.h"

LedPoint LedCellOrigin(int colorRow, int mode, int shape)
{
    return { mode * kLedSize, colorRow + shape };
}

LedPoint LedTargetOrigin(int left, int top, int right, int bottom)
{
    int width = right - left;
    int height = bottom - top;
    if (width < kLedSize || height < kLedSize)
        return { left, top };
    // Each side moves in by half the excess, truncated: a 17 pixel control keeps its top.
    return { left + (width - kLedSize) / 2, top + (height - kLedSize) / 2 };
}
