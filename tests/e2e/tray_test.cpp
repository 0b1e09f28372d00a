// The real program in the Wine desktop as a user meets it: its icon in the notification area,
// the popup the icon opens, driven with the keys, the usage box, the About panel and Exit.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/support/message_box_window.h"
#include "tests/support/screenshot.h"
#include "tests/support/temp_directory.h"

namespace {
const char kUsage[] = "kvMidi[.exe] [{-a|--alternate-appdata} IniFileDirectory] [{-i|--alternate-ini} "
                      "IniFile.ini] [{-p|--profile} ProfileName]";

bool TrayShowsOurIcon() { return CountPointerGreen(CaptureScreenRect(FirstTrayIconSlot())) > 0; }

// Opens the popup as the shell's callback for a right click does, then chooses with the keys:
// down from no selection, 1 is "About kvMidi...", 4 "Command-line arguments..." (the separator
// is skipped); up once is the last item, "Exit".
bool ChooseFromTheTrayMenu(DWORD processId, WORD key, int presses)
{
    PostTrayRightClick(processId);
    auto isMenu = [](HWND w) { return WindowClassName(w) == "#32768" && ::IsWindowVisible(w); };
    if (!WaitUntil([&] { return FindProcessWindowIf(processId, isMenu); }))
        return false;
    for (int i = 0; i < presses; ++i)
        PressKey(key);
    PressKey(VK_RETURN);
    return true;
}

TEST(Tray, TheMenuShowsTheUsageAndTheAboutPanelAndItsExitEndsTheProgram)
{
    ASSERT_FALSE(TrayShowsOurIcon()) << "an icon is left from before";
    TempDirectory folder;
    SeedIni(folder.Path(), 9);
    KvMidiProcess program;
    ASSERT_TRUE(program.Start("-a " + folder.Path()));
    HWND controller = program.ControllerWindow(kProgramDeadline);
    auto panelShown = [&](bool shown) {
        return WaitUntil([&] { return (::IsWindowVisible(controller) != FALSE) == shown; });
    };
    ASSERT_TRUE(WaitUntil(TrayShowsOurIcon)) << "the icon never showed in the notification area";
    // The panel shows once start-up is over; Exit while it shows only hides it.
    ASSERT_TRUE(panelShown(true));
    ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(panelShown(false));

    ASSERT_TRUE(ChooseFromTheTrayMenu(program.ProcessId(), VK_DOWN, 4));
    HWND box = WaitForMessageBox(program.ProcessId(), kUsage, kProgramDeadline);
    ASSERT_NE(box, nullptr) << "no box with the usage text";
    EXPECT_EQ(WindowText(box), "kvMidi");
    EXPECT_TRUE(DismissMessageBox(box, kProgramDeadline));

    ASSERT_TRUE(ChooseFromTheTrayMenu(program.ProcessId(), VK_DOWN, 1));
    ASSERT_TRUE(panelShown(true)) << "About did not show the panel";
    EXPECT_EQ(WindowText(::GetDlgItem(controller, IDC_TITLE)), "kvMidi version 1.2.0-dev");
    EXPECT_EQ(WindowText(::GetDlgItem(controller, IDC_REVISION)), "Revision: 46 (2022-11-04 01:32:49)");
    // A click on the panel hides it at once, and the program goes on.
    ::PostMessageA(controller, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(panelShown(false));
    EXPECT_TRUE(program.IsRunning());

    ASSERT_TRUE(ChooseFromTheTrayMenu(program.ProcessId(), VK_UP, 1));
    EXPECT_EQ(program.WaitForExit(kProgramDeadline), 0);
    EXPECT_TRUE(WaitUntil([] { return !TrayShowsOurIcon(); })) << "the icon stayed after the program ended";
}
}
