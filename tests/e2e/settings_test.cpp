// The settings dialog of the real kvMidi.exe as a round trip: what Apply hands to the running
// program at once, what only OK stores, what Cancel undoes, the Default buttons, and what the
// checks refuse with their messages and where they leave the focus.
//
// Every address typed here begins with 127. Refused entries go through Apply and the run ends
// with Cancel: even a check that let one through would never reach the network library.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
#include "tests/support/settings_driver.h"

namespace {
TEST(Settings, ApplyActsAtOnceOkStoresAndCancelRestoresTheStoredSettings)
{
    SettingsRun run;
    UdpListener next("127.255.255.255");
    ASSERT_TRUE(next.IsOpen());
    ASSERT_TRUE(run.Start("ApplicationId=STORED\r\n[RemoteCmd]\r\nDestination=Desk\r\n[Midi]\r\nTextCmd=FOOT\r\n"
                          "[Com]\r\nDevice=20\r\n"));
    std::string stored = ReadWholeFile(run.IniPath());
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    // Apply: the texts act at once, the port only after OK; the file is not touched.
    dialog.SetText(IDC_APPLICATION_ID, "TEMP");
    dialog.SetText(IDC_DESTINATION, "Elsewhere");
    dialog.SetText(IDC_TEXT_COMMAND, "BAR");
    dialog.SetText(IDC_COM_DEVICE, "255");
    dialog.SetText(IDC_PORT, std::to_string(next.Port()));
    dialog.Click(IDC_APPLY);
    run.PostLineEvent(1, 1);   // posted after the click, so handled after Apply is through
    EXPECT_EQ(run.Receive(), RemoteLine("TEMP", "Elsewhere", "BAR/255/144/1/127"));
    EXPECT_EQ(ReadWholeFile(run.IniPath()), stored);

    // Cancel after Apply: the stored settings come back.
    dialog.Click(IDCANCEL);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    run.PostLineEvent(1, 0);
    EXPECT_EQ(run.Receive(), RemoteLine("STORED", "Desk", "FOOT/20/144/1/0"));

    // OK stores and moves the network to the new port; an empty text command is allowed.
    dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    dialog.SetText(IDC_TEXT_COMMAND, "");
    dialog.SetText(IDC_COM_DEVICE, "10");
    dialog.SetText(IDC_PORT, std::to_string(next.Port()));
    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    run.PostLineEvent(0, 1);
    EXPECT_EQ(next.Receive(20000).value_or("<none>"), RemoteLine("STORED", "Desk", "AUXMIDI/10/144/0/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(next.Port()));
    EXPECT_EQ(IniValue(run.IniPath(), "Midi", "TextCmd"), "");
}

struct DefaultButton {
    int button;
    int edit;
    const char* text;   // null: the host's own broadcast address, ending in 255
};

TEST(Settings, EachDefaultButtonWritesItsValueIntoItsEdit)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("ApplicationId=LOGGER\r\n[Midi]\r\nTextCmd=FOOT\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    const DefaultButton buttons[] = {
        { IDC_DEFAULT_PORT, IDC_PORT, "9871" },
        { IDC_DEFAULT_APPLICATION_ID, IDC_APPLICATION_ID, "MIDI" },
        { IDC_DEFAULT_TEXT_COMMAND, IDC_TEXT_COMMAND, "AUXMIDI" },
        { IDC_DEFAULT_BROADCAST_ADDRESS, IDC_BROADCAST_ADDRESS, nullptr },
    };
    for (const DefaultButton& b : buttons) {
        dialog.SetText(b.edit, "");
        dialog.Click(b.button);
        std::string shown;
        EXPECT_TRUE(WaitUntil([&] {
            shown = dialog.Text(b.edit);
            return b.text ? shown == b.text : shown.size() > 4 && shown.substr(shown.size() - 4) == ".255";
        })) << "edit " << b.edit << " shows \"" << shown << "\"";
    }
    // The host's address is only looked at; Cancel ends the run.
    dialog.Click(IDCANCEL);
    EXPECT_TRUE(dialog.WaitUntilClosed());
}

struct Refusal {
    int field;
    const char* text;
    const char* message;
    int focus;   // 0: the field stays disabled, so the focus cannot land there
};

TEST(Settings, EachKindOfInvalidEntryIsRefusedWithItsMessage)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("[Com]\r\nDevice=42\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    DWORD pid = run.Program().ProcessId();
    // The data exchange stops at the port with the platform's message; its failure then puts
    // the focus on the first field, the broadcast address.
    const Refusal refusals[] = {
        { IDC_BROADCAST_ADDRESS, "127.256.1.255", "Invalid IP address!", IDC_BROADCAST_ADDRESS },
        { IDC_PORT, "65536", "Please enter an integer between 1 and 65535.", IDC_BROADCAST_ADDRESS },
        { IDC_TEXT_COMMAND, "FOOT-1", "The text command can only contains letters and numbers", IDC_TEXT_COMMAND },
        { IDC_COM_DEVICE, "9", "COM device number must be between 10 and 255.", 0 },
    };
    for (const Refusal& r : refusals) {
        std::string before = dialog.Text(r.field);
        dialog.SetText(r.field, r.text);
        dialog.Click(IDC_APPLY);
        EXPECT_TRUE(AnswerMessageBox(pid, r.message, IDOK)) << r.text << ": no \"" << r.message << "\"";
        EXPECT_TRUE(!r.focus || dialog.WaitForSelectedField(r.focus)) << r.text;
        EXPECT_TRUE(dialog.IsOpen()) << r.text;
        dialog.SetText(r.field, before);
    }
    // Nothing was handed over: the next switch event still carries the stored device.
    run.PostLineEvent(3, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/42/144/3/127"));

    // An address not ending in 255 is asked about first: No keeps the dialog, Yes stores it.
    const char question[] = "IP broadcast addresses normally end with 255.\nDo you confirm the usage of 127.0.0.1?";
    dialog.SetText(IDC_BROADCAST_ADDRESS, "127.0.0.1");
    dialog.Click(IDOK);
    ASSERT_TRUE(AnswerMessageBox(pid, question, IDNO));
    EXPECT_TRUE(dialog.WaitForSelectedField(IDC_BROADCAST_ADDRESS));
    dialog.Click(IDOK);
    ASSERT_TRUE(AnswerMessageBox(pid, question, IDYES));
    EXPECT_TRUE(dialog.WaitUntilClosed());
    EXPECT_TRUE(WaitUntil([&] { return IniValue(run.IniPath(), "Network", "BroadcastAddress") == "127.0.0.1"; }));
}
}
