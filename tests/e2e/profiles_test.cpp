// Profiles of the real kvMidi.exe loaded from the tray menu and by name from the command line:
// the network follows the profile, the file stores it, and the menu checks it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "tests/support/screenshot.h"
#include "tests/support/settings_driver.h"

namespace {
// A used slot as the file holds it; every address is the loopback broadcast.
std::string ProfileLines(int n, const std::string& name, unsigned short port, const std::string& applicationId,
                         const std::string& textCommand, const std::string& destination)
{
    return "[Profile" + std::to_string(n) + "]\r\nName=" + name + "\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
           std::to_string(port) + "\r\nApplicationId=" + applicationId + "\r\nTextCmd=" + textCommand +
           "\r\nDestination=" + destination + "\r\n";
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

// Which of the eight items of the Profiles submenu show a check mark, read from the screen:
// Wine does not let another process read a program's menus. The submenu is opened by the
// tray's callback and the keys (down twice to "Profiles", then right), and closed again.
std::vector<bool> ShownProfileChecks(DWORD processId)
{
    PostTrayRightClick(processId);
    if (!WaitUntil([&] { return ShownMenus(processId).size() == 1; }))
        return {};
    for (WORD key : { VK_DOWN, VK_DOWN, VK_RIGHT })
        PressKey(key);
    std::vector<bool> checks;
    if (WaitUntil([&] { return ShownMenus(processId).size() == 2; })) {
        RECT rect = {};
        ::GetWindowRect(ShownMenus(processId).back(), &rect);
        Screenshot shot;
        Screenshot previous;
        WaitUntil([&] {
            previous = std::exchange(shot, CaptureScreenRect(rect));
            return !shot.Empty() && shot.pixels == previous.pixels;
        });
        // Eight rows of one height between equal margins. A mark sits in the left margin of
        // its row, which is otherwise of the row's own colour: black on the menu's face, or
        // white on the blue of the highlighted first row.
        int rowHeight = (shot.height - 6) / 8;
        int top = (shot.height - 8 * rowHeight) / 2;
        for (int row = 0; row < 8 && rowHeight > 4; ++row) {
            int rowTop = top + row * rowHeight;
            std::uint32_t face = shot.At(3, rowTop + 1);
            int marked = 0;
            for (int y = rowTop + 1; y < rowTop + rowHeight - 1; ++y) {
                for (int x = 3; x < 16 && x < shot.width; ++x) {
                    int distance = 0;
                    for (int shift = 0; shift <= 16; shift += 8)
                        distance += std::abs(static_cast<int>((shot.At(x, y) >> shift) & 0xFF) -
                                             static_cast<int>((face >> shift) & 0xFF));
                    marked += distance > 150 ? 1 : 0;
                }
            }
            checks.push_back(marked >= 8);
        }
    }
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return ShownMenus(processId).empty(); });
    return checks;
}

TEST(Profiles, LoadingProfile3FromTheTrayChecksItAloneStoresItAndMovesTheNetworkToItsPort)
{
    SettingsRun run;
    UdpListener third("127.255.255.255");
    ASSERT_TRUE(third.IsOpen());
    ASSERT_TRUE(run.Start(ProfileLines(1, "One", run.Listener().Port(), "ONE", "UNO", "First") +
                          ProfileLines(3, "Three", third.Port(), "THREE", "TRI", "Hall")));
    EXPECT_EQ(ShownProfileChecks(run.Program().ProcessId()), std::vector<bool>(8, false));
    ::PostMessageA(run.Controller(), WM_COMMAND, ID_PROFILE_3, 0);

    // The event is handled once the load is through, saving included: the file holds still.
    run.PostLineEvent(2, 1);
    EXPECT_EQ(third.Receive(20000).value_or("<none>"), RemoteLine("THREE", "Hall", "TRI/10/144/2/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(third.Port()));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "ApplicationId"), "THREE");
    std::vector<bool> onlyThird(8, false);
    onlyThird[2] = true;
    EXPECT_EQ(ShownProfileChecks(run.Program().ProcessId()), onlyThird);
}

struct StartProfileCase {
    const char* argument;
    bool loaded;
};

TEST(Profiles, AProfileNamedOnTheCommandLineLoadsOnlyWithItsExactLetterCase)
{
    const StartProfileCase cases[] = { { "Studio", true }, { "STUDIO", false } };
    for (const StartProfileCase& c : cases) {
        SettingsRun run;
        UdpListener studio("127.255.255.255");
        ASSERT_TRUE(studio.IsOpen());
        std::string mainPort = std::to_string(run.Listener().Port());
        ASSERT_TRUE(run.Start(ProfileLines(2, "Studio", studio.Port(), "STUDIO", "REC", "Booth"),
                              std::string("-p ") + c.argument));
        run.PostLineEvent(0, 1);
        UdpListener& expected = c.loaded ? studio : run.Listener();
        EXPECT_EQ(expected.Receive(20000).value_or("<none>"),
                  c.loaded ? RemoteLine("STUDIO", "Booth", "REC/10/144/0/127") : RemoteLine("MIDI", "", "AUXMIDI/10/144/0/127"))
            << c.argument;
        EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), c.loaded ? std::to_string(studio.Port()) : mainPort)
            << c.argument;
        EXPECT_TRUE(run.End());
    }
}
}
