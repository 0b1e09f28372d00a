#include "com_port_names.h"

#include <algorithm>
#include <cctype>

int ComPortNumberOfDeviceName(std::string_view name)
{
    if (name.size() <= 3)
        return 0;
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i])
            return 0;
    }
    int number = 0;
    for (size_t i = 3; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) {
        number = number * 10 + (name[i] - '0');
        if (number > kMaxComPortNumber)
            return 0;   // stops the value long before it could overflow
    }
    return number;
}

std::vector<int> ComPortNumbersInDeviceNames(std::string_view list)
{
    std::vector<int> numbers;
    while (!list.empty() && list.front() != '\0') {
        size_t end = std::min(list.find('\0'), list.size());
        if (int number = ComPortNumberOfDeviceName(list.substr(0, end)))
            numbers.push_back(number);
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return numbers;
}

std::string ReadDeviceNameList(const std::function<DeviceNamesRead(std::vector<char>& buffer)>& read)
{
    std::vector<char> buffer(kDeviceNamesFirstSize);
    for (;;) {
        DeviceNamesRead result = read(buffer);
        if (!result.tooSmall)
            return std::string(buffer.data(), std::min(result.length, buffer.size()));
        if (buffer.size() * 2 > kDeviceNamesMaxSize)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<int> ProbeComPortNumbers(const std::function<ComPortProbe(int)>& probe)
{
    std::vector<int> numbers;
    for (int number = 1; number <= kMaxComPortNumber; ++number) {
        if (probe(number) != ComPortProbe::Missing)
            numbers.push_back(number);
    }
    return numbers;
}

std::vector<std::string> ComPortNames(std::vector<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::string> names;
    names.reserve(numbers.size());
    for (int number : numbers)
        names.push_back("COM" + std::to_string(number));
    return names;
}
