// One run of kvMidi.exe as a test drives it: its own data folder, a listener on the port its INI
// names, its settings dialog driven through control ids, the LEDs as the screen shows them and
// the INI file's values.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "input/com_switch_monitor_win.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

class SettingsDialog {
public:
    explicit SettingsDialog(HWND window = nullptr) : m_hWnd(window) {}

    HWND Window() const { return m_hWnd; }
    bool IsOpen() const { return m_hWnd && ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd); }
    bool WaitUntilClosed() const { return WaitUntil([&] { return !IsOpen(); }); }

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string Text(int id) const { return WindowText(Item(id)); }
    void SetText(int id, const std::string& text) const { Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    // Posted, never sent: the handler may run a modal message box.
    void Click(int id) const
    {
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    // The focus is on the edit and its whole text is selected.
    bool WaitForSelectedField(int id) const;

private:
    // Sent with a time-out: a hung program must fail the test, not hang it.
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam = 0) const;

    HWND m_hWnd = nullptr;
};

// The process's visible settings dialog (the dialog with the broadcast address edit).
SettingsDialog WaitForSettingsDialog(DWORD processId);

// What an LED control shows on the screen: lit green, dark green or grey (disabled).
enum class LedShown { Lit, Dark, Grey, Unknown };
LedShown ShownLed(HWND led);

// A value of the INI file as the system's private-profile functions read it.
std::optional<std::string> IniValue(const std::string& path, const char* section, const char* key);

// REMOTE: "<application>" "<destination>" "<command>" 1
std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command);

// The program with its own data folder and a listener on the loopback broadcast address;
// ended on destruction without ever saying Yes or OK to anything it still shows.
class ProgramRun {
public:
    // Seeds the INI with the loopback broadcast address, the listener's port and the lines,
    // and starts the program with "-a <folder>" and the arguments.
    bool Start(const std::string& iniLines = "", const std::string& arguments = "");
    // Waits until start-up is over (the panel shows) and hides the panel, so that nothing
    // covers the dialogs.
    bool HidePanel();

    // Opens the dialog through the controller's "Settings..." command.
    SettingsDialog OpenSettings();
    // A COM line changing level, as the polling thread posts it.
    void PostLineEvent(int line, int level) { ::PostMessageA(Controller(), WM_COM_LINE_EVENT, static_cast<WPARAM>(line), level); }
    // The next datagram on the run's listener, or "<none>".
    std::string Receive() { return m_listener.Receive(20000).value_or("<none>"); }
    // Answers the message box with exactly this text; false when none showed.
    bool Answer(const std::string& text, int answer) { return AnswerDialog(WaitForMessageBox(Pid(), text), answer); }

    KvMidiProcess& Program() { return m_program; }
    DWORD Pid() const { return m_program.ProcessId(); }
    HWND Controller() { return m_program.ControllerWindow(kProgramDeadline); }
    UdpListener& Listener() { return m_listener; }
    std::string IniPath() const { return m_folder.Path() + "cfg\\kvMidi.ini"; }

private:
    TempDirectory m_folder;
    UdpListener m_listener{ "127.255.255.255" };
    KvMidiProcess m_program;
};
