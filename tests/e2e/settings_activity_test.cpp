// A picture of the settings dialog of the real kvMidi.exe is kept with the test results.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/screenshot.h"
#include "tests/support/settings_driver.h"

namespace {
// Dark text pixels inside the control's rectangle (screen coordinates) of a picture of the area.
bool ShowsText(const Screenshot& shot, const RECT& area, const RECT& control)
{
    int dark = 0;
    for (LONG y = control.top; y < control.bottom; ++y) {
        for (LONG x = control.left; x < control.right; ++x) {
            LONG px = x - area.left;
            LONG py = y - area.top;
            if (px >= 0 && py >= 0 && px < shot.width && py < shot.height)
                dark += (shot.At(px, py) & 0xC0C0C0) == 0 ? 1 : 0;
        }
    }
    return dark >= 10;
}

// The picture for the test results and the documentation: profiles named, the COM switches
// ticked on (never applied: Cancel ends it), one line active.
TEST(SettingsPicture, APictureOfTheDialogIsKept)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("ApplicationId=MIDI\r\n[RemoteCmd]\r\nDestination=Stage\r\n[Com]\r\nDevice=10\r\nCts=1\r\n"
                          "Dsr=1\r\nDsrMute=1\r\n[Profile1]\r\nName=Studio\r\n[Profile2]\r\nName=Rehearsal\r\n"
                          "[Profile5]\r\nName=Live\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    dialog.SetChecked(IDC_COM_ENABLE, true);
    dialog.Click(IDC_COM_ENABLE);
    ASSERT_TRUE(WaitUntil([&] { return dialog.IsEnabled(IDC_COM_CTS); }, kSettingsDeadline));
    run.PostLineEvent(0, 1);
    ASSERT_EQ(run.Receive(), RemoteLine("MIDI", "Stage", "AUXMIDI/10/144/0/127"));
    // The listener's port changes from run to run; the picture shows the usual one.
    dialog.SetText(IDC_PORT, "9871");

    // Taken once everything is painted: the state wanted, text in the last controls the
    // dialog paints, and two pictures in a row alike.
    ::SetForegroundWindow(dialog.Window());
    RECT area = dialog.ScreenRect();
    Screenshot previous;
    Screenshot shot;
    EXPECT_TRUE(WaitUntil([&] {
        shot = CaptureScreenRect(area);
        bool settled = !shot.Empty() && shot.pixels == previous.pixels;
        previous = shot;
        return settled && ShownLed(dialog.Item(IDC_COM_LED_CTS)) == LedShown::Lit &&
               ShownLed(dialog.Item(IDC_COM_LED_DCD)) == LedShown::Dark &&
               dialog.Text(IDC_LAST_COMMAND) == "AUXMIDI/10/144/0/127" && ShowsText(shot, area, dialog.ScreenRect(IDOK)) &&
               ShowsText(shot, area, dialog.ScreenRect(IDC_SAVE_PROFILE_1 + 7));
    }, kSettingsDeadline));
    EXPECT_TRUE(WritePng(shot, ArtefactsDirectory() + "settings_dialog.png"));
    EXPECT_GT(shot.width, 600);
}
}
