// A message box of another process, found by its text and dismissed as a user would.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "tests/support/kvmidi_process.h"

// The process's message box whose text is exactly `text`, once it shows; null when none
// shows within the deadline.
HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline);



// Presses the box's OK button; true once the box is gone.
bool DismissMessageBox(HWND box, std::chrono::milliseconds deadline);
