// Apply in the settings dialog of the real kvMidi.exe: what reaches the running program at
// once, what only with OK, and what Cancel undoes.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

namespace {
TEST(Apply, ANewApplicationIdActsAtOnceButANewPortOnlyAfterOk)
{
    SettingsRun run;
    UdpListener next("127.255.255.255");
    ASSERT_TRUE(next.IsOpen());
    ASSERT_TRUE(run.Start());
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    dialog.SetText(IDC_APPLICATION_ID, "NEWAPP");
    dialog.SetText(IDC_PORT, std::to_string(next.Port()));
    dialog.Click(IDC_APPLY);
    // Posted after the click, so handled after Apply is through.
    run.PostLineEvent(0, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("NEWAPP", "", "AUXMIDI/10/144/0/127")) << "the old port, the new id";
    EXPECT_TRUE(dialog.IsOpen());

    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    run.PostLineEvent(0, 0);
    EXPECT_EQ(next.Receive(20000).value_or("<none>"), RemoteLine("NEWAPP", "", "AUXMIDI/10/144/0/0"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(next.Port()));
}

TEST(Apply, CancelAfterApplyRestoresTheStoredSettings)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("ApplicationId=STORED\r\n[RemoteCmd]\r\nDestination=Desk\r\n[Midi]\r\nTextCmd=FOOT\r\n"
                          "[Com]\r\nDevice=20\r\n"));
    std::string stored = ReadWholeFile(run.IniPath());
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    dialog.SetText(IDC_APPLICATION_ID, "TEMP");
    dialog.SetText(IDC_DESTINATION, "Elsewhere");
    dialog.SetText(IDC_TEXT_COMMAND, "BAR");
    dialog.SetText(IDC_COM_DEVICE, "30");
    dialog.Click(IDC_APPLY);
    run.PostLineEvent(1, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("TEMP", "Elsewhere", "BAR/30/144/1/127"));

    dialog.Click(IDCANCEL);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    run.PostLineEvent(1, 0);
    EXPECT_EQ(run.Receive(), RemoteLine("STORED", "Desk", "FOOT/20/144/1/0"));
    EXPECT_EQ(ReadWholeFile(run.IniPath()), stored);
}
}
