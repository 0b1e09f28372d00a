#include "framework/message_text.h"

#include <gtest/gtest.h>

#include <climits>

TEST(FrameworkMessages, PlaceholdersTakeTheirArgumentsLiterally)
{
    EXPECT_EQ(FillPlaceholders("Please enter no more than %1 characters.", { "80" }),
              "Please enter no more than 80 characters.");
    EXPECT_EQ(FillPlaceholders("Please enter an integer between %1 and %2.", { "1", "65535" }),
              "Please enter an integer between 1 and 65535.");
    EXPECT_EQ(FillPlaceholders("%1", { "%2 %s %d" }), "%2 %s %d");
    EXPECT_EQ(FillPlaceholders("100% sure %3", { "a" }), "100% sure ");
}

TEST(FrameworkMessages, DialogIntegersMustBeWholeNumbers)
{
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        { "9871", true, 9871 }, { " 42 ", true, 42 }, { "-7", true, -7 }, { "+3", true, 3 },
        { "0", true, 0 }, { "65536", true, 65536 },
        { "99999999999", true, INT_MAX }, { "-99999999999", true, INT_MIN },
        { "", false, 0 }, { " ", false, 0 }, { "12a", false, 0 }, { "a12", false, 0 },
        { "1 2", false, 0 }, { "-", false, 0 }, { "0x10", false, 0 },
    };
    for (const Case& c : cases) {
        int value = -12345;
        EXPECT_EQ(ScanDialogInteger(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok)
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        else
            EXPECT_EQ(value, -12345) << '"' << c.text << '"';
    }
}
