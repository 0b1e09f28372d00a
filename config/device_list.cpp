#include "device_list.h"

#include "ini_integer.h"

std::string FormatDeviceList(const int (&enabled)[kMidiDeviceCount])
{
    std::string list;
    for (int index = 0; index < kMidiDeviceCount; ++index) {
        if (enabled[index]) {
            list += std::to_string(index);
            list += ' ';
        }
    }
    return list;
}

void ParseDeviceList(std::string_view text, const bool (&present)[kMidiDeviceCount],
                     int (&enabled)[kMidiDeviceCount])
{
    for (int& flag : enabled)
        flag = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        std::string_view token = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (token.empty())
            break;
        int index = ParseIniInteger(token);
        if (index >= 0 && index < kMidiDeviceCount && present[index])
            enabled[index] = 1;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
}
