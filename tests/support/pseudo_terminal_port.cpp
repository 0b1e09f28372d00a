#include "pseudo_terminal_port.h"

#include <windows.h>

#include <chrono>

#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"

using namespace std::chrono_literals;

namespace {
// Wine starts a Linux program given by its Z: path like a Windows one, with Wine's own
// environment, but its process handle cannot be waited for: the caller waits for the
// command's effect instead.
void RunShellCommand(const std::string& command)
{
    std::string commandLine = "Z:\\bin\\sh -c \"" + command + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hProcess);
        ::CloseHandle(info.hThread);
    }
}

// The port's device opens now, exclusively, or why not.
DWORD OpenComPort(const std::string& portName)
{
    std::string path = "\\\\.\\" + portName;
    UniqueFileHandle port(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return port ? ERROR_SUCCESS : ::GetLastError();
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

// Each COM<n> of the prefix is a link com<n> in its dosdevices folder. Each open of the
// multiplexer is a new terminal of its own, so the port never seems busy.
PseudoTerminalPort::PseudoTerminalPort(int number)
    : m_name("COM" + std::to_string(number)),
      m_link("\\\"${WINEPREFIX:-$HOME/.wine}/dosdevices/com" + std::to_string(number) + "\\\"")
{
    RunShellCommand("ln -sfn /dev/ptmx " + m_link);
}

PseudoTerminalPort::~PseudoTerminalPort()
{
    RunShellCommand("rm -f " + m_link);
    WaitUntil([&] { return OpenComPort(m_name) != ERROR_SUCCESS; }, 20s);
}

bool PseudoTerminalPort::WaitUntilReady() const
{
    return WaitUntil([&] { return OpenComPort(m_name) == ERROR_SUCCESS; }, 20s);
}
