// Profiles of the real kvMidi.exe: loaded by name from the command line and from the tray
// menu, saved from the settings dialog; the network follows the loaded profile, the file
// stores it, and the menu checks the current one, also after the dialog is cancelled.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
#include "tests/support/screenshot.h"
#include "tests/support/settings_driver.h"

namespace {
// A used slot as the file holds it; every address is the loopback broadcast.
std::string ProfileLines(int n, const std::string& name, unsigned short port, const std::string& values)
{
    return "[Profile" + std::to_string(n) + "]\r\nName=" + name + "\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
           std::to_string(port) + "\r\n" + values;
}

// The popup menus the process shows now, the first one opened first.
std::vector<HWND> ShownMenus(DWORD processId)
{
    std::vector<HWND> menus;
    FindProcessWindowIf(processId, [&](HWND window) {
        if (WindowClassName(window) == "#32768" && ::IsWindowVisible(window))
            menus.insert(menus.begin(), window);
        return false;
    });
    return menus;
}

// The item of the Profiles submenu that shows a check mark (1–8; 0 for none, -1 for more than
// one), read from the screen: Wine does not let another process read a program's menus. The
// submenu is opened by the tray's callback and the keys (down twice to "Profiles", then
// right), and closed again.
int ShownCheckedProfile(DWORD processId)
{
    PostTrayRightClick(processId);
    WaitUntil([&] { return ShownMenus(processId).size() == 1; });
    for (WORD key : { VK_DOWN, VK_DOWN, VK_RIGHT })
        PressKey(key);
    int checked = -2;   // the submenu never showed
    if (WaitUntil([&] { return ShownMenus(processId).size() == 2; })) {
        RECT rect = {};
        ::GetWindowRect(ShownMenus(processId).back(), &rect);
        Screenshot shot, previous;
        WaitUntil([&] {
            previous = std::exchange(shot, CaptureScreenRect(rect));
            return !shot.Empty() && shot.pixels == previous.pixels;
        });
        // Eight rows of one height between equal margins. A mark sits in the left margin of
        // its row, which is otherwise of the row's own colour: black on the menu's face, or
        // white on the blue of the highlighted first row.
        int rowHeight = (shot.height - 6) / 8;
        int top = (shot.height - 8 * rowHeight) / 2;
        checked = 0;
        for (int row = 0; row < 8 && rowHeight > 4; ++row) {
            int rowTop = top + row * rowHeight;
            std::uint32_t face = shot.At(3, rowTop + 1);
            int marked = 0;
            for (int y = rowTop + 1; y < rowTop + rowHeight - 1; ++y)
                for (int x = 3; x < 16 && x < shot.width; ++x) {
                    int distance = 0;
                    for (int shift = 0; shift <= 16; shift += 8)
                        distance += std::abs(static_cast<int>((shot.At(x, y) >> shift) & 0xFF) -
                                             static_cast<int>((face >> shift) & 0xFF));
                    marked += distance > 150 ? 1 : 0;
                }
            if (marked >= 8)
                checked = checked ? -1 : row + 1;
        }
    }
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return ShownMenus(processId).empty(); });
    return checked;
}

TEST(Profiles, StartProfileTrayLoadAndSaveAsMoveTheNetworkAndTheCheckMark)
{
    SettingsRun run;
    UdpListener studio("127.255.255.255"), third("127.255.255.255");
    ASSERT_TRUE(studio.IsOpen() && third.IsOpen());
    ASSERT_TRUE(run.Start(ProfileLines(2, "Studio", studio.Port(), "ApplicationId=STUDIO\r\nTextCmd=REC\r\n") +
                              ProfileLines(3, "Three", third.Port(), "ApplicationId=THREE\r\nTextCmd=TRI\r\nDestination=Hall\r\n"),
                          "-p Studio"));
    DWORD pid = run.Program().ProcessId();
    // Each event is handled once the load before it is through, saving included.
    run.PostLineEvent(0, 1);
    EXPECT_EQ(studio.Receive(20000).value_or("<none>"), RemoteLine("STUDIO", "", "REC/10/144/0/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(studio.Port()));
    EXPECT_EQ(ShownCheckedProfile(pid), 2);

    ::PostMessageA(run.Controller(), WM_COMMAND, ID_PROFILE_3, 0);
    run.PostLineEvent(2, 1);
    EXPECT_EQ(third.Receive(20000).value_or("<none>"), RemoteLine("THREE", "Hall", "TRI/10/144/2/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "ApplicationId"), "THREE");
    EXPECT_EQ(ShownCheckedProfile(pid), 3);

    // Save as into slot 2: a refused port stores nothing and shows where it failed; then the
    // running values go in, and after Cancel the lower of the two equal slots is checked.
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    dialog.SetText(IDC_PORT, "0");
    dialog.Click(IDC_SAVE_PROFILE_1 + 1);
    EXPECT_TRUE(AnswerMessageBox(pid, "Please enter an integer between 1 and 65535.", IDOK));
    EXPECT_TRUE(dialog.WaitForSelectedField(IDC_PORT));
    EXPECT_EQ(IniValue(run.IniPath(), "Profile2", "Port"), std::to_string(studio.Port()));
    dialog.SetText(IDC_PORT, std::to_string(third.Port()));
    dialog.Click(IDC_SAVE_PROFILE_1 + 1);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(run.IniPath(), "Profile2", "ApplicationId") == "THREE"; }));
    dialog.Click(IDCANCEL);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(ShownCheckedProfile(pid), 2);
}
}
