#include "screenshot.h"

#include "framework/dc.h"

Screenshot CaptureScreenRect(const RECT& rect)
{
    // Pixel by pixel: the rectangles are an icon or an LED, a few hundred pixels.
    Screenshot shot;
    CClientDC screen(nullptr);
    for (LONG y = rect.top; y < rect.bottom; ++y)
        for (LONG x = rect.left; x < rect.right; ++x)
            shot.push_back(::GetPixel(screen.GetSafeHdc(), x, y));
    return shot;
}

RECT FirstTrayIconSlot()
{
    RECT tray = {};
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar || !::IsWindowVisible(taskbar) || !::GetWindowRect(taskbar, &tray))
        return {};
    int width = ::GetSystemMetrics(SM_CXSMICON) + 4;
    int height = ::GetSystemMetrics(SM_CYSMICON) + 4;
    LONG top = tray.top + (tray.bottom - tray.top - height) / 2;
    return { tray.right - width, top, tray.right, top + height };
}

int CountPointerGreen(const Screenshot& shot)
{
    // Clearly green, little red or blue; the dial's other inks are greys and near-black.
    int count = 0;
    for (COLORREF pixel : shot)
        count += GetGValue(pixel) >= 150 && GetRValue(pixel) <= 90 && GetBValue(pixel) <= 90 ? 1 : 0;
    return count;
}
