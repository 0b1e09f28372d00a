// The controller's timers.
#pragma once

#include <windows.h>

constexpr UINT_PTR TIMER_HIDE_WINDOW = 1025;   // hides the About panel
constexpr UINT_PTR TIMER_ACTIVITY = 1026;      // ends the tray animation (CommandActivity sets it)
constexpr UINT_PTR TIMER_DEVICE_SCAN = 1027;   // looks at the MIDI devices again
constexpr UINT_PTR TIMER_CLOSE_WINDOWS = 1040; // while ending: closes what opened meanwhile

constexpr UINT kHideWindowMilliseconds = 5000;
// A device that comes back is open again within this plus the time its open takes.
constexpr UINT kDeviceScanMilliseconds = 2000;
