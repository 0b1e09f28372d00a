// The "Default" buttons of the settings dialog of the real kvMidi.exe: each replaces the text
// of its edit and nothing else.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

namespace {
struct DefaultButton {
    int button;
    int edit;
    const char* text;
};

TEST(DefaultButtons, EachWritesItsValueIntoItsEditOnly)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("ApplicationId=LOGGER\r\n[Midi]\r\nTextCmd=FOOT\r\n"));
    std::string stored = ReadWholeFile(run.IniPath());
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    const DefaultButton buttons[] = {
        { IDC_DEFAULT_PORT, IDC_PORT, "9871" },
        { IDC_DEFAULT_APPLICATION_ID, IDC_APPLICATION_ID, "MIDI" },
        { IDC_DEFAULT_TEXT_COMMAND, IDC_TEXT_COMMAND, "AUXMIDI" },
    };
    for (const DefaultButton& b : buttons) {
        dialog.Click(b.button);
        EXPECT_TRUE(WaitUntil([&] { return dialog.Text(b.edit) == b.text; }, kSettingsDeadline))
            << "edit " << b.edit << " shows \"" << dialog.Text(b.edit) << "\"";
    }
    EXPECT_EQ(dialog.Text(IDC_BROADCAST_ADDRESS), "127.255.255.255");

    // The address comes from the host's own addresses, which are this machine's: only its
    // shape is checked, and it is replaced at once so that it never reaches Apply or OK.
    dialog.SetText(IDC_BROADCAST_ADDRESS, "");
    dialog.Click(IDC_DEFAULT_BROADCAST_ADDRESS);
    std::string suggested;
    EXPECT_TRUE(WaitUntil([&] { return !(suggested = dialog.Text(IDC_BROADCAST_ADDRESS)).empty(); }, kSettingsDeadline));
    dialog.SetText(IDC_BROADCAST_ADDRESS, "127.255.255.255");
    ASSERT_GE(suggested.size(), 7u) << suggested;
    EXPECT_EQ(suggested.substr(suggested.size() - 4), ".255") << suggested;

    // Nothing went further than the edits.
    run.PostLineEvent(0, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("LOGGER", "", "FOOT/10/144/0/127"));
    dialog.Click(IDCANCEL);
    EXPECT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(ReadWholeFile(run.IniPath()), stored);
}
}
