// The settings dialog of a running kvMidi.exe, driven from the test through its control ids,
// and one program run around it: its own data folder, a listener on the port its INI names,
// its message boxes, the LEDs as the screen shows them and the INI file's values.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

inline constexpr std::chrono::milliseconds kSettingsDeadline = kProgramDeadline;

class SettingsDialog {
public:
    SettingsDialog() = default;
    explicit SettingsDialog(HWND window) : m_hWnd(window) {}

    HWND Window() const { return m_hWnd; }
    bool IsOpen() const { return m_hWnd && ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd); }
    bool WaitUntilClosed() const { return WaitUntil([&] { return !IsOpen(); }); }

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string Text(int id) const { return WindowText(Item(id)); }
    void SetText(int id, const std::string& text) const { Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    // Sets the box as a data exchange would see it, without the click its handler reacts to.
    void SetChecked(int id, bool checked) const { Send(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
    bool IsChecked(int id) const { return Send(id, BM_GETCHECK, 0) == BST_CHECKED; }
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
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

// A message box of the process with exactly this text, answered; false when none showed.
bool AnswerMessageBox(DWORD processId, const std::string& text, int answer);

// What an LED control shows on the screen: lit green, dark green or grey (disabled).
enum class LedShown { Lit, Dark, Grey, Unknown };
LedShown ShownLed(HWND led);

// A value of the INI file as the system's private-profile functions read it.
std::optional<std::string> IniValue(const std::string& path, const char* section, const char* key);

// One run of kvMidi.exe with its own data folder and a listener on the port its INI names,
// its About panel hidden so that nothing covers the dialogs. Ends the program on destruction
// without ever saying Yes or OK to anything it still shows.
class SettingsRun {
public:
    SettingsRun() = default;
    ~SettingsRun();
    SettingsRun(const SettingsRun&) = delete;
    SettingsRun& operator=(const SettingsRun&) = delete;

    // Seeds the INI with the loopback broadcast address, the listener's port and the lines,
    // starts the program with "-a <folder>" and the arguments, and hides its panel.
    bool Start(const std::string& iniLines = "", const std::string& arguments = "");
    // Starts with the INI as it is (or missing) and waits for nothing.
    bool StartWithoutSeed();

    // Opens the dialog through the controller's "Settings..." command.
    SettingsDialog OpenSettings();

    void PostLineEvent(int line, int level) { PostComLineEvent(Controller(), line, level); }
    // The next datagram on the run's listener, or "<none>".
    std::string Receive() { return m_listener.Receive(20000).value_or("<none>"); }
    // Ends the program through Cancel and Exit; false when it had to be killed.
    bool End();

    KvMidiProcess& Program() { return m_program; }
    // The controller window once it exists, or null.
    HWND Controller();
    UdpListener& Listener() { return m_listener; }
    const std::string& Folder() const { return m_folder.Path(); }
    std::string IniPath() const { return m_folder.Path() + "cfg\\kvMidi.ini"; }

private:
    TempDirectory m_folder;
    UdpListener m_listener{ "127.255.255.255" };
    KvMidiProcess m_program;
    HWND m_hController = nullptr;
};

// REMOTE: "<application>" "<destination>" "<command>" 1
std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command);
