// What the settings dialog of the real kvMidi.exe refuses on Apply and OK, with its messages
// and where it puts the focus afterwards.
//
// Every address typed here begins with 127. Refused addresses go through Apply, never OK, and
// each run ends with Cancel: even a check that let one through would hand it to the running
// settings only, never to the network library.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
#include "tests/support/settings_driver.h"

namespace {
class Validation : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.Start("[Com]\r\nDevice=42\r\n"));
        dialog = run.OpenSettings();
        ASSERT_TRUE(dialog.IsOpen());
        pid = run.Program().ProcessId();
    }

    // The message shows, is acknowledged, and the dialog stays with the focus on the field
    // at fault and its whole text selected.
    void ExpectRefusal(int button, const std::string& message, int field, const std::string& what)
    {
        dialog.Click(button);
        EXPECT_TRUE(AnswerMessageBox(pid, message, IDOK)) << what << ": no \"" << message << "\"";
        EXPECT_TRUE(dialog.WaitForSelectedField(field))
            << what << ": focus on " << dialog.FocusedControl() << ", selection " << dialog.Selection(field).first << "-"
            << dialog.Selection(field).second << " of \"" << dialog.Text(field) << "\"";
        EXPECT_TRUE(dialog.IsOpen()) << what;
    }

    SettingsRun run;
    SettingsDialog dialog;
    DWORD pid = 0;
};

TEST_F(Validation, AnAddressNotEndingIn255AsksFirstAndNoKeepsTheDialogWithTheAddressSelected)
{
    dialog.SetText(IDC_BROADCAST_ADDRESS, "127.0.0.1");
    dialog.Click(IDOK);
    HWND question = WaitForMessageBox(
        pid, "IP broadcast addresses normally end with 255.\nDo you confirm the usage of 127.0.0.1?", kSettingsDeadline);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(AnswerMessageBox(question, IDNO));
    EXPECT_TRUE(dialog.WaitForSelectedField(IDC_BROADCAST_ADDRESS));
    EXPECT_TRUE(dialog.IsOpen());

    // Yes lets the address through.
    dialog.Click(IDOK);
    ASSERT_TRUE(AnswerMessageBox(
        pid, "IP broadcast addresses normally end with 255.\nDo you confirm the usage of 127.0.0.1?", IDYES));
    EXPECT_TRUE(dialog.WaitUntilClosed());
    EXPECT_TRUE(WaitUntil([&] { return IniValue(run.IniPath(), "Network", "BroadcastAddress") == "127.0.0.1"; },
                          kSettingsDeadline))
        << ReadWholeFile(run.IniPath());
}

struct Refused {
    const char* text;
    const char* fault;
};

TEST_F(Validation, EveryMalformedAddressIsRefusedAsInvalid)
{
    const Refused addresses[] = {
        { "127.1", "too short" },
        { "127.2.3.4.5", "a fourth dot" },
        { "127..20.30", "an empty group" },
        { "127.2.3.1234", "four digits in a group" },
        { "127.256.1.255", "a group above 255" },
        { "127.1.1.256", "the last group above 255" },
        { "127.2.3.4 ", "a trailing blank" },
        { "127.b.c.d", "letters" },
    };
    for (const Refused& address : addresses) {
        dialog.SetText(IDC_BROADCAST_ADDRESS, address.text);
        ExpectRefusal(IDC_APPLY, "Invalid IP address!", IDC_BROADCAST_ADDRESS, address.fault);
        EXPECT_EQ(dialog.Text(IDC_BROADCAST_ADDRESS), address.text) << address.fault;
    }
}

// The data exchange stops at the port with the platform's message; the failure then puts the
// focus on the broadcast address.
TEST_F(Validation, APortOutside1To65535IsRefusedByTheDataExchange)
{
    for (const char* text : { "0", "65536" }) {
        dialog.SetText(IDC_PORT, text);
        ExpectRefusal(IDC_APPLY, "Please enter an integer between 1 and 65535.", IDC_BROADCAST_ADDRESS, text);
    }
}

TEST_F(Validation, ATextCommandOfOtherThanLettersAndDigitsIsRefused)
{
    for (const char* text : { "FOOT-1", "FOOT 1" }) {
        dialog.SetText(IDC_TEXT_COMMAND, text);
        ExpectRefusal(IDC_APPLY, "The text command can only contains letters and numbers", IDC_TEXT_COMMAND, text);
    }
}

// The device edit is disabled with the COM switches, so the focus cannot land there; the
// refusal itself does not depend on the switches.
TEST_F(Validation, AComDeviceOutside10To255IsRefusedEvenWithComSwitchesDisabled)
{
    ASSERT_FALSE(dialog.IsChecked(IDC_COM_ENABLE));
    ASSERT_FALSE(dialog.IsEnabled(IDC_COM_DEVICE));
    for (const char* text : { "9", "256" }) {
        dialog.SetText(IDC_COM_DEVICE, text);
        dialog.Click(IDC_APPLY);
        EXPECT_TRUE(AnswerMessageBox(pid, "COM device number must be between 10 and 255.", IDOK)) << text;
        EXPECT_TRUE(dialog.IsOpen()) << text;
    }
    // Nothing was handed over: the next switch event still carries the stored device.
    run.PostLineEvent(3, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/42/144/3/127"));
}

struct Accepted {
    const char* device;
    const char* textCommand;
    const char* command;
};

TEST_F(Validation, TheEndsOfTheDeviceRangeAndAnEmptyTextCommandAreAccepted)
{
    const Accepted cases[] = {
        { "10", "PEDAL", "PEDAL/10/144/1/127" },
        { "255", "", "AUXMIDI/255/144/1/127" },
    };
    for (const Accepted& c : cases) {
        dialog.SetText(IDC_COM_DEVICE, c.device);
        dialog.SetText(IDC_TEXT_COMMAND, c.textCommand);
        dialog.Click(IDC_APPLY);
        run.PostLineEvent(1, 1);
        // A refusal's message box would have sent the event with the stored settings.
        EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", c.command)) << c.device;
    }
}
}
