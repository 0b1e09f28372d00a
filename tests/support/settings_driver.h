// The settings dialog of a running kvMidi.exe, driven from the test through its control ids,
// and what such tests need around it: one program run, its message boxes and text prompt, the
// LEDs as the screen shows them, the INI file read line by line, and COM ports hidden.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

inline constexpr std::chrono::milliseconds kSettingsDeadline{ 20000 };

// Commands and messages of the controller window.
inline constexpr WPARAM kSettingsCommand = 32774;
inline constexpr UINT kComLineEventMessage = WM_USER + 20;

class SettingsDialog {
public:
    SettingsDialog() = default;
    explicit SettingsDialog(HWND window) : m_hWnd(window) {}

    HWND Window() const { return m_hWnd; }
    bool IsOpen() const { return m_hWnd && ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd); }
    bool WaitUntilClosed(std::chrono::milliseconds deadline = kSettingsDeadline) const;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text) const;
    bool IsChecked(int id) const;
    // Sets the box as a data exchange would see it, without the click its handler reacts to.
    void SetChecked(int id, bool checked) const;
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

    // Posted, never sent: the handler may run a modal message box.
    void Click(int id) const;
    // A click handled while the Shift key is down as the dialog's own thread sees it, the key
    // held until clickHandled holds (or the deadline passes); false when the key could not be
    // put down there or the click never showed its effect.
    bool ShiftClick(int id, const std::function<bool()>& clickHandled) const;

    // The id of the control with the keyboard focus, 0 when none of the dialog's has it.
    int FocusedControl() const;
    // The selection of an edit as start and end character.
    std::pair<int, int> Selection(int id) const;
    // The focus is on the edit and its whole text is selected.
    bool WaitForSelectedField(int id, std::chrono::milliseconds deadline = kSettingsDeadline) const;

    // The control's rectangle on the screen; the dialog's for 0.
    RECT ScreenRect(int id = 0) const;

private:
    HWND m_hWnd = nullptr;
};

// The process's visible settings dialog (the dialog with the broadcast address edit).
SettingsDialog WaitForSettingsDialog(DWORD processId, std::chrono::milliseconds deadline = kSettingsDeadline);

// A message box of the process answered with IDOK, IDYES or IDNO; true once it is gone.
bool AnswerMessageBox(HWND box, int answer, std::chrono::milliseconds deadline = kSettingsDeadline);
// A message box of the process with exactly this text, answered; false when none showed.
bool AnswerMessageBox(DWORD processId, const std::string& text, int answer,
                      std::chrono::milliseconds deadline = kSettingsDeadline);

// The text prompt (dialog 139) of the process once it shows, or null.
HWND WaitForTextPrompt(DWORD processId, std::chrono::milliseconds deadline = kSettingsDeadline);
// Puts the text into the prompt and closes it with OK, or with Cancel; true once it is gone.
bool AnswerTextPrompt(HWND prompt, const std::optional<std::string>& text,
                      std::chrono::milliseconds deadline = kSettingsDeadline);

// What an LED control shows on the screen: lit green, dark green or grey (disabled).
enum class LedShown { Lit, Dark, Grey, Unknown };
LedShown ShownLed(HWND led);
const char* LedName(LedShown shown);

// An INI file as its lines say it, in file order; blank lines left out.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const IniEntry&) const = default;
};
std::vector<IniEntry> ReadIniEntries(const std::string& path);
// The entries of one section, in file order; empty when it is missing.
std::vector<IniEntry> IniSection(const std::string& path, const std::string& section);
std::optional<std::string> IniValue(const std::string& path, const std::string& section, const std::string& key);
bool HasIniSection(const std::string& path, const std::string& section);

// Every COM port of the running prefix taken out of the system's device list for as long as
// this lives, so that the port enumeration finds none. Under Wine that list holds the
// serial devices the mount manager made at the wineserver's start, as names in the server's
// object space; the com links of the prefix's dosdevices folder do not show in it. So only
// those names go: nothing on disk changes, and a test that dies leaves nothing behind past
// the wineserver's life.
class HiddenComPorts {
public:
    HiddenComPorts();
    ~HiddenComPorts();
    HiddenComPorts(const HiddenComPorts&) = delete;
    HiddenComPorts& operator=(const HiddenComPorts&) = delete;

    // No COM port is listed any more.
    bool AllHidden() const;

private:
    std::vector<std::pair<std::string, std::string>> m_hidden;   // name, target
};
// The COM names the system lists now ("COM1", …).
std::vector<std::string> ListedComPorts();

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
    bool StartWithoutSeed(const std::string& arguments = "");

    // Opens the dialog through the controller's "Settings..." command.
    SettingsDialog OpenSettings();

    void PostLineEvent(int line, int level);
    // The next datagram on the run's listener, or "<none>".
    std::string Receive();
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
