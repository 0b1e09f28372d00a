// Driving windows from a test: a message pump that waits for a condition, menus, and mouse
// and keys as the user gives them.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

// Handles this thread's messages until the condition holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

// A visible popup menu window of that process (any process when 0), or null.
HWND FindPopupMenuWindow(DWORD processId = 0);
RECT WindowRect(HWND window);
POINT Centre(const RECT& rect);

// Input as the user's hardware gives it, to whatever window is under the cursor or has the
// keyboard focus on the desktop.
void ClickAt(POINT screenPoint, bool rightButton = false);
void PressKey(WORD virtualKey);

// The text of a window of any process.
std::string WindowText(HWND window);
