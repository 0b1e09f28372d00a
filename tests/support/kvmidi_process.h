// The real kvMidi.exe, started by a test and ended with it, the windows of it that tests find,
// read and answer as a user would, and the wait with a deadline that every Wine test uses.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>

#include "framework/win_handles.h"

inline constexpr std::chrono::milliseconds kProgramDeadline{ 20000 };

// Polls the condition until it holds or the deadline passes; never a fixed sleep.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kProgramDeadline);

// A data folder for one run: <folder>\cfg\kvMidi.ini, seeded with a loopback address.
void SeedIni(const std::string& dataFolder, unsigned short port, const std::string& extraLines = "");

// The first top-level window of the process that the test accepts, or null.
HWND FindProcessWindowIf(DWORD processId, const std::function<bool(HWND)>& accept);
// The same once there is one; null when none comes within the deadline.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& accept,
                   std::chrono::milliseconds deadline = kProgramDeadline);
// The text of a window of any process; a hung window gives an empty text.
std::string WindowText(HWND window);
// The controller (the About panel), visible or not: its revision line tells it from the
// settings dialog.
bool IsController(HWND window);

class KvMidiProcess {
public:
    KvMidiProcess() = default;
    // A copy the test did not start itself, such as the one a Restart starts.
    explicit KvMidiProcess(DWORD id)
        : m_process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)),
          m_processId(id)
    {
    }
    ~KvMidiProcess() { if (IsRunning()) Exit(); }   // never copied: it owns the process handle

    // Starts kvMidi.exe with the command line after the program name, our environment and
    // the working folder given or ours.
    bool Start(const std::string& arguments, const std::string& workingFolder = "");
    // Waits for the program to end; its exit code, or -1 when it is still running.
    int WaitForExit(std::chrono::milliseconds deadline = kProgramDeadline);
    bool IsRunning() const { return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }
    DWORD ProcessId() const { return m_processId; }
    // The controller window (the hidden About panel) once it exists, or null.
    HWND ControllerWindow(std::chrono::milliseconds deadline = kProgramDeadline) const
    {
        return WaitForWindow(m_processId, IsController, deadline);
    }
    // Asks the program to end as the installer does, by WM_CLOSE to its tray window, which
    // declines whatever still shows and saves nothing; false when it had to be killed.
    bool Exit(std::chrono::milliseconds deadline = kProgramDeadline);

private:
    UniqueKernelHandle m_process;
    DWORD m_processId = 0;
};

// The process's message box whose text is exactly `text`.
HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline = kProgramDeadline);
// The COM port error dialog, shown; that of the process, once there is one.
inline bool IsPortErrorDialog(HWND window) { return ::IsWindowVisible(window) && WindowText(window) == "COM port opening error"; }
inline HWND WaitForPortErrorDialog(DWORD processId) { return WaitForWindow(processId, IsPortErrorDialog); }
// Answers the dialog with the command (IDOK, IDNO, a button's id) until it is gone; false
// when it stayed.
bool AnswerDialog(HWND dialog, int answer);

// The tray's hidden window, which the shell calls back and which takes the request to end.
HWND TrayWindow(DWORD processId);
// Opens the tray's popup, as the shell's call back for a right click on the icon does, and
// posts the keys to it: the menu's loop reads every key that reaches its thread, so they act
// whatever window has the focus on the desktop.
bool UseTrayMenu(DWORD processId, std::initializer_list<WORD> keys);
