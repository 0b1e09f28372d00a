// One run of kvMidi.exe as a test drives it: its own data folder, a listener on the port its INI
// names, its settings dialog driven through control ids, the INI file's values, and what the
// screen shows of the LEDs and the tray icon.
#pragma once

#include <optional>
#include <vector>

#include "input/com_switch_monitor_win.h"
#include "res/resource.h"
#include "res/settings_ids.h"
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
    // Sent with a time-out: a hung program must fail the test, not hang it.
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam = 0) const
    {
        DWORD_PTR result = 0;   // stays 0 when the time-out passes
        ::SendMessageTimeoutA(Item(id), message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
        return static_cast<LRESULT>(result);
    }
    void SetText(int id, const std::string& text) const { Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    // Posted, never sent: the handler may run a modal message box.
    void Click(int id, WORD how = BN_CLICKED) const
    {
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, how), reinterpret_cast<LPARAM>(Item(id)));
    }
    // The focus is on the edit and its whole text is selected.
    bool WaitForSelectedField(int id) const
    {
        return WaitUntil([&] {
            GUITHREADINFO gui = {};
            gui.cbSize = sizeof gui;
            // With null pointers the selection comes back in the result, which crosses processes.
            auto selection = static_cast<DWORD>(Send(id, EM_GETSEL, 0));
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &gui) && gui.hwndFocus == Item(id) &&
                   LOWORD(selection) == 0 && HIWORD(selection) == Text(id).size();
        });
    }

private:
    HWND m_hWnd = nullptr;
};

// The process's visible settings dialog (the dialog with the broadcast address edit).
inline SettingsDialog WaitForSettingsDialog(DWORD processId)
{
    return SettingsDialog(WaitForWindow(processId, [](HWND w) {
        return ::IsWindowVisible(w) && ::GetDlgItem(w, IDC_BROADCAST_ADDRESS);
    }));
}

// The colours of the screen (the virtual desktop) in the rectangle, row by row, as GDI gives them.
using Screenshot = std::vector<COLORREF>;
Screenshot CaptureScreenRect(const RECT& rect);
// What an LED control shows on the screen: lit green, dark green or grey (disabled).
enum class LedShown { Lit, Dark, Grey, Unknown };
LedShown ShownLed(HWND led);

// A value of the INI file as the system's private-profile functions read it.
inline std::optional<std::string> IniValue(const std::string& path, const char* section, const char* key)
{
    char value[1024] = {};
    ::GetPrivateProfileStringA(section, key, "\x01", value, sizeof value, path.c_str());
    return std::string(value) == "\x01" ? std::nullopt : std::optional<std::string>(value);
}
inline std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command)
{
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + command + "\" 1";
}

// The program with its own data folder and a listener on the loopback broadcast address;
// ended on destruction without ever saying Yes or OK to anything it still shows.
class ProgramRun : public KvMidiProcess {
public:
    ~ProgramRun() { if (IsRunning()) Exit(); }   // before its folder goes
    // Seeds the INI with the loopback broadcast address, the listener's port and the lines,
    // and starts the program with "-a <folder>" and the arguments.
    bool Start(const std::string& iniLines = "", const std::string& arguments = "")
    {
        SeedIni(folder.Path(), listener.Port(), iniLines);
        return listener.IsOpen() && KvMidiProcess::Start("-a " + folder.Path() + (arguments.empty() ? "" : " ") + arguments);
    }
    // Waits until start-up is over (the panel shows) and hides the panel, so that nothing
    // covers the dialogs.
    bool HidePanel()
    {
        // The panel shows once start-up is over; a click hides it, and unlike Exit does nothing
        // more should the panel have hidden itself meanwhile.
        HWND controller = ControllerWindow();
        if (!controller || !WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }))
            return false;
        ::PostMessageA(controller, WM_LBUTTONDOWN, 0, 0);
        return WaitUntil([&] { return !::IsWindowVisible(controller); });
    }
    // Opens the dialog through the controller's "Settings..." command.
    SettingsDialog OpenSettings()
    {
        ::PostMessageA(ControllerWindow(), WM_COMMAND, ID_SETTINGS, 0);
        return WaitForSettingsDialog(ProcessId());
    }
    // A COM line changing level, as the polling thread posts it, and the datagram that brings
    // to the listener, the run's own by default.
    std::string LineEvent(int line, int level, UdpListener* to = nullptr)
    {
        ::PostMessageA(ControllerWindow(), WM_COM_LINE_EVENT, static_cast<WPARAM>(line), level);
        return (to ? *to : listener).Receive();
    }
    // Answers the message box with exactly this text; false when none showed.
    bool Answer(const std::string& text, int answer) { return AnswerDialog(WaitForMessageBox(ProcessId(), text), answer); }
    std::string IniPath() const { return folder.Path() + "cfg\\kvMidi.ini"; }

    TempDirectory folder;
    UdpListener listener;
};
