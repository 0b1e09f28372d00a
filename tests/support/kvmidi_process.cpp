#include "kvmidi_process.h"

#include <cstring>
#include <thread>
#include <vector>

#include "app/config_location.h"
#include "input/com_switch_monitor_win.h"
#include "res/resource.h"
#include "tests/support/temp_directory.h"
#include "ui/system_tray.h"

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string BinaryDirectory()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return DirectoryOfPath(path);
}

std::string SeedIni(const std::string& dataFolder, unsigned short port, const std::string& extraLines)
{
    std::string cfg = dataFolder + "cfg\\";
    ::CreateDirectoryA(cfg.c_str(), nullptr);
    std::string ini = cfg + "kvMidi.ini";
    WriteWholeFile(ini, "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" + std::to_string(port) +
                            "\r\n" + extraLines);
    return ini;
}

KvMidiProcess::~KvMidiProcess()
{
    if (IsRunning())
        Kill();
}

bool KvMidiProcess::Start(const std::string& arguments, const std::string& extraEnvironment,
                         const std::string& workingFolder)
{
    std::string exe = BinaryDirectory() + "kvMidi.exe";
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');

    // The environment block: ours, then the extra lines, each ended by a null.
    std::vector<char> environment;
    if (!extraEnvironment.empty()) {
        LPCH current = ::GetEnvironmentStringsA();
        for (LPCH entry = current; *entry; entry += std::strlen(entry) + 1)
            environment.insert(environment.end(), entry, entry + std::strlen(entry) + 1);
        ::FreeEnvironmentStringsA(current);
        for (char c : extraEnvironment + "\n")
            environment.push_back(c == '\n' ? '\0' : c);
        environment.push_back('\0');
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                          environment.empty() ? nullptr : environment.data(),
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    return true;
}

int KvMidiProcess::WaitForExit(std::chrono::milliseconds deadline)
{
    DWORD code = 0;
    bool ended = m_process && ::WaitForSingleObject(m_process.Get(), static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0;
    return ended && ::GetExitCodeProcess(m_process.Get(), &code) ? static_cast<int>(code) : -1;
}

bool KvMidiProcess::IsRunning() const
{
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

HWND KvMidiProcess::ControllerWindow(std::chrono::milliseconds deadline) const
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindController(m_processId)) != nullptr; }, deadline);
    return window;
}

bool KvMidiProcess::Exit(std::chrono::milliseconds deadline)
{
    HWND controller = ControllerWindow(deadline);
    // Exit while the panel shows only hides it; the program ends once it is hidden.
    return controller && WaitUntil([&] {
        ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
        return WaitForExit(std::chrono::milliseconds(200)) != -1;
    }, deadline);
}

void KvMidiProcess::Kill()
{
    if (m_process) {
        ::TerminateProcess(m_process.Get(), 1);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}

HWND FindProcessWindowIf(DWORD processId, const std::function<bool(HWND)>& accept)
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && accept(window))
            return window;
    }
    return nullptr;
}

std::string WindowClassName(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR copied = 0;
    // WM_GETTEXT crosses processes with its buffer; the time-out keeps a hung window from
    // hanging the test.
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               5000, &copied))
        return std::string();
    return std::string(text, copied < sizeof text ? static_cast<size_t>(copied) : sizeof text - 1);
}

HWND FindProcessDialog(DWORD processId, int controlId)
{
    return FindProcessWindowIf(processId, [&](HWND window) {
        return WindowClassName(window) == "#32770" && ::IsWindowVisible(window) && ::GetDlgItem(window, controlId);
    });
}

HWND FindController(DWORD processId)
{
    // The About panel's revision line tells the controller from the settings dialog.
    return FindProcessWindowIf(processId, [](HWND window) {
        return WindowClassName(window) == "#32770" && ::GetDlgItem(window, IDC_REVISION);
    });
}

void PostComLineEvent(HWND controller, int line, int level)
{
    ::PostMessageA(controller, WM_COM_LINE_EVENT, static_cast<WPARAM>(line), level);
}

void PostTrayRightClick(DWORD processId)
{
    // The tray's hidden window, which the shell calls back: of a class the framework registers
    // ("KvWnd:..."), without a title.
    HWND tray = FindProcessWindowIf(processId, [](HWND window) {
        return WindowClassName(window).rfind("KvWnd:", 0) == 0 && WindowText(window).empty();
    });
    ::PostMessageA(tray, WM_TRAY_NOTIFY, ID_TRAY_ICON, WM_RBUTTONUP);
}

void PressKey(WORD virtualKey)
{
    ::keybd_event(static_cast<BYTE>(virtualKey), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(virtualKey), 0, KEYEVENTF_KEYUP, 0);
}
