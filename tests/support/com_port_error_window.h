// The COM port error dialog of a process, found and answered as a user would.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

constexpr char kComPortErrorCaption[] = "COM port opening error";

// The process's port error dialog once it shows, other than `previous` (a dialog already
// answered, which must be gone first); null when none shows within the deadline.
HWND WaitForComPortErrorDialog(DWORD processId, std::chrono::milliseconds deadline, HWND previous = nullptr);

// A key pressed while the dialog has the focus: it passes the dialog's own message loop, so
// Enter and Esc reach the buttons that the template makes default and cancel.
void PressKeyInDialog(HWND dialog, UINT virtualKey);

// A click on one of the dialog's buttons.
void ClickDialogButton(HWND dialog, int id);

std::string DialogItemText(HWND dialog, int id);
