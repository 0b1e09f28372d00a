// Window messages and timers shared between the controller, its threads and its dialogs.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// MM_MIM_DATA (963) comes from the system headers: wParam = MIDI device number.
constexpr UINT WM_NETWORK_NOTIFY = WM_USER + 3;    // network library → controller, ignored
constexpr UINT WM_LAST_COMMAND = WM_USER + 4;      // controller → settings dialog
constexpr UINT WM_COM_LINE_STATE = WM_USER + 5;    // controller → settings dialog
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 10;      // shell → tray window
constexpr UINT WM_COM_LINE_EVENT = WM_USER + 20;   // COM polling thread → controller

constexpr UINT_PTR TIMER_HIDE_WINDOW = 1025;
constexpr UINT_PTR TIMER_ACTIVITY = 1026;
constexpr UINT_PTR TIMER_TRAY_FRAME = 4567;

constexpr UINT kHideWindowMilliseconds = 5000;
constexpr UINT kActivityMilliseconds = 5000;
