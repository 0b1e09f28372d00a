#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "ui/settings_validation.h"

namespace {
TEST(SettingsValidation, TextCommandTakesAsciiLettersAndDigitsOrNothing)
{
    struct Case { const char* text; bool valid; };
    const Case cases[] = {
        { "AUXMIDI", true }, { "aux2", true }, { "", true }, { "0123456789", true },
        { "AUX-MIDI", false }, { "AUX MIDI", false }, { "AUX/1", false }, { "AUX_1", false },
        { "CAF\xC9", false }, { "%s", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidTextCommand(c.text), c.valid) << '"' << c.text << '"';
}

TEST(SettingsValidation, ComDeviceLiesBetween10And255)
{
    struct Case { int device; bool valid; };
    const Case cases[] = { { 10, true }, { 255, true }, { 100, true }, { 9, false }, { 256, false },
                           { 0, false }, { -10, false } };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidComDevice(c.device), c.valid) << c.device;
}

class FakeMessages : public SettingsMessages {
public:
    void ShowSettingsError(int messageId) override { shown.push_back("error " + std::to_string(messageId)); }
    bool ConfirmBroadcastAddress(int messageId, const std::string& address) override
    {
        shown.push_back("question " + std::to_string(messageId) + " " + address);
        return yes;
    }

    bool yes = false;
    std::vector<std::string> shown;
};

TEST(SettingsValidation, ValidateShowsEachFindingAndAnswersTheControlAtFault)
{
    const std::string question = "question " + std::to_string(IDS_CONFIRM_BROADCAST) + " 127.0.1.10";
    struct Case {
        const char* address;
        const char* textCommand;
        int device;
        bool yes;
        int control;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        { "127.0.1.255", "AUXMIDI", 10, false, 0, {} },
        { "127.0.1.255", "", 255, false, 0, {} },
        { "1.2.3", "AUXMIDI", 10, true, IDC_BROADCAST_ADDRESS, { "error " + std::to_string(IDS_INVALID_IP) } },
        { "a.b.c.d", "AUX-1", 9, true, IDC_BROADCAST_ADDRESS, { "error " + std::to_string(IDS_INVALID_IP) } },
        { "127.0.1.10", "AUX-1", 9, false, IDC_BROADCAST_ADDRESS, { question } },
        { "127.0.1.10", "AUXMIDI", 10, true, 0, { question } },
        { "127.0.1.10", "AUX-1", 10, true, IDC_TEXT_COMMAND,
          { question, "error " + std::to_string(IDS_TEXT_COMMAND_CHARS) } },
        { "127.0.1.255", "AUXMIDI", 256, false, IDC_COM_DEVICE, { "error " + std::to_string(IDS_COM_DEVICE_RANGE) } },
        { "127.0.1.10", "AUXMIDI", 9, true, IDC_COM_DEVICE,
          { question, "error " + std::to_string(IDS_COM_DEVICE_RANGE) } },
        { "127.0.1.255", "AUX 1", 9, true, IDC_TEXT_COMMAND, { "error " + std::to_string(IDS_TEXT_COMMAND_CHARS) } },
    };
    for (const Case& c : cases) {
        FakeMessages messages;
        messages.yes = c.yes;
        EXPECT_EQ(ValidateSettings(c.address, c.textCommand, c.device, messages), c.control) << c.address;
        EXPECT_EQ(messages.shown, c.shown) << c.address;
    }
}
}
