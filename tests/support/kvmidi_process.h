// The real kvMidi.exe, started by a test with its own data folder and ended with it, and the
// windows of it that tests drive.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "framework/win_handles.h"

inline constexpr std::chrono::milliseconds kProgramDeadline{ 20000 };

// Polls the condition until it holds or the deadline passes; never a fixed sleep.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kProgramDeadline);

// Where the program's binaries sit beside the tests, ending with "\".
std::string BinaryDirectory();

// A data folder for one run: <folder>\cfg\kvMidi.ini, seeded with a loopback address.
std::string SeedIni(const std::string& dataFolder, unsigned short port, const std::string& extraLines = "");

class KvMidiProcess {
public:
    KvMidiProcess() = default;
    ~KvMidiProcess();   // ends a program still running

    // Starts kvMidi.exe with the command line after the program name, the extra "NAME=value"
    // lines (separated by '\n') in its environment, and the working folder given or ours;
    // false on failure.
    bool Start(const std::string& arguments, const std::string& extraEnvironment = "",
               const std::string& workingFolder = "");

    // Waits for the program to end; its exit code, or -1 when it is still running.
    int WaitForExit(std::chrono::milliseconds deadline);
    bool IsRunning() const;
    DWORD ProcessId() const { return m_processId; }

    // The controller window (the hidden About panel) once it exists, or null.
    HWND ControllerWindow(std::chrono::milliseconds deadline) const;

    // Ends the program as the tray menu's Exit does; waits for it.
    bool Exit(std::chrono::milliseconds deadline);
    void Kill();

private:
    UniqueKernelHandle m_process;
    DWORD m_processId = 0;
};

// The first top-level window of the process that the test accepts, or null.
HWND FindProcessWindowIf(DWORD processId, const std::function<bool(HWND)>& accept);
std::string WindowClassName(HWND window);
// The text of a window of any process; a hung window gives an empty text.
std::string WindowText(HWND window);
inline std::string WindowCaption(HWND window) { return WindowText(window); }

// A visible dialog of the process that has a control with this id, or null: the controller and
// the settings dialog share their caption, their controls tell them apart.
HWND FindProcessDialog(DWORD processId, int controlId);
// The controller (the About panel) of a process, visible or not.
HWND FindController(DWORD processId);

// What the program's own threads and the shell send it: a COM line changing level, as the
// polling thread posts it, and a right click on the tray icon, as the shell calls it back.
void PostComLineEvent(HWND controller, int line, int level);
void PostTrayRightClick(DWORD processId);

// A key as the user's keyboard gives it, to the window with the focus on the desktop.
void PressKey(WORD virtualKey);
