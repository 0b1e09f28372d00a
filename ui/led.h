// CLed: a 16x16 LED on a static control of a dialog, one cell of the LED strip (bitmap 137)
// laid over what is behind it, its magenta pixels left out.
#pragma once

#include <windows.h>

#include "framework/gdi_objects.h"
#include "framework/static.h"
#include "ui/led_placement.h"

class CLed : public CStatic {
public:
    CLed();
    ~CLed() override;

    // Keeps the state and draws it at once, without invalidating the control.
    void ShowLed(int nColorRow, int nMode, int nShape);
    // Draws one cell on the device context of the control: built in a 16x16 bitmap off
    // screen and put there with one copy, so no step of it is ever seen.
    void DrawLed(HDC hDC, int nColorRow, int nMode, int nShape);

protected:
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    int m_nColorRow = LED_ROW_RED;
    int m_nMode = LED_DARK;
    int m_nShape = LED_SHAPE_CIRCLE;
    CBitmap m_bmpStrip;
};
