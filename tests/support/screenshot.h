// Pictures of the Wine desktop taken from inside it with GDI, written as PNG test artefacts,
// and the few pixel questions the tests ask of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;   // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Empty() const { return pixels.empty(); }
};

// The whole screen (the virtual desktop), or the part of it in the rectangle.
Screenshot CaptureScreen();
Screenshot CaptureScreenRect(const RECT& rect);

// Writes the picture as an 8-bit RGB PNG; false when the file cannot be written.
bool WritePng(const Screenshot& shot, const std::string& path);

// <build folder>\artefacts\, beside the folder of the test binaries, made when missing.
std::string ArtefactsDirectory();

// Pixels of the dial's green pointer in the rectangle of the picture (clipped to it).
int CountPointerGreen(const Screenshot& shot, const RECT& rect);

// Where the pointer's green lies relative to the centre of the rectangle, in pixels (y down).
struct PointerDirection {
    int count = 0;
    double dx = 0;
    double dy = 0;
};
PointerDirection PointerGreenCentroid(const Screenshot& shot, const RECT& rect);

// Which way the dial's pointer stands: upright in the application icon and the first frame,
// diagonal in the second, horizontal in the third; Unknown when there is no pointer.
enum class PointerPose { Upright, Diagonal, Horizontal, Unknown };
PointerPose ClassifyPointer(const PointerDirection& direction);
// The pose shown by the icon in that slot of the notification area.
PointerPose TrayPointerPose(int indexFromRight = 0);

// Where the notification area shows an icon: the taskbar of the Wine desktop paints its
// icons itself, one 20-pixel slot each (the small icon size and a border of 2 on each side),
// the first icon added in the rightmost slot. Empty when the taskbar is not shown.
RECT TrayIconSlot(int indexFromRight);
// The taskbar, or an empty rectangle when it is not shown.
RECT TrayAreaRect();
