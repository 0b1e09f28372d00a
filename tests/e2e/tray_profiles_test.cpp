// The real program in the Wine desktop as a user meets it: its icon in the notification area
// and the frames that show commands, a profile loaded by name from the command line and
// another from the icon's menu, driven with the keys, the usage box, the About panel, the
// settings opened by a double click and profiles saved there, Exit and the request to end
// from outside. The network follows the loaded profile and the
// file stores it.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "kvmidi_version.h"
#include "tests/support/program_run.h"
#include "ui/system_tray.h"

namespace {
const char kUsage[] = "kvMidi[.exe] [{-a|--alternate-appdata} IniFileDirectory] [{-i|--alternate-ini} "
                      "IniFile.ini] [{-p|--profile} ProfileName]";

// The first icon added to the notification area, whose taskbar in the Wine desktop paints its
// icons itself, one slot each of the small icon size and a border of 2 on each side, the first
// in the rightmost slot. Empty when the taskbar is not shown.
Screenshot IconSlot()
{
    RECT tray = {};
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!::IsWindowVisible(taskbar) || !::GetWindowRect(taskbar, &tray))
        return {};
    LONG width = ::GetSystemMetrics(SM_CXSMICON) + 4, height = ::GetSystemMetrics(SM_CYSMICON) + 4;
    LONG top = tray.top + (tray.bottom - tray.top - height) / 2;
    return CaptureScreenRect({ tray.right - width, top, tray.right, top + height });
}

// Pixels of the dial's green pointer, which the application icon and its frames show and
// nothing else on the desktop: clearly green, little red or blue (its other inks are greys).
int CountPointerGreen(const Screenshot& shot)
{
    return static_cast<int>(std::count_if(shot.begin(), shot.end(), [](COLORREF pixel) {
        return GetGValue(pixel) >= 150 && GetRValue(pixel) <= 90 && GetBValue(pixel) <= 90;
    }));
}

bool TrayShowsOurIcon() { return CountPointerGreen(IconSlot()) > 0; }

// A used slot as the file holds it; every address is the loopback broadcast.
std::string ProfileLines(int n, const std::string& name, unsigned short port, const std::string& values)
{
    return "[Profile" + std::to_string(n) + "]\r\nName=" + name + "\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
           std::to_string(port) + "\r\n" + values;
}

// The menu's keys, down from no selection: 1 is "About kvMidi...", 2 "Profiles" (right opens
// it on its first slot), 4 "Command-line arguments..." (the separator is skipped); up once
// is the last item, "Exit".
TEST(TrayAndProfiles, StartProfileMenuLoadUsageAboutSaveAsAndExit)
{
    ASSERT_TRUE(WaitUntil([] { return !TrayShowsOurIcon(); })) << "an icon is left from before";
    ProgramRun run;
    UdpListener studio, third;
    ASSERT_TRUE(studio.IsOpen() && third.IsOpen() &&
                run.Start(ProfileLines(2, "Studio", studio.Port(), "ApplicationId=STUDIO\r\nTextCmd=REC\r\n") +
                              ProfileLines(3, "Three", third.Port(), "ApplicationId=THREE\r\nTextCmd=TRI\r\nDestination=Hall\r\n"),
                          "-p Studio") && run.HidePanel());
    // The icon as the taskbar painted it whole: the same picture twice. A work-area change finds
    // it still there, so a command sets the frames going in its place until five seconds later.
    Screenshot idle, before;
    ASSERT_TRUE(WaitUntil([&] {
        before = std::exchange(idle, IconSlot());
        return CountPointerGreen(idle) > 0 && idle == before;
    }));
    ::SendMessageA(TrayWindow(run.ProcessId()), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    // Each event is handled once the load before it is through. (That a loaded profile is
    // stored is seen with the one loaded from the menu.)
    EXPECT_EQ(run.LineEvent(0, 1, &studio), RemoteLine("STUDIO", "", "REC/10/144/0/127"));
    EXPECT_TRUE(WaitUntil([&] { Screenshot frame = IconSlot(); return frame != idle && CountPointerGreen(frame) > 0; }));
    EXPECT_TRUE(WaitUntil([&] { return IconSlot() == idle; })) << "the frames went on";

    ASSERT_TRUE(UseTrayMenu(run.ProcessId(), { VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN }));
    EXPECT_TRUE(WaitUntil([&] { return IniValue(run.IniPath(), "Network", "ApplicationId") == "THREE"; }));
    EXPECT_EQ(run.LineEvent(2, 1, &third), RemoteLine("THREE", "Hall", "TRI/10/144/2/127"));

    ASSERT_TRUE(UseTrayMenu(run.ProcessId(), { VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN }));
    EXPECT_TRUE(run.Answer(kUsage, IDOK)) << "no box with the usage text";

    HWND controller = run.ControllerWindow();
    ASSERT_TRUE(UseTrayMenu(run.ProcessId(), { VK_DOWN, VK_RETURN }));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; })) << "About did not show the panel";
    // The version of the file properties, and the build's revision.
    EXPECT_EQ(WindowText(::GetDlgItem(controller, IDC_TITLE)), "kvMidi version " KVMIDI_VERSION_TEXT);
    EXPECT_TRUE(std::regex_match(WindowText(::GetDlgItem(controller, IDC_REVISION)),
                                 std::regex(R"(Revision: \d+ \((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d|no version control)\))")));
    // Exit while the panel shows only hides it.
    ASSERT_TRUE(UseTrayMenu(run.ProcessId(), { VK_UP, VK_RETURN }));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(controller); }));

    // A double click on the icon opens the settings. Save as into the empty slot 4 asks for a
    // name: typing stops at 80 characters, the blanks around go.
    ::PostMessageA(TrayWindow(run.ProcessId()), WM_TRAY_NOTIFY, ID_TRAY_ICON, WM_LBUTTONDBLCLK);
    SettingsDialog dialog = WaitForSettingsDialog(run.ProcessId());
    ASSERT_TRUE(dialog.IsOpen());
    dialog.Click(IDC_SAVE_PROFILE_1 + 3);
    SettingsDialog prompt(WaitForWindow(run.ProcessId(), [](HWND w) {
        return ::IsWindowVisible(w) && ::GetDlgItem(w, IDC_PROMPT_EDIT);
    }));
    EXPECT_EQ(WindowText(prompt.Window()) + '|' + prompt.Text(IDC_PROMPT_TEXT),
              "Set profile name...|Enter a name for this profile:");
    for (int i = 0; i < 100; ++i)
        prompt.Send(IDC_PROMPT_EDIT, WM_CHAR, 'k');
    EXPECT_EQ(prompt.Text(IDC_PROMPT_EDIT), std::string(80, 'k'));
    prompt.SetText(IDC_PROMPT_EDIT, "  Live set\t ");
    prompt.Click(IDOK);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(run.IniPath(), "Profile4", "Name") == "Live set"; }));

    // WM_CLOSE to the tray window, as the installer sends it, ends the program whatever shows
    // (the settings dialog, the panel): the line sent last still leaves, the icon goes. (The
    // dialog's ending as cancelled is the Restart's in the start-up test: both end the same way.)
    ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
    ::PostMessageA(controller, WM_COM_LINE_EVENT, 1, 1);
    ::PostMessageA(TrayWindow(run.ProcessId()), WM_CLOSE, 0, 0);
    EXPECT_EQ(third.Receive(), RemoteLine("THREE", "Hall", "TRI/10/144/1/127"));
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_TRUE(WaitUntil([] { return !TrayShowsOurIcon(); })) << "the icon stayed after the program ended";
}
}
