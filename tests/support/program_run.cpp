#include "program_run.h"

#include <algorithm>

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

LedShown ShownLed(HWND led)
{
    // The strip's cells are filled with pure colours of the 16-colour palette: lime when lit,
    // green when dark, grey when disabled; their outlines and glints are a few pixels only.
    RECT rect = {};
    ::GetWindowRect(led, &rect);
    const Screenshot pixels = CaptureScreenRect(rect);
    const COLORREF fills[] = { RGB(0, 255, 0), RGB(0, 128, 0), RGB(128, 128, 128) };
    auto shows = [&](int fill) { return std::count(pixels.begin(), pixels.end(), fills[fill]) >= 40; };
    int bodies = shows(0) + shows(1) + shows(2);
    return bodies != 1 ? LedShown::Unknown : static_cast<LedShown>(shows(1) + 2 * shows(2));
}
