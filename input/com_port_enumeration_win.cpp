#include "com_port_enumeration_win.h"

#include <windows.h>

#include "framework/win_handles.h"
#include "input/com_port_names.h"

std::vector<std::string> g_comPortNames;

namespace {
// The device-name list is there on every NT system; older ones are probed port by port.
bool HasDeviceNameList()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version))
        return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT || version.dwMajorVersion >= 6;
}

std::vector<int> PortsInDeviceNames()
{
    return ComPortNumbersInDeviceNames(ReadDeviceNameList([](std::vector<char>& buffer) {
        DWORD length = ::QueryDosDeviceA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        return DeviceNamesRead{ length, length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER };
    }));
}

ComPortProbe ProbePort(int number)
{
    std::string path = "\\\\.\\COM" + std::to_string(number);
    UniqueFileHandle port(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (port)
        return ComPortProbe::Opened;
    return ::GetLastError() == ERROR_ACCESS_DENIED ? ComPortProbe::AccessDenied : ComPortProbe::Missing;
}
}

const std::vector<std::string>& EnumerateComPorts()
{
    g_comPortNames.clear();
    std::vector<int> numbers = HasDeviceNameList() ? PortsInDeviceNames() : ProbeComPortNumbers(&ProbePort);
    g_comPortNames = ComPortNames(std::move(numbers));
    return g_comPortNames;
}
