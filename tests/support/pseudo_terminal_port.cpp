#include "pseudo_terminal_port.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"

using namespace std::chrono_literals;

namespace {
// Wine starts a Linux program given by its Z: path like a Windows one, but its process handle
// cannot be waited for: the helper and the test speak through marks in the folder instead.
const char kPython[] = "Z:\\usr\\bin\\python3";

// The helper closes its own end of the terminal at once, so that the "held" mark it keeps
// says whether anyone else has the port open: the master side reports a hang-up exactly while
// no one does.
const char kHelperScript[] = R"(import os, select, sys, time
link, folder = sys.argv[1], sys.argv[2]
held = os.path.join(folder, "held")
master, slave = os.openpty()
try:
    os.symlink(os.ttyname(slave), link + ".new")
    os.replace(link + ".new", link)
    os.close(slave)
    poller = select.poll()
    poller.register(master, select.POLLHUP | select.POLLIN)
    open(os.path.join(folder, "ready"), "w").close()
    # A test that died does not leave the helper behind for long.
    end = time.monotonic() + 600
    while not os.path.exists(os.path.join(folder, "stop")) and time.monotonic() < end:
        events = dict(poller.poll(0)).get(master, 0)
        if events & select.POLLIN:
            os.read(master, 4096)
        if events & select.POLLHUP:
            if os.path.exists(held):
                os.unlink(held)
        elif not os.path.exists(held):
            open(held, "w").close()
        time.sleep(0.02)
finally:
    if os.path.islink(link):
        os.unlink(link)
    open(os.path.join(folder, "done"), "w").close()
)";

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

PseudoTerminalPort::PseudoTerminalPort(int number) : m_name("COM" + std::to_string(number))
{
    std::string dosDevices = DosDevicesFolder();
    std::string folder = UnixPathOf(m_folder.Path());
    if (dosDevices.empty() || folder.empty())
        return;
    std::string script = m_folder.Path() + "pty_port.py";
    WriteWholeFile(script, kHelperScript);

    std::string commandLine = std::string("\"") + kPython + "\" \"" + UnixPathOf(script) + "\" \"" + dosDevices +
                              "com" + std::to_string(number) + "\" \"" + folder + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    m_bStarted = true;
}

PseudoTerminalPort::~PseudoTerminalPort()
{
    if (!m_bStarted)
        return;
    WriteWholeFile(m_folder.Path() + "stop", "");
    WaitUntil([&] { return FileExists(m_folder.Path() + "done"); }, 20s);
}

bool PseudoTerminalPort::WaitUntilReady() const
{
    return m_bStarted && WaitUntil([&] { return FileExists(m_folder.Path() + "ready"); }, 20s) &&
           WaitUntil([&] { return OpenComPort(m_name) == ERROR_SUCCESS; }, 20s) && WaitUntilReleased();
}

bool PseudoTerminalPort::WaitUntilHeld() const
{
    return WaitUntil([&] { return FileExists(m_folder.Path() + "held"); }, 20s);
}

bool PseudoTerminalPort::WaitUntilReleased() const
{
    return WaitUntil([&] { return !FileExists(m_folder.Path() + "held"); }, 20s);
}
