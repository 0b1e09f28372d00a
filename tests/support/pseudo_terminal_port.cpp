#include "pseudo_terminal_port.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"

using namespace std::chrono_literals;

namespace {
// Wine starts a Linux program given by its Z: path like a Windows one, but its process handle
// cannot be waited for: the caller waits for the program's effect instead.
bool RunLinuxProgram(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    return true;
}

using UnixFileName = char*(CDECL*)(const WCHAR*);

// The Linux path of a Windows path of this prefix, or empty when not under Wine.
std::string UnixPathOf(const std::string& windowsPath)
{
    auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::vector<WCHAR> wide(windowsPath.size() + 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    char* unixPath = convert ? convert(wide.data()) : nullptr;
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// The port's device opens now, exclusively, or why not.
DWORD OpenComPort(const std::string& portName)
{
    std::string path = "\\\\.\\" + portName;
    UniqueFileHandle port(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return port ? ERROR_SUCCESS : ::GetLastError();
}

// The prefix's dosdevices folder, where every COM<n> is a link named com<n>.
std::string DosDevicesFolder()
{
    std::string drive = UnixPathOf("C:\\");
    while (!drive.empty() && drive.back() == '/')
        drive.pop_back();
    const std::string name = "/c:";
    if (drive.size() < name.size() || drive.compare(drive.size() - name.size(), name.size(), name) != 0)
        return std::string();
    return drive.substr(0, drive.size() - name.size() + 1);
}
}

int UnusedComPortNumber(int first)
{
    for (int number = first; number <= 255; ++number) {
        DWORD error = OpenComPort("COM" + std::to_string(number));
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return number;
    }
    return 0;
}

// Each open of the multiplexer is a new terminal of its own, so the port never seems busy.
PseudoTerminalPort::PseudoTerminalPort(int number) : m_name("COM" + std::to_string(number))
{
    std::string dosDevices = DosDevicesFolder();
    if (dosDevices.empty())
        return;
    m_link = dosDevices + "com" + std::to_string(number);
    m_bStarted = RunLinuxProgram("Z:\\usr\\bin\\ln -sfn /dev/ptmx \"" + m_link + "\"");
}

PseudoTerminalPort::~PseudoTerminalPort()
{
    if (m_bStarted && RunLinuxProgram("Z:\\usr\\bin\\rm -f \"" + m_link + "\""))
        WaitUntil([&] { return OpenComPort(m_name) != ERROR_SUCCESS; }, 20s);
}

bool PseudoTerminalPort::WaitUntilReady() const
{
    return m_bStarted && WaitUntil([&] { return OpenComPort(m_name) == ERROR_SUCCESS; }, 20s);
}
