#include "screenshot.h"

#include <algorithm>

#include "framework/dc.h"
#include "framework/win_handles.h"

Screenshot CaptureScreenRect(const RECT& rect)
{
    Screenshot shot;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return shot;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CClientDC screen(nullptr);
    UniqueGdiObject dib(::CreateDIBSection(screen.GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc memory(::CreateCompatibleDC(screen.GetSafeHdc()));
    if (!dib || !memory || !bits)
        return shot;
    {
        ScopedSelectObject selected(memory.Get(), dib.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.GetSafeHdc(), rect.left, rect.top, SRCCOPY);
        ::GdiFlush();
    }
    shot.width = width;
    shot.height = height;
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        shot.pixels.push_back(source[i] & 0xFFFFFF);
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
