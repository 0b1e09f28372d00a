// COM line changes, as the polling thread posts them to the real kvMidi.exe, reach the network
// as REMOTE lines with the configured texts, and the open settings dialog shows each one.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

namespace {
constexpr int kLedIds[] = { IDC_COM_LED_CTS, IDC_COM_LED_DCD, IDC_COM_LED_DSR, IDC_COM_LED_RI };

struct LineEvent {
    int line;
    int level;
    const char* command;
    LedShown led;   // of that line, in the open dialog
};

// A muted line sends its REMOTE line like the others (its volume commands go to a shell
// without audio here); the COM switches are off, so the LEDs start grey.
TEST(ComLine, EveryLineAndLevelReachesTheNetworkAndTheOpenDialog)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("ApplicationId=LOGGER\r\n[RemoteCmd]\r\nDestination=Desk 2\r\n[Midi]\r\nTextCmd=FOOT\r\n"
                          "[Com]\r\nDevice=37\r\nCtsMute=1\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    EXPECT_TRUE(WaitUntil([&] { return ShownLed(dialog.Item(IDC_COM_LED_DSR)) == LedShown::Grey; }));
    const LineEvent events[] = {
        { 0, 1, "FOOT/37/144/0/127", LedShown::Lit }, { 0, 0, "FOOT/37/144/0/0", LedShown::Dark },
        { 1, 1, "FOOT/37/144/1/127", LedShown::Lit }, { 1, 0, "FOOT/37/144/1/0", LedShown::Dark },
        { 2, 1, "FOOT/37/144/2/127", LedShown::Lit }, { 2, 0, "FOOT/37/144/2/0", LedShown::Dark },
        { 3, 1, "FOOT/37/144/3/127", LedShown::Lit }, { 3, 0, "FOOT/37/144/3/0", LedShown::Dark },
    };
    for (const LineEvent& event : events) {
        run.PostLineEvent(event.line, event.level);
        EXPECT_EQ(run.Receive(), RemoteLine("LOGGER", "Desk 2", event.command));
        EXPECT_TRUE(WaitUntil([&] {
            return dialog.Text(IDC_LAST_COMMAND) == event.command && ShownLed(dialog.Item(kLedIds[event.line])) == event.led;
        })) << event.command << ": shows \"" << dialog.Text(IDC_LAST_COMMAND) << "\"";
    }

    // "Settings..." again brings the open dialog forward: no second one opens inside it, and
    // the first goes on showing the commands (the event is handled after the command).
    ::PostMessageA(run.Controller(), WM_COMMAND, ID_SETTINGS, 0);
    run.PostLineEvent(1, 1);
    EXPECT_EQ(run.Receive(), RemoteLine("LOGGER", "Desk 2", "FOOT/37/144/1/127"));
    EXPECT_TRUE(WaitUntil([&] { return dialog.Text(IDC_LAST_COMMAND) == "FOOT/37/144/1/127"; }));
    EXPECT_EQ(FindProcessWindowIf(run.Program().ProcessId(), [&](HWND window) {
                  return window != dialog.Window() && ::GetDlgItem(window, IDC_BROADCAST_ADDRESS);
              }), nullptr);
    EXPECT_TRUE(run.End());
}
}
