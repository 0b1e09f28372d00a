// The text rules: addresses, numbers, placeholders and blanks; the default broadcast address;
// the settings checks.
#include "framework/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config/default_broadcast.h"
#include "res/resource.h"
#include "res/settings_ids.h"
#include "ui/settings_validation.h"

namespace {
TEST(Text, DottedDecimalIsFourGroupsUpTo255AndNothingElse)
{
    EXPECT_EQ(ParseDottedDecimalValue("127.0.1.255"), 0x7F0001FFu);
    EXPECT_EQ(ParseDottedDecimalValue("001.02.3.010"), 0x0102030Au) << "a leading zero is still decimal";
    for (const char* text : { "1.2.3", "1.2.3.4.5", "10..20.30", "1.2.3.0001", "256.1.1.255", "1.1.1.256", "1.2.3.4 ",
                              " 1.2.3.4", "a.b.c.d", "", "1.2.3.", "1,2,3,4", "1.2.3.-4", "+1.2.3.4" })
        EXPECT_EQ(ParseDottedDecimalValue(text), std::nullopt) << '"' << text << '"';
}

TEST(Text, IntegersSaturateAndTheWholeTextMustBeOneNumber)
{
    // prefix: the number a text starts with; whole: the text as a whole, or "no" (nullopt).
    struct Case { std::string_view text; int prefix; std::optional<int> whole; };
    const Case cases[] = {
        { " 42 ", 42, 42 }, { "\t-7", -7, -7 }, { "+3", 3, 3 }, { "99999999999", INT_MAX, INT_MAX },
        { "-99999999999", INT_MIN, INT_MIN }, { "12a", 12, {} }, { "1 2", 1, {} }, { "", 0, {} }, { " - 3", 0, {} },
        { std::string_view("12", 1), 1, 1 },   // nothing past the text's end is read
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::pair(ParseIntegerPrefix(c.text).value, ParseWholeInteger(c.text)), std::pair(c.prefix, c.whole)) << c.text;
}

// Shift-JIS-like: 0x81 to 0x9F open a double-byte character.
bool IsTestLeadByte(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

TEST(Text, PlaceholdersAreLiteralAndTrimmingNeverSplitsACharacter)
{
    EXPECT_EQ(FillPlaceholders("between %1 and %2, %1", { { '1', "1" }, { '2', "%1" } }), "between 1 and %1, 1");
    EXPECT_EQ(FillPlaceholders("100% %3 %s%", { { 's', "COM%s%n", true } }), "100% %3 COM%s%n%");
    EXPECT_EQ(FillPlaceholders("%%s is %s, not %s", { { 's', "x", true } }), "%x is %s, not %s");
    EXPECT_EQ(FillPlaceholders("%s %% %s", { { 's', "x", true }, { '%', "%" } }), "x % %s") << "only the one marked once";
    EXPECT_EQ(FillPlaceholders(std::string_view("a %s", 3), { { 's', "x" } }), "a %") << "nothing past the end is read";
    // The second byte of a double-byte character may have any value, blanks included; a lead
    // byte without its second byte ends the text as a character of its own.
    struct Case { std::string text, trimmed, bytewise; };
    const Case cases[] = { { "\t\r\n Desk 2\v\f", "Desk 2", "Desk 2" }, { "   ", "", "" },
                           { " \x81 \x81 ", "\x81 \x81 ", "\x81 \x81" }, { "x \x84", "x \x84", "x \x84" } };
    for (const Case& c : cases)
        EXPECT_EQ(TrimBlanks(c.text, IsTestLeadByte) + "|" + TrimBlanks(c.text), c.trimmed + "|" + c.bytewise) << c.text;
}

// Without a listed adapter, the host name's addresses: a private network first, in the order of
// the prefixes, the latest address within one, the host part set by the class of the first
// octet. With adapters, the one with the default route, its host part set by its prefix length,
// or by the class when that leaves none. Nothing is sent.
TEST(DefaultBroadcastAddress, TheLanOfTheDefaultRouteOrThePreferredAddressOfTheHostName)
{
    struct Case { std::vector<AdapterAddress> adapters; std::vector<std::string> hostNames; const char* expected; };
    struct Networks : HostNetworks {
        explicit Networks(const Case& c) : c(c) {}
        std::vector<AdapterAddress> AdapterAddresses() override { return c.adapters; }
        std::vector<std::string> HostNameAddresses() override { return c.hostNames; }
        const Case& c;
    };
    const AdapterAddress lan{ "10.1.2.3", 22, false, true }, vm{ "192.168.56.1", 24 }, loopback{ "127.0.0.1", 8, true };
    auto routed = [](int prefixLength) { return std::vector{ AdapterAddress{ "10.9.8.4", prefixLength, false, true } }; };
    const Case cases[] = {
        { {}, { "203.0.113.5", "192.0.2.1", "128.1.2.3" }, "128.1.255.255" }, { {}, { "127.1.2.3" }, "127.255.255.255" },
        { {}, { "10.1.2.3", "192.168.0.7", "192.168.7.1" }, "192.168.7.255" }, { {}, { "191.1.2.3" }, "191.1.255.255" },
        { {}, { "172.16.4.4", "172.31.0.9", "10.1.2.3" }, "172.16.255.255" },
        { {}, { "169.254.7.8", "10.1.2.3" }, "10.255.255.255" },
        { {}, { "203.0.113.5", "169.254.7.8" }, "169.254.255.255" }, { {}, {}, "127.255.255.255" },
        // Prefixes match from the first character, and 172.16 to 172.31 only.
        { {}, { "110.1.2.3", "172.15.1.1", "172.32.1.1", "198.51.100.9" }, "198.51.100.255" },
        { { lan }, {}, "10.1.3.255" }, { { vm, lan, loopback }, {}, "10.1.3.255" },
        { { loopback }, { "192.168.0.7" }, "127.255.255.255" },
        { { vm, { "10.1.2.3", 24 } }, {}, "192.168.56.255" },   // no default route: the private order
        { routed(0), {}, "10.255.255.255" }, { routed(1), {}, "127.255.255.255" }, { routed(30), {}, "10.9.8.7" },
        { routed(31), {}, "10.255.255.255" },
    };
    for (const Case& c : cases) {
        Networks networks(c);
        EXPECT_EQ(DefaultBroadcastAddress(networks), c.expected);
    }
}

struct FakeMessages : SettingsMessages {
    void ShowSettingsError(int messageId) override { shown.push_back(std::to_string(messageId)); }
    bool ConfirmBroadcastAddress(int messageId, const std::string& address) override
    {
        return shown.push_back(std::to_string(messageId) + " " + address), true;   // Yes
    }
    std::vector<std::string> shown;
};

// Each check's message and field are the end-to-end test's; here, what the question's Yes lets
// through, what stops the later checks and the ends of the ranges.
TEST(SettingsValidation, AYesToTheQuestionRunsTheLaterChecksAndTextCommandsAreAsciiLettersAndDigits)
{
    auto id = [](int n) { return std::to_string(n); };
    const std::string question = id(IDS_CONFIRM_BROADCAST) + " 127.0.1.10";
    struct Case { const char* address; const char* textCommand; int device; int control; std::vector<std::string> shown; };
    const Case cases[] = {
        { "127.0.1.255", "AUXMIDI09azZ", 10, 0, {} }, { "127.0.1.10", "", 255, 0, { question } },
        { "127.0.1.10", "AUX-1", 9, IDC_TEXT_COMMAND, { question, id(IDS_TEXT_COMMAND_CHARS) } },
        { "127.0.1", "AUX-1", 9, IDC_BROADCAST_ADDRESS, { id(IDS_INVALID_IP) } },
        { "127.0.1.255", "AUXMIDI", 256, IDC_COM_DEVICE, { id(IDS_COM_DEVICE_RANGE) } },
        { "127.0.1.255", "A", 9, IDC_COM_DEVICE, { id(IDS_COM_DEVICE_RANGE) } },
    };
    for (const Case& c : cases) {
        FakeMessages messages;
        EXPECT_EQ(ValidateSettings(c.address, c.textCommand, c.device, messages), c.control) << c.address;
        EXPECT_EQ(messages.shown, c.shown) << c.address;
    }
    // The neighbours of each range, a blank, a byte above ASCII and a format.
    for (const char* command : { "A/", "A:", "A@", "A[", "A`", "A{", "AUX MIDI", "CAF\xC9", "%s" })
        EXPECT_FALSE(IsValidTextCommand(command)) << command;
}
}
