// The first run of kvMidi.exe: an INI file without settings opens the settings dialog before
// anything else, and what leaving it each way leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/screenshot.h"
#include "tests/support/settings_driver.h"

namespace {
// The notification area shows our icon: the dial's green pointer in its slot (the only icon
// there while our program runs). Without any icon the Wine desktop shows no taskbar at all.
bool TrayShowsAnIcon()
{
    Screenshot slot = CaptureScreenRect(TrayIconSlot(0));
    return CountPointerGreen(slot, { 0, 0, slot.width, slot.height }) > 0;
}

class FirstRun : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaitUntil([] { return !TrayShowsAnIcon(); }, kSettingsDeadline)) << "an icon is left from before";
        ::CreateDirectoryA((run.Folder() + "cfg").c_str(), nullptr);
        WriteWholeFile(run.IniPath(), "");
    }

    void StartFirstRun()
    {
        ASSERT_TRUE(run.StartWithoutSeed());
        dialog = WaitForSettingsDialog(run.Program().ProcessId());
        ASSERT_TRUE(dialog.IsOpen());
    }

    // The panel shows only once start-up is over, which waits for the dialog.
    bool PanelShows()
    {
        HWND controller = FindProcessDialog(run.Program().ProcessId(), IDC_REVISION);
        return controller && ::IsWindowVisible(controller);
    }

    SettingsRun run;
    SettingsDialog dialog;
};

TEST_F(FirstRun, CancelEndsTheProgramBeforeThePanelShowsAndTakesTheTrayIconAlong)
{
    ASSERT_NO_FATAL_FAILURE(StartFirstRun());
    EXPECT_FALSE(PanelShows());
    EXPECT_EQ(dialog.Text(IDC_BROADCAST_ADDRESS), "");
    EXPECT_TRUE(WaitUntil(TrayShowsAnIcon, kSettingsDeadline));

    dialog.Click(IDCANCEL);
    EXPECT_EQ(run.Program().WaitForExit(kSettingsDeadline), 0);
    EXPECT_TRUE(WaitUntil([] { return !TrayShowsAnIcon(); }, kSettingsDeadline));
    EXPECT_EQ(ReadWholeFile(run.IniPath()), "");
}

// The port list would store the first port the prefix happens to have; without ports the
// stored port name is the empty one the file started with.
TEST_F(FirstRun, OkWritesTheWholeFileInItsOrderAndTheProgramRunsOnInTheTray)
{
    HiddenComPorts hidden;
    ASSERT_TRUE(hidden.AllHidden());
    ASSERT_NO_FATAL_FAILURE(StartFirstRun());
    EXPECT_FALSE(PanelShows());

    std::string port = std::to_string(run.Listener().Port());
    dialog.SetText(IDC_BROADCAST_ADDRESS, "127.255.255.255");
    dialog.SetText(IDC_PORT, port);
    dialog.SetText(IDC_APPLICATION_ID, "LOGGER");
    dialog.SetText(IDC_TEXT_COMMAND, "FOOT");
    dialog.SetText(IDC_DESTINATION, "Desk 2");
    dialog.SetChecked(IDC_FILTER_NOTE_OFF, true);
    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());

    const std::vector<IniEntry> expected = {
        { "Network", "", "" },
        { "Network", "BroadcastAddress", "127.255.255.255" }, { "Network", "Port", port },
        { "Network", "ApplicationId", "LOGGER" },
        { "RemoteCmd", "", "" },
        { "RemoteCmd", "Destination", "Desk 2" },
        { "Midi", "", "" },
        { "Midi", "FilterNoteOff", "1" }, { "Midi", "TextCmd", "FOOT" }, { "Midi", "Devices", "" },
        { "Com", "", "" },
        { "Com", "Enable", "0" }, { "Com", "Port", "" }, { "Com", "Device", "10" },
        { "Com", "Cts", "0" }, { "Com", "CtsMute", "0" }, { "Com", "Dcd", "0" }, { "Com", "DcdMute", "0" },
        { "Com", "Dsr", "0" }, { "Com", "DsrMute", "0" }, { "Com", "Ri", "0" }, { "Com", "RiMute", "0" },
        { "Com", "RtsOn", "0" }, { "Com", "DtrOn", "0" },
    };
    ASSERT_TRUE(WaitUntil([&] { return ReadIniEntries(run.IniPath()).size() == expected.size(); }, kSettingsDeadline))
        << ReadWholeFile(run.IniPath());
    std::vector<IniEntry> written = ReadIniEntries(run.IniPath());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(written[i], expected[i]) << "line " << i << ": [" << written[i].section << "] " << written[i].key
                                           << "=" << written[i].value;

    // The panel shows for its five seconds, then the program goes on with the tray icon only.
    EXPECT_TRUE(WaitUntil([&] { return PanelShows(); }, kSettingsDeadline));
    EXPECT_TRUE(WaitUntil([&] { return !PanelShows(); }, kSettingsDeadline));
    EXPECT_TRUE(run.Program().IsRunning());
    EXPECT_TRUE(TrayShowsAnIcon());
    run.PostLineEvent(1, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("LOGGER", "Desk 2", "FOOT/10/144/1/127"));
}
}
