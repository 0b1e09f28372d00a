// The COM switch part of the settings dialog of the real kvMidi.exe: on a system without any
// serial port, and the mute boxes following their line boxes.
#include <gtest/gtest.h>

#include <string>

#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

namespace {
// The stored settings ask for the switches, with no port named, so start-up opens nothing;
// the dialog then finds no port and turns the switches off.
TEST(NoSerialPort, TheComControlsAreDisabledTheBoxUncheckedAndTheLedsGrey)
{
    HiddenComPorts hidden;
    ASSERT_TRUE(hidden.AllHidden());
    SettingsRun run;
    ASSERT_TRUE(run.Start("[Com]\r\nEnable=1\r\nPort=\r\nCts=1\r\nCtsMute=1\r\nRi=1\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    EXPECT_FALSE(dialog.IsChecked(IDC_COM_ENABLE));
    EXPECT_TRUE(dialog.IsEnabled(IDC_COM_ENABLE));
    EXPECT_TRUE(dialog.IsEnabled(IDC_COM_REFRESH));
    EXPECT_EQ(::SendMessageA(dialog.Item(IDC_COM_PORT), CB_GETCOUNT, 0, 0), 0);
    for (int id = IDC_COM_PORT; id <= IDC_COM_DTR_ON; ++id) {
        if (id != IDC_COM_REFRESH) {
            EXPECT_FALSE(dialog.IsEnabled(id)) << "control " << id;
        }
    }
    for (int id = IDC_COM_LED_CTS; id <= IDC_COM_LED_RI; ++id) {
        EXPECT_TRUE(WaitUntil([&] { return ShownLed(dialog.Item(id)) == LedShown::Grey; }, kSettingsDeadline))
            << "LED " << id << " shows " << LedName(ShownLed(dialog.Item(id)));
    }
    // The stored line choices are kept for when a port comes back.
    EXPECT_TRUE(dialog.IsChecked(IDC_COM_CTS));
    EXPECT_TRUE(dialog.IsChecked(IDC_COM_RI));
}

// The switches are ticked on in the dialog only (Cancel ends it), so no port is ever opened.
TEST(ComControls, AMuteBoxFollowsItsLineBoxAndComesBackAsLastExchanged)
{
    SettingsRun run;
    ASSERT_TRUE(run.Start("[Com]\r\nCts=1\r\nCtsMute=1\r\nDcd=1\r\n"));
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    dialog.SetChecked(IDC_COM_ENABLE, true);
    dialog.Click(IDC_COM_ENABLE);
    ASSERT_TRUE(WaitUntil([&] { return dialog.IsEnabled(IDC_COM_CTS_MUTE); }, kSettingsDeadline));
    EXPECT_TRUE(dialog.IsChecked(IDC_COM_CTS_MUTE));
    EXPECT_TRUE(dialog.IsEnabled(IDC_COM_DCD_MUTE));
    EXPECT_FALSE(dialog.IsChecked(IDC_COM_DCD_MUTE));
    EXPECT_FALSE(dialog.IsEnabled(IDC_COM_DSR_MUTE)) << "a line not watched has no mute box";

    dialog.SetChecked(IDC_COM_CTS_MUTE, false);
    dialog.SetChecked(IDC_COM_CTS, false);
    dialog.Click(IDC_COM_CTS);
    EXPECT_TRUE(WaitUntil([&] { return !dialog.IsEnabled(IDC_COM_CTS_MUTE); }, kSettingsDeadline));
    EXPECT_FALSE(dialog.IsChecked(IDC_COM_CTS_MUTE));

    // The mute box the user cleared before does not count: the stored flag comes back.
    dialog.SetChecked(IDC_COM_CTS, true);
    dialog.Click(IDC_COM_CTS);
    EXPECT_TRUE(WaitUntil([&] { return dialog.IsEnabled(IDC_COM_CTS_MUTE); }, kSettingsDeadline));
    EXPECT_TRUE(dialog.IsChecked(IDC_COM_CTS_MUTE));

    dialog.Click(IDCANCEL);
    EXPECT_TRUE(dialog.WaitUntilClosed());
}
}
