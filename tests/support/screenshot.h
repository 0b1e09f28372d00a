// Pictures of the Wine desktop taken from inside it with GDI, and the few pixel questions the
// tests ask of them.
#pragma once

#include <windows.h>

#include <vector>

// The colours row by row, top row first, as GDI gives them (0x00BBGGRR).
using Screenshot = std::vector<COLORREF>;

// The part of the screen (the virtual desktop) in the rectangle.
Screenshot CaptureScreenRect(const RECT& rect);

// Where the notification area shows the first icon added: the taskbar of the Wine desktop
// paints its icons itself, one slot each of the small icon size and a border of 2 on each
// side, the first in the rightmost slot. Empty when the taskbar is not shown.
RECT FirstTrayIconSlot();
// Pixels of the dial's green pointer in the picture: the application icon and its frames
// show it, nothing else on the desktop is of that green.
int CountPointerGreen(const Screenshot& shot);
