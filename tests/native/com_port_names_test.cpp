// Which serial ports the settings dialog offers, and in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "input/com_port_names.h"

namespace {
using Names = std::vector<std::string>;

TEST(ComPortNames, TakeTheNumberAfterComInAnyCase)
{
    const std::pair<const char*, int> cases[] = {
        { "COM1", 1 }, { "com7", 7 }, { "cOm12", 12 }, { "COM255", 255 }, { "COM007", 7 }, { "COM3X", 3 }, { "COM", 0 },
        { "COM0", 0 }, { "COM256", 0 }, { "COMX", 0 }, { "COM-1", 0 }, { "COM99999999999999999999", 0 }, { "", 0 }, { "XCOM1", 0 },
    };
    for (auto [name, number] : cases)
        EXPECT_EQ(ComPortNumberOfDeviceName(name), number) << '"' << name << '"';
}

TEST(ComPortNames, OfADeviceListAreSortedAndEndAtTheEmptyNameOrTheListsLength)
{
    // "COM4" and "COM" end without the zero byte: the list's length ends them.
    const std::pair<std::string, Names> cases[] = {
        { std::string("COM1\0COM10\0COM3\0\0", 17), { "COM1", "COM3", "COM10" } },
        { std::string("C:\0com7\0LPT1\0COM\0COM0\0COM256\0COM2\0\0COM9\0", 38), { "COM2", "COM7" } },
        { "COM4", { "COM4" } }, { "COM", {} }, { "", {} },
    };
    for (const auto& [list, names] : cases)
        EXPECT_EQ(ComPortNames(ComPortNumbersInDeviceNames(list)), names) << list;
    EXPECT_EQ(ComPortNames({ 255, 2, 20, 2 }), (Names{ "COM2", "COM2", "COM20", "COM255" }));
}

TEST(ComPortNames, TheDeviceNameListIsReadIntoABufferGrownWhileTooSmall)
{
    // The list ("COM1") fits once the buffer holds `needed` characters; 0: the reading fails.
    const std::pair<size_t, Names> cases[] = {
        { 6, { "COM1" } }, { kDeviceNamesFirstSize + 1, { "COM1" } }, { kDeviceNamesMaxSize, { "COM1" } },
        { kDeviceNamesMaxSize + 1, {} }, { 0, {} },
    };
    for (const auto& [needed, names] : cases) {
        std::string list = ReadDeviceNameList([needed = needed](std::vector<char>& buffer) {
            if (needed == 0 || buffer.size() < needed)
                return DeviceNamesRead{ 0, needed != 0 };
            std::copy_n("COM1\0\0", 6, buffer.begin());
            return DeviceNamesRead{ 6, false };
        });
        EXPECT_EQ(ComPortNames(ComPortNumbersInDeviceNames(list)), names) << needed;
    }
}

TEST(ComPortNames, ByProbingCountAPortHeldByAnotherProgram)
{
    std::vector<int> probed;
    EXPECT_EQ(ProbeComPortNumbers([&](int number) {
        probed.push_back(number);
        return number == 3 ? ComPortProbe::Opened
                           : (number == 1 || number == 200) ? ComPortProbe::AccessDenied : ComPortProbe::Missing;
    }), (std::vector<int>{ 1, 3, 200 }));
    EXPECT_TRUE(probed.size() == 255u && probed.front() == 1 && probed.back() == 255);
}
}
