// A serial port for tests under Wine: COM<n> of the running prefix linked, for as long as the
// object lives, to the Linux pseudo-terminal multiplexer. Wine opens it like any port and
// accepts its line settings; it has no modem lines, so every status read of it fails. Each
// open of the multiplexer is a new terminal of its own, so the port never seems busy.
#pragma once

#include "tests/support/kvmidi_process.h"

// The port's device opens now, exclusively, or why not.
inline DWORD OpenComPort(const std::string& portName)
{
    UniqueFileHandle port(::CreateFileA(("\\\\.\\" + portName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    return port ? ERROR_SUCCESS : ::GetLastError();
}

// The first port number from `first` up that no device of the prefix answers to, or 0.
inline int UnusedComPortNumber(int first)
{
    for (int number = first; number <= 255; ++number)
        if (DWORD error = OpenComPort("COM" + std::to_string(number));
            error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return number;
    return 0;
}

class PseudoTerminalPort {
public:
    // Each COM<n> of the prefix is a link com<n> in its dosdevices folder. The port opens once
    // this returns, or the test's first open of it fails.
    explicit PseudoTerminalPort(int number) : m_name("COM" + std::to_string(number)), m_link(LinkOf(number))
    {
        RunShellCommand("ln -sfn /dev/ptmx " + m_link);
        WaitUntil([&] { return OpenComPort(m_name) == ERROR_SUCCESS; });
    }
    ~PseudoTerminalPort()   // removes the link
    {
        RunShellCommand("rm -f " + m_link);
        WaitUntil([&] { return OpenComPort(m_name) != ERROR_SUCCESS; });
    }
    PseudoTerminalPort(const PseudoTerminalPort&) = delete;
    PseudoTerminalPort& operator=(const PseudoTerminalPort&) = delete;

    const std::string& Name() const { return m_name; }

private:
    // The link's Linux path, quoted for the shell's command line.
    static std::string LinkOf(int number)
    {
        return "\\\"${WINEPREFIX:-$HOME/.wine}/dosdevices/com" + std::to_string(number) + "\\\"";
    }
    // Wine starts a Linux program given by its Z: path like a Windows one, with Wine's own
    // environment, but its process cannot be waited for: the caller waits for the command's
    // effect instead.
    static void RunShellCommand(const std::string& command)
    {
        ::WinExec(("Z:\\bin\\sh -c \"" + command + "\"").c_str(), SW_HIDE);
    }

    std::string m_name;
    std::string m_link;
};
