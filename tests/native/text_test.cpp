#include "framework/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {
TEST(Text, DottedDecimalIsFourGroupsUpTo255AndNothingElse)
{
    EXPECT_EQ(ParseDottedDecimalValue("127.0.1.255"), 0x7F0001FFu);
    EXPECT_EQ(ParseDottedDecimalValue("001.02.3.010"), 0x0102030Au) << "a leading zero is still decimal";
    EXPECT_EQ(ParseDottedDecimal("255.255.255.0"), (std::array<std::uint8_t, 4>{ 255, 255, 255, 0 }));
    for (const char* text : { "1.2.3", "1.2.3.4.5", "10..20.30", "1.2.3.0001", "0255.1.1.1", "256.1.1.255",
                              "1.1.1.256", "1.2.3.4 ", " 1.2.3.4", "a.b.c.d", "", ".1.2.3", "1.2.3.",
                              "1,2,3,4", "1.2.3.-4", "+1.2.3.4" })
        EXPECT_EQ(ParseDottedDecimalValue(text), std::nullopt) << '"' << text << '"';
}

TEST(Text, IntegersSaturateAndTheWholeTextMustBeOneNumber)
{
    // prefix: the number a text starts with; whole: the text as a whole, or "no" (nullopt).
    struct Case { const char* text; int prefix; std::optional<int> whole; };
    const Case cases[] = {
        { " 42 ", 42, 42 }, { "\t-7", -7, -7 }, { "+3", 3, 3 }, { "99999999999", INT_MAX, INT_MAX },
        { "-99999999999", INT_MIN, INT_MIN }, { "12abc", 12, {} }, { "1 2", 1, {} }, { "0x10", 0, {} },
        { "", 0, {} }, { "-", 0, {} }, { " - 3", 0, {} },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIntegerPrefix(c.text).value, c.prefix) << '"' << c.text << '"';
        EXPECT_EQ(ParseWholeInteger(c.text), c.whole) << '"' << c.text << '"';
    }
}

TEST(Text, PlaceholdersTakeTheirTextsLiterally)
{
    EXPECT_EQ(FillPlaceholders("between %1 and %2, %1", { { '1', "1" }, { '2', "%1" } }), "between 1 and %1, 1");
    EXPECT_EQ(FillPlaceholders("100% %3 %s%", { { 's', "COM%s%n", true } }), "100% %3 COM%s%n%");
    EXPECT_EQ(FillPlaceholders("%%s is %s, not %s", { { 's', "x", true } }), "%x is %s, not %s");
}

// Shift-JIS-like: 0x81 to 0x9F open a double-byte character.
bool IsTestLeadByte(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

TEST(Text, TrimmingTakesBlanksAtBothEndsAndNeverSplitsACharacter)
{
    struct Case { std::string text; std::string trimmed; std::string bytewise; };
    // The second byte of a double-byte character may have any value; walked character by
    // character it is never taken for a blank of its own. A lead byte without its second byte
    // ends the text as a character of its own.
    const Case cases[] = { { "\t\r\n Desk 2\v\f", "Desk 2", "Desk 2" }, { "   ", "", "" },
                           { " \x81 \x81  ", "\x81 \x81 ", "\x81 \x81" }, { " x \x84", "x \x84", "x \x84" } };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimBlanks(c.text, IsTestLeadByte), c.trimmed) << '"' << c.text << '"';
        EXPECT_EQ(TrimBlanks(c.text), c.bytewise) << '"' << c.text << '"';
    }
}
}
