// Which serial ports the settings dialog offers, and in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "input/com_port_names.h"

namespace {
using namespace std::string_literals;
using Names = std::vector<std::string>;

TEST(ComPortNames, OfADeviceListTakeTheNumberAfterComInAnyCaseSortedUntilTheEmptyNameOrTheListsEnd)
{
    // "COM4" and "COM" end without the zero byte: the list's length ends them.
    const std::pair<std::string, Names> cases[] = {
        { "COM10\0cOm3X\0COM007\0\0COM9\0"s, { "COM3", "COM7", "COM10" } },
        { "C:\0XCOM1\0LPT1\0COM\0COM0\0COM256\0COM-1\0COM99999999999999999999\0COMX\0com255\0"s, { "COM255" } },
        { "COM4"s, { "COM4" } }, { "COM"s, {} }, { ""s, {} },
    };
    for (const auto& [list, names] : cases)
        EXPECT_EQ(ComPortNames(ComPortNumbersInDeviceNames(list)), names) << list;
}

TEST(ComPortNames, OfTheProbesAreThoseThatExistAndTheListIsReadIntoABufferDoublingUpTo16Mb)
{
    auto probe = [](int n) { return n == 1 || n == 255 ? ComPortProbe::Opened : n == 7 ? ComPortProbe::AccessDenied : ComPortProbe::Missing; };
    EXPECT_EQ(ProbeComPortNumbers(probe), (std::vector<int>{ 1, 7, 255 }));
    for (std::size_t fits : { kDeviceNamesMaxSize, kDeviceNamesMaxSize + 1 }) {
        std::vector<std::size_t> sizes;
        std::string list = ReadDeviceNameList([&](std::vector<char>& buffer) {
            sizes.push_back(buffer.size());
            return DeviceNamesRead{ buffer.size() < fits ? 0 : kDeviceNamesMaxSize + 9, buffer.size() < fits };
        });
        EXPECT_EQ(std::pair(list.size(), sizes.size()), std::pair(fits > kDeviceNamesMaxSize ? 0 : kDeviceNamesMaxSize, 8ul));
        EXPECT_EQ(sizes.back(), 0x1FFFFu * 128);
    }
}
}
