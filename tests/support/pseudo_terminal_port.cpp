#include "pseudo_terminal_port.h"

#include <windows.h>

#include <chrono>

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

// Each open of the multiplexer is a new terminal of its own, so the port never seems busy.
PseudoTerminalPort::PseudoTerminalPort(int number) : m_name("COM" + std::to_string(number))
{
    // Wine hands its own environment to the programs it runs; each COM<n> is a link com<n>.
    char prefix[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix)
        return;
    m_link = std::string(prefix) + "/dosdevices/com" + std::to_string(number);
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
