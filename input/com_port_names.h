// The serial port names offered for the COM switches: "COM%d" with 1–255, in numeric order,
// found either in the system's list of device names or by trying each port in turn.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr int kMaxComPortNumber = 255;

// The port number a device name stands for ("COM7", "com12", also "COM3X" as 3), or 0 when it
// names no port from 1 to 255.
int ComPortNumberOfDeviceName(std::string_view name);

// The port numbers in a device-name list as QueryDosDevice fills it: names each ended by a
// zero byte, an empty name ending the list. Nothing beyond the list's length is read.
std::vector<int> ComPortNumbersInDeviceNames(std::string_view list);

// One reading of the device-name list into a buffer: the characters it filled, or that the
// buffer was too small (any other failure is a length of 0).
struct DeviceNamesRead {
    size_t length;
    bool tooSmall;
};
constexpr size_t kDeviceNamesFirstSize = 0x1FFFF;
constexpr size_t kDeviceNamesMaxSize = 0x1FFFF * 128;   // about 16 MB, far beyond any machine's list

// The device-name list, read into a buffer that doubles from 0x1FFFF characters while it is too
// small, up to 16 MB; empty when the reading fails.
std::string ReadDeviceNameList(const std::function<DeviceNamesRead(std::vector<char>& buffer)>& read);

enum class ComPortProbe {
    Opened,
    AccessDenied,   // the port exists, but another program holds it
    Missing,
};

// The numbers 1–255 whose probe says the port exists.
std::vector<int> ProbeComPortNumbers(const std::function<ComPortProbe(int)>& probe);

// "COM%d" for each number in ascending order; a number found twice is listed twice.
std::vector<std::string> ComPortNames(std::vector<int> numbers);
