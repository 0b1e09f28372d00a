#include "kvmidi_process.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include "app/config_location.h"
#include "res/resource.h"
#include "ui/system_tray.h"

using namespace std::chrono_literals;

static std::string WindowClassName(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    for (auto end = std::chrono::steady_clock::now() + deadline; !condition(); std::this_thread::sleep_for(20ms))
        if (std::chrono::steady_clock::now() >= end)
            return false;
    return true;
}

void SeedIni(const std::string& dataFolder, unsigned short port, const std::string& extraLines)
{
    std::filesystem::create_directories(dataFolder + "cfg");
    std::ofstream(dataFolder + "cfg\\kvMidi.ini", std::ios::binary)
        << "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" << port << "\r\n" << extraLines;
}

bool KvMidiProcess::Start(const std::string& arguments, const std::string& workingFolder)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe = DirectoryOfPath(path) + "kvMidi.exe", commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
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

bool KvMidiProcess::Exit(std::chrono::milliseconds deadline)
{
    // Asked again until it ends: its tray window may still be coming.
    bool ended = WaitUntil([&] {
        if (HWND tray = TrayWindow(m_processId))
            ::PostMessageA(tray, WM_CLOSE, 0, 0);
        return WaitForExit(200ms) != -1;
    }, deadline);
    if (!ended && m_process && ::TerminateProcess(m_process.Get(), 1))
        ::WaitForSingleObject(m_process.Get(), 5000);
    return ended;
}

HWND FindProcessWindowIf(DWORD processId, const std::function<bool(HWND)>& accept)
{
    for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId && accept(window))
            return window;
    }
    return nullptr;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    // WM_GETTEXT crosses processes with its buffer; the time-out keeps a hung window from
    // hanging the test, and the text from it stays empty.
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

bool IsController(HWND window)
{
    return WindowClassName(window) == "#32770" && ::GetDlgItem(window, IDC_REVISION);
}

HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& accept, std::chrono::milliseconds deadline)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindowIf(processId, accept)) != nullptr; }, deadline);
    return found;
}

HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline)
{
    // The box's text is one of its static children; its caption alone would match the
    // controller, whose caption is the application's name too.
    return WaitForWindow(processId, [&](HWND window) {
        for (HWND child = ::FindWindowExA(window, nullptr, "Static", nullptr); child;
             child = ::FindWindowExA(window, child, "Static", nullptr))
            if (WindowText(child) == text)
                return true;
        return false;
    }, deadline);
}

bool AnswerDialog(HWND dialog, int answer)
{
    return dialog && WaitUntil([&] {
        if (!::IsWindowVisible(dialog))   // also once it is gone
            return true;
        ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        return false;
    });
}

HWND TrayWindow(DWORD processId)
{
    return FindProcessWindowIf(processId, [](HWND window) { return WindowClassName(window) == kTrayWindowClass; });
}

bool UseTrayMenu(DWORD processId, std::initializer_list<WORD> keys)
{
    ::PostMessageA(TrayWindow(processId), WM_TRAY_NOTIFY, ID_TRAY_ICON, WM_RBUTTONUP);
    HWND menu = WaitForWindow(processId, [](HWND window) {
        return WindowClassName(window) == "#32768" && ::IsWindowVisible(window);
    });
    if (menu)
        for (WORD key : keys)
            ::PostMessageA(menu, WM_KEYDOWN, key, 0);
    return menu != nullptr;
}
