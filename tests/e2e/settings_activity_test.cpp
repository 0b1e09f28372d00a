// While the settings dialog of the real kvMidi.exe is open it shows the last command sent and
// the state of each COM line on its LED.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

namespace {
constexpr int kLedIds[] = { IDC_COM_LED_CTS, IDC_COM_LED_DCD, IDC_COM_LED_DSR, IDC_COM_LED_RI };

class OpenDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.Start("[Com]\r\nDevice=15\r\n"));
        dialog = run.OpenSettings();
        ASSERT_TRUE(dialog.IsOpen());
    }

    bool LedShows(int line, LedShown expected) const { return ShownLed(dialog.Item(kLedIds[line])) == expected; }

    std::string LedsShown() const
    {
        std::string shown;
        for (int id : kLedIds)
            shown += std::string(LedName(ShownLed(dialog.Item(id)))) + " ";
        return shown;
    }

    SettingsRun run;
    SettingsDialog dialog;
};

TEST_F(OpenDialog, LastCommandSentShowsEachCommandAsItGoesOut)
{
    EXPECT_EQ(dialog.Text(IDC_LAST_COMMAND), "");
    struct Event {
        int line;
        int level;
        const char* command;
    };
    const Event events[] = { { 2, 1, "AUXMIDI/15/144/2/127" }, { 2, 0, "AUXMIDI/15/144/2/0" },
                             { 0, 1, "AUXMIDI/15/144/0/127" } };
    for (const Event& event : events) {
        run.PostLineEvent(event.line, event.level);
        EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", event.command));
        EXPECT_TRUE(WaitUntil([&] { return dialog.Text(IDC_LAST_COMMAND) == event.command; }, kSettingsDeadline))
            << "shows \"" << dialog.Text(IDC_LAST_COMMAND) << "\"";
    }
}

// "Settings..." from the tray while the dialog is open brings that dialog forward: no second
// dialog opens inside it, and the first goes on showing the commands.
TEST_F(OpenDialog, ASecondSettingsCommandOpensNoSecondDialog)
{
    ::PostMessageA(run.Controller(), WM_COMMAND, kSettingsCommand, 0);
    // Handled in order: the line event comes after the second command is through.
    run.PostLineEvent(1, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/15/144/1/127"));
    EXPECT_TRUE(WaitUntil([&] { return dialog.Text(IDC_LAST_COMMAND) == "AUXMIDI/15/144/1/127"; }, kSettingsDeadline))
        << "shows \"" << dialog.Text(IDC_LAST_COMMAND) << "\"";
    int dialogs = 0;
    FindProcessWindowIf(run.Program().ProcessId(), [&](HWND window) {
        if (WindowClassName(window) == "#32770" && ::GetDlgItem(window, IDC_BROADCAST_ADDRESS) && ::IsWindowVisible(window))
            ++dialogs;
        return false;
    });
    EXPECT_EQ(dialogs, 1);
}

// With the COM switches off the LEDs are grey; a line event lights its own LED, and the
// line going back darkens it.
TEST_F(OpenDialog, ALineEventLightsItsLedAndItsReturnDarkensIt)
{
    ASSERT_FALSE(dialog.IsChecked(IDC_COM_ENABLE));
    EXPECT_TRUE(WaitUntil([&] { return LedsShown() == "grey grey grey grey "; }, kSettingsDeadline)) << LedsShown();

    run.PostLineEvent(1, 1);
    EXPECT_TRUE(WaitUntil([&] { return LedsShown() == "grey lit grey grey "; }, kSettingsDeadline)) << LedsShown();
    run.PostLineEvent(1, 0);
    EXPECT_TRUE(WaitUntil([&] { return LedsShown() == "grey dark grey grey "; }, kSettingsDeadline)) << LedsShown();
    run.PostLineEvent(3, 1);
    EXPECT_TRUE(WaitUntil([&] { return LedsShown() == "grey dark grey lit "; }, kSettingsDeadline)) << LedsShown();
}
}
