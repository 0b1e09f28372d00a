#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "ui/settings_validation.h"

namespace {
TEST(SettingsValidation, TextCommandTakesAsciiLettersAndDigitsOrNothing)
{
    EXPECT_TRUE(IsValidTextCommand("AUXMIDI09azZ"));
    EXPECT_TRUE(IsValidTextCommand(""));
    // The neighbours of each range, a blank, a byte above ASCII and a format.
    for (const char* text : { "A/", "A:", "A@", "A[", "A`", "A{", "AUX MIDI", "CAF\xC9", "%s" })
        EXPECT_FALSE(IsValidTextCommand(text)) << text;
}

class FakeMessages : public SettingsMessages {
public:
    void ShowSettingsError(int messageId) override { shown.push_back(std::to_string(messageId)); }
    bool ConfirmBroadcastAddress(int messageId, const std::string& address) override
    {
        shown.push_back(std::to_string(messageId) + " " + address);
        return yes;
    }
    bool yes = false;
    std::vector<std::string> shown;
};

TEST(SettingsValidation, ChecksRunInOrderUntilAFailureOrANo)
{
    using Shown = std::vector<std::string>;
    const std::string question = std::to_string(IDS_CONFIRM_BROADCAST) + " 127.0.1.10";
    const std::string ip = std::to_string(IDS_INVALID_IP), text = std::to_string(IDS_TEXT_COMMAND_CHARS),
                      device = std::to_string(IDS_COM_DEVICE_RANGE);
    struct Case { const char* address; const char* textCommand; int device; bool yes; int control; Shown shown; };
    const Case cases[] = {
        { "127.0.1.255", "AUXMIDI", 10, false, 0, {} },
        { "127.0.1.255", "", 255, false, 0, {} },
        { "127.0.1.10", "AUXMIDI", 10, true, 0, { question } },
        { "1.2.3", "AUX-1", 9, true, IDC_BROADCAST_ADDRESS, { ip } },
        { "127.0.1.10", "AUX-1", 9, false, IDC_BROADCAST_ADDRESS, { question } },
        { "127.0.1.10", "AUX-1", 9, true, IDC_TEXT_COMMAND, { question, text } },
        { "127.0.1.10", "AUXMIDI", 9, true, IDC_COM_DEVICE, { question, device } },
        { "127.0.1.255", "AUXMIDI", 256, false, IDC_COM_DEVICE, { device } },
    };
    for (const Case& c : cases) {
        FakeMessages messages;
        messages.yes = c.yes;
        EXPECT_EQ(ValidateSettings(c.address, c.textCommand, c.device, messages), c.control) << c.address;
        EXPECT_EQ(messages.shown, c.shown) << c.address;
    }
}
}
