// Message boxes and other dialogs of another process, found by their text and answered as a
// user would.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "tests/support/kvmidi_process.h"

// The process's message box whose text is exactly `text`, once it shows; null when none
// shows within the deadline.
HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline);

// Answers the dialog with the command (IDOK, IDNO, a button's id) until it is gone; false
// when it stayed.
bool AnswerDialog(HWND dialog, int answer, std::chrono::milliseconds deadline = kProgramDeadline);
inline bool DismissMessageBox(HWND box, std::chrono::milliseconds deadline) { return AnswerDialog(box, IDOK, deadline); }
