#include "framework/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {
TEST(Text, DottedDecimalIsFourGroupsUpTo255AndNothingElse)
{
    struct Case { const char* text; std::uint32_t value; bool valid; };
    const Case cases[] = {
        { "127.0.1.255", 0x7F0001FF, true },  { "0.0.0.0", 0, true },
        { "255.255.255.255", 0xFFFFFFFF, true }, { "001.02.3.010", 0x0102030A, true },
        { "1.2.3", 0, false },       { "1.2.3.4.5", 0, false },  { "10..20.30", 0, false },
        { "1.2.3.1234", 0, false },  { "1.2.3.0001", 0, false }, { "0255.1.1.255", 0, false },
        { "256.1.1.255", 0, false }, { "1.1.1.256", 0, false },  { "999.1.1.1", 0, false },
        { "1.2.3.4 ", 0, false },    { " 1.2.3.4", 0, false },   { "a.b.c.d", 0, false },
        { "", 0, false },            { ".1.2.3", 0, false },     { "1.2.3.", 0, false },
        { "1.2.3.4.", 0, false },    { "1,2,3,4", 0, false },    { "12345678", 0, false },
        { "1.2.3.-4", 0, false },    { "+1.2.3.4", 0, false },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDottedDecimalValue(c.text), c.valid ? std::optional(c.value) : std::nullopt)
            << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseDottedDecimal("10.20.30.40"), (std::array<std::uint8_t, 4>{ 10, 20, 30, 40 }));
}

TEST(Text, IntegersSaturateAndTheWholeTextMustBeOneNumber)
{
    // prefix: the number a text starts with; whole: the text as a whole, or "no" (nullopt).
    struct Case { const char* text; int prefix; std::optional<int> whole; };
    const Case cases[] = {
        { "9871", 9871, 9871 },   { " 42 ", 42, 42 },     { "\t-7", -7, -7 },    { "+3", 3, 3 },
        { "0", 0, 0 },            { "2147483647", INT_MAX, INT_MAX },
        { "99999999999", INT_MAX, INT_MAX },  { "-99999999999", INT_MIN, INT_MIN },
        { "12abc", 12, {} },      { "1 2", 1, {} },       { "0x10", 0, {} },
        { "abc", 0, {} },         { "", 0, {} },          { " ", 0, {} },        { "-", 0, {} },
        { " - 3", 0, {} },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIntegerPrefix(c.text).value, c.prefix) << '"' << c.text << '"';
        EXPECT_EQ(ParseWholeInteger(c.text), c.whole) << '"' << c.text << '"';
    }
}

TEST(Text, PlaceholdersTakeTheirTextsLiterally)
{
    const char* port = "COM%s%n%d";
    struct Case { std::string filled; const char* expected; };
    const Case cases[] = {
        { FillPlaceholders("between %1 and %2, %1", { { '1', "1" }, { '2', "%1" } }), "between 1 and %1, 1" },
        { FillPlaceholders("100% sure %3", { { '1', "a" } }), "100% sure %3" },
        { FillPlaceholders("open %s.", { { 's', port, true } }), "open COM%s%n%d." },
        { FillPlaceholders("%%s is %s, not %s", { { 's', "x", true } }), "%x is %s, not %s" },
        { FillPlaceholders("100%% %s %s%", { { '%', "%" }, { 's', "x", true } }), "100% x %s%" },
        { FillPlaceholders("Profile %d", { { 'd', "3", true } }), "Profile 3" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.filled, c.expected);
}

// Shift-JIS-like: 0x81 to 0x9F open a double-byte character.
bool IsTestLeadByte(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

TEST(Text, TrimmingTakesBlanksAtBothEndsAndNeverSplitsACharacter)
{
    struct Case { std::string text; std::string trimmed; std::string bytewise; };
    const Case cases[] = {
        { "  Live set  ", "Live set", "Live set" },
        { "\t\r\n Desk 2\v\f", "Desk 2", "Desk 2" },
        { "   ", "", "" },
        { "", "", "" },
        { " \xE9t\xE9 ", "\xE9t\xE9", "\xE9t\xE9" },
        // The second byte of a double-byte character may have any value; walked character
        // by character it is never taken for a blank of its own.
        { " \x81 \x81  ", "\x81 \x81 ", "\x81 \x81" },
        { "\x82\x09", "\x82\x09", "\x82" },
        // A lead byte without its second byte ends the text as a character of its own.
        { " x \x84", "x \x84", "x \x84" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimBlanks(c.text, IsTestLeadByte), c.trimmed) << '"' << c.text << '"';
        EXPECT_EQ(TrimBlanks(c.text), c.bytewise) << '"' << c.text << '"';
    }
}
}
