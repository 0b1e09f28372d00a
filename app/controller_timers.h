// The controller's timers.
#pragma once

#include <windows.h>

constexpr UINT_PTR TIMER_HIDE_WINDOW = 1025;   // hides the About panel
constexpr UINT_PTR TIMER_ACTIVITY = 1026;      // ends the tray animation (CommandActivity sets it)

constexpr UINT kHideWindowMilliseconds = 5000;
