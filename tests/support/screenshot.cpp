#include "screenshot.h"

#include "framework/dc.h"
#include "framework/win_handles.h"

Screenshot CaptureScreenRect(const RECT& rect)
{
    Screenshot shot;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    CClientDC screen(nullptr);
    UniqueMemoryDc memory(::CreateCompatibleDC(screen.GetSafeHdc()));
    UniqueGdiObject bitmap(width > 0 && height > 0 ? ::CreateCompatibleBitmap(screen.GetSafeHdc(), width, height)
                                                   : nullptr);
    if (!memory || !bitmap)
        return shot;
    {
        ScopedSelectObject selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.GetSafeHdc(), rect.left, rect.top, SRCCOPY);
    }
    BITMAPINFO info = {};
    info.bmiHeader = { sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };   // top row first
    shot.pixels.resize(static_cast<size_t>(width) * height);
    if (!::GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, height, shot.pixels.data(), &info,
                     DIB_RGB_COLORS))
        return {};
    for (std::uint32_t& pixel : shot.pixels)
        pixel &= 0xFFFFFF;
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
    for (std::uint32_t pixel : shot.pixels)
        count += ((pixel >> 8) & 0xFF) >= 150 && (pixel >> 16) <= 90 && (pixel & 0xFF) <= 90 ? 1 : 0;
    return count;
}
