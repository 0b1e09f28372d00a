#include "kvmidi_process.h"

#include <cstring>
#include <thread>
#include <vector>

#include "tests/support/temp_directory.h"

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
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
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

bool KvMidiProcess::Start(const std::string& arguments, const std::string& extraEnvironment)
{
    std::string exe = BinaryDirectory() + "kvMidi.exe";
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');

    // The environment block: ours, plus the extra "NAME=value" lines separated by '\n'.
    std::vector<char> environment;
    if (!extraEnvironment.empty()) {
        LPCH current = ::GetEnvironmentStringsA();
        for (LPCH entry = current; *entry; entry += std::strlen(entry) + 1)
            environment.insert(environment.end(), entry, entry + std::strlen(entry) + 1);
        ::FreeEnvironmentStringsA(current);
        size_t start = 0;
        while (start < extraEnvironment.size()) {
            size_t end = extraEnvironment.find('\n', start);
            std::string item = extraEnvironment.substr(start, end == std::string::npos ? std::string::npos : end - start);
            environment.insert(environment.end(), item.begin(), item.end());
            environment.push_back('\0');
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        environment.push_back('\0');
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                          environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    return true;
}

int KvMidiProcess::WaitForExit(std::chrono::milliseconds deadline)
{
    if (!m_process)
        return -1;
    if (::WaitForSingleObject(m_process.Get(), static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return static_cast<int>(code);
}

bool KvMidiProcess::IsRunning() const
{
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

HWND FindProcessWindowIf(DWORD processId, const std::function<bool(HWND)>& accept)
{
    struct Search {
        DWORD processId;
        const std::function<bool(HWND)>& accept;
        HWND found;
    } search = { processId, accept, nullptr };
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s->processId || !s->accept(window))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowClassName(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowCaption(HWND window)
{
    char caption[512] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption)
{
    return FindProcessWindowIf(processId, [&](HWND window) {
        return (!className || WindowClassName(window) == className) && (!caption || WindowCaption(window) == caption);
    });
}

HWND FindProcessDialog(DWORD processId, int controlId)
{
    return FindProcessWindowIf(processId, [&](HWND window) {
        return WindowClassName(window) == "#32770" && ::GetDlgItem(window, controlId) != nullptr;
    });
}

HWND FindTrayWindow(DWORD processId)
{
    return FindProcessWindowIf(processId, [](HWND window) {
        return WindowClassName(window).rfind("KvWnd:", 0) == 0 && WindowCaption(window).empty();
    });
}

HWND KvMidiProcess::ControllerWindow(std::chrono::milliseconds deadline) const
{
    HWND window = nullptr;
    // The About panel's revision line tells the controller from the settings dialog.
    WaitUntil([&] { return (window = FindProcessDialog(m_processId, 1044)) != nullptr; }, deadline);
    return window;
}

bool KvMidiProcess::Exit(std::chrono::milliseconds deadline)
{
    HWND controller = ControllerWindow(deadline);
    if (!controller)
        return false;
    // Exit while the panel shows only hides it; the program ends once it is hidden.
    bool ended = WaitUntil([&] {
        if (!IsRunning())
            return true;
        ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
        return WaitForExit(std::chrono::milliseconds(200)) != -1;
    }, deadline);
    return ended;
}

void KvMidiProcess::Kill()
{
    if (m_process) {
        ::TerminateProcess(m_process.Get(), 1);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}
