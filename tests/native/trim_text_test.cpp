#include "ui/trim_text.h"

#include <gtest/gtest.h>

namespace {
// Shift-JIS-like: 0x81 to 0x9F open a double-byte character.
bool IsTestLeadByte(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

TEST(TrimText, WhiteSpaceGoesAtBothEndsOnly)
{
    struct Case { const char* text; const char* trimmed; };
    const Case cases[] = {
        { "  Live set  ", "Live set" },
        { "Live", "Live" },
        { "   ", "" },
        { "", "" },
        { "\t\r\n Desk 2\v\f", "Desk 2" },
        { "a", "a" },
        { " \xE9t\xE9 ", "\xE9t\xE9" },   // single-byte accents in a Western code page
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrimWhiteSpace(c.text, IsTestLeadByte), c.trimmed) << '"' << c.text << '"';
}

TEST(TrimText, ADoubleByteCharacterIsNeverSplit)
{
    struct Case { std::string text; std::string trimmed; };
    const Case cases[] = {
        // The second byte of a character may have any value the code page allows; walked
        // character by character it is never taken for a blank of its own.
        { " \x81 \x81  ", "\x81 \x81 " },
        { "\x82\x09", "\x82\x09" },
        { "  \x83\x40  ", "\x83\x40" },
        // A lead byte without its second byte ends the text as a character of its own.
        { " x \x84", "x \x84" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrimWhiteSpace(c.text, IsTestLeadByte), c.trimmed);
}

TEST(TrimText, WithoutACodePageTestEveryByteIsACharacter)
{
    EXPECT_EQ(TrimWhiteSpace(" \x81 ", nullptr), "\x81");
}
}
