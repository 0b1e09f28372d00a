// The command text and REMOTE line made from a MIDI entry.
#include <gtest/gtest.h>

#include <string>

#include "remote/command_text.h"

namespace {
TEST(MidiCommandText, JoinsTextCommandDeviceStatusAndDataInDecimal)
{
    struct Case { const char* textCommand; int device, status, data1, data2; const char* expected; };
    const Case cases[] = {
        { "", 0, 144, 60, 100, "AUXMIDI/0/144/60/100" },
        { "AUXMIDI", 4, 144, 60, 100, "AUXMIDI/4/144/60/100" },
        { "FOOT", 2, 0xB5, 7, 0, "FOOT/2/181/7/0" },
        { "", 3, 0x80, 0, 255, "AUXMIDI/3/128/0/255" },
        { "", 1, 0xEF, 5, 9, "AUXMIDI/1/239/5/9" },
        { "%s%n", 0, 144, 1, 2, "%s%n/0/144/1/2" },   // the setting is text, never a format
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatCommandText(c.textCommand, c.device, c.status, c.data1, c.data2), c.expected);
}

TEST(MidiRemoteLine, QuotesApplicationDestinationAndCommandWithoutEscaping)
{
    struct Case { const char* application; const char* destination; const char* expected; };
    const Case cases[] = {
        { "", "", "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1" },
        { "MIDI", "", "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1" },
        { "LOGGER", "Desk 2", "REMOTE: \"LOGGER\" \"Desk 2\" \"AUXMIDI/0/144/60/100\" 1" },
        { "A\"B", "%d", "REMOTE: \"A\"B\" \"%d\" \"AUXMIDI/0/144/60/100\" 1" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatRemoteLine(c.application, c.destination, "AUXMIDI/0/144/60/100"), c.expected);
}

TEST(MidiNoteFilter, MatchesNoteOnOfAnyChannelWithVelocityZeroOnlyWhenOn)
{
    struct Case { bool filter; std::uint8_t status, data2; bool filtered; };
    const Case cases[] = {
        { true, 0x90, 0, true },   { true, 0x9A, 0, true },   { true, 0x90, 1, false },
        { true, 0x80, 0, false },  { true, 0xA0, 0, false },  { true, 0xB0, 0, false },
        { false, 0x90, 0, false }, { false, 0x80, 0, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsFilteredNoteOff(c.filter, c.status, c.data2), c.filtered)
            << c.filter << " " << std::hex << int(c.status) << " " << int(c.data2);
}
}
