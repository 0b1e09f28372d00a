// The real program in the Wine desktop as a user meets it: the icon in the notification area,
// its popup opened with the mouse and driven with the keys, the usage box and the About panel.
// Pictures of each are kept in the build folder's artefacts.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "framework/wnd.h"
#include "res/resource.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/message_box_window.h"
#include "tests/support/program_resources.h"
#include "tests/support/screenshot.h"
#include "tests/support/temp_directory.h"
#include "tests/support/ui_driver.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
constexpr UINT kComLineEvent = WM_USER + 20;
constexpr UINT kTrayNotify = WM_USER + 10;
constexpr UINT ID_TRAY_ICON = 134;
const char kUsage[] = "kvMidi[.exe] [{-a|--alternate-appdata} IniFileDirectory] [{-i|--alternate-ini} "
                      "IniFile.ini] [{-p|--profile} ProfileName]";

RECT FullScreen() { return { 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) }; }

double SecondsSince(steady_clock::time_point start)
{
    return duration<double>(steady_clock::now() - start).count();
}

// Text pixels: darker than mid-grey on the light panel, edges of smoothed letters included.
bool IsText(std::uint32_t pixel) { return (pixel & 0x808080) == 0; }

// From the first to the last column of the rectangle holding text.
int TextWidth(const Screenshot& shot, const RECT& rect)
{
    int first = -1;
    int last = -1;
    for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, shot.width); ++x) {
        for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, shot.height); ++y) {
            if (IsText(shot.At(x, y))) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// How wide the text is in the label's font (the GUI font) at that weight and height.
int ExtentInGuiFont(const char* text, LONG weight, LONG height)
{
    LOGFONTA description = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    description.lfWeight = weight;
    description.lfHeight = height;
    HFONT font = ::CreateFontIndirectA(&description);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    ::DeleteObject(font);
    return size.cx;
}


// A picture of the screen once what is shown has settled: two pictures in a row alike.
Screenshot SettledScreen(const RECT& area)
{
    Screenshot previous = CaptureScreenRect(area);
    Screenshot shot;
    WaitUntil([&] {
        shot = CaptureScreenRect(area);
        bool same = shot.pixels == previous.pixels;
        previous = shot;
        return same;
    }, 5s);
    return shot;
}

class TrayProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.IsOpen());
        SeedIni(folder.Path(), listener.Port());
        ASSERT_EQ(TrayPointerPose(0), PointerPose::Unknown) << "another icon is in the notification area";
        ASSERT_TRUE(program.Start("-a " + folder.Path()));
        controller = program.ControllerWindow(kDeadline);
        ASSERT_NE(controller, nullptr);
        ASSERT_TRUE(WaitUntil([] { return TrayPointerPose(0) == PointerPose::Upright; }, kDeadline))
            << "the icon never showed in the notification area";
        ASSERT_TRUE(WaitForTheTaskbarToSettle()) << "the taskbar kept moving";
        idleIcon = SettledScreen(TrayIconSlot(0));
    }

    void TearDown() override
    {
        EXPECT_TRUE(program.Exit(kDeadline));
        EXPECT_TRUE(WaitUntil([] { return TrayPointerPose(0) == PointerPose::Unknown; }, kDeadline))
            << "the icon stayed after the program ended";
    }

    // Wine lays its taskbar out anew when the first icon of a desktop session arrives, so
    // pictures wait until the notification area has held its place for half a second.
    static bool WaitForTheTaskbarToSettle()
    {
        RECT last = TrayAreaRect();
        auto since = steady_clock::now();
        return WaitUntil([&] {
            RECT now = TrayAreaRect();
            if (!::EqualRect(&now, &last)) {
                last = now;
                since = steady_clock::now();
            }
            return steady_clock::now() - since >= 500ms && TrayPointerPose(0) == PointerPose::Upright;
        }, kDeadline);
    }

    bool PanelShows() const { return ::IsWindowVisible(controller) != FALSE; }
    // The first frame stands upright too; only the application icon itself looks like this.
    bool ShowsTheIdleIcon() const { return CaptureScreenRect(TrayIconSlot(0)).pixels == idleIcon.pixels; }

    // The panel shows once the controller's start-up is through, and goes 5 s later.
    void WaitForTheStartPanelToGo()
    {
        ASSERT_TRUE(WaitUntil([&] { return PanelShows(); }, kDeadline)) << "no panel at start";
        ASSERT_TRUE(WaitUntil([&] { return !PanelShows(); }, kDeadline));
    }

    // A right click on the icon, as the mouse gives it; the program's popup, or null.
    HWND OpenTrayMenu()
    {
        ClickAt(Centre(TrayIconSlot(0)), true);
        HWND popup = nullptr;
        WaitUntil([&] { return (popup = FindPopupMenuWindow(program.ProcessId())) != nullptr; }, kDeadline);
        return popup;
    }

    // Escape as the user presses it; should the key not reach the menu (it goes to the
    // foreground window, which Wine does not always give the popup), the menu's owner is
    // told to cancel it, as the system's EndMenu does.
    bool CloseTrayMenu()
    {
        PressKey(VK_ESCAPE);
        return WaitUntil([&] {
            if (FindPopupMenuWindow(program.ProcessId()) == nullptr)
                return true;
            if (HWND trayWindow = FindTrayWindow(program.ProcessId()))
                ::PostMessageA(trayWindow, WM_CANCELMODE, 0, 0);
            return false;
        }, kDeadline);
    }

    // Down from no selection: 1 is "About kvMidi...", 2 "Profiles", 3 "Settings...",
    // 4 "Command-line arguments..." (the separator is skipped).
    void ChooseWithKeys(int downPresses)
    {
        for (int i = 0; i < downPresses; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    }

    bool KeepPicture(const Screenshot& shot, const char* name)
    {
        return WritePng(shot, ArtefactsDirectory() + name);
    }

    TempDirectory folder;
    UdpListener listener{ "127.255.255.255" };
    KvMidiProcess program;
    HWND controller = nullptr;
    Screenshot idleIcon;
};

// The popup as the test itself shows menu 134, at the same place: taken once two pictures in
// a row are alike, then closed. The timer runs inside the menu's own loop.
struct ReferenceCapture {
    Screenshot previous;
    Screenshot settled;
    RECT rect = {};
    int ticks = 0;
};
ReferenceCapture* g_capture = nullptr;

void CALLBACK CaptureOwnMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindPopupMenuWindow(::GetCurrentProcessId());
    if (!g_capture || !popup)
        return;
    g_capture->rect = WindowRect(popup);
    Screenshot shot = CaptureScreenRect(g_capture->rect);
    if ((shot.pixels == g_capture->previous.pixels && !shot.Empty()) || ++g_capture->ticks > 100) {
        g_capture->settled = shot;
        ::EndMenu();
        return;
    }
    g_capture->previous = shot;
}

ReferenceCapture ReferencePopup(POINT at, UINT defaultItem)
{
    CWnd owner;
    owner.CreateEx(0, AfxRegisterWndClass(0), "reference", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    ProgramResources resources;
    HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    HMENU popup = ::GetSubMenu(menu, 0);
    if (defaultItem)
        ::SetMenuDefaultItem(popup, defaultItem, FALSE);
    ::SetForegroundWindow(owner.m_hWnd);
    ReferenceCapture capture;
    g_capture = &capture;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &CaptureOwnMenu);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner.m_hWnd, nullptr);
    ::KillTimer(nullptr, timer);
    g_capture = nullptr;
    ::DestroyMenu(menu);
    return capture;
}

TEST_F(TrayProgram, ARightClickShowsTheSevenItemsWithSettingsBold)
{
    Screenshot tray;
    EXPECT_TRUE(WaitUntil([&] {
        tray = SettledScreen(FullScreen());
        return CountPointerGreen(tray, TrayIconSlot(0)) > 0;
    }, kDeadline)) << "the icon is not in the picture";
    EXPECT_TRUE(KeepPicture(tray, "tray.png"));

    // The user's click: the shell calls the program back and the popup opens.
    ASSERT_NE(OpenTrayMenu(), nullptr) << "no popup after the right click";
    ASSERT_TRUE(CloseTrayMenu());

    // The same callback with the cursor above the taskbar: Wine keeps a popup opened on the
    // taskbar inside the screen, over the icon, where Windows would open it above the taskbar.
    HWND trayWindow = FindTrayWindow(program.ProcessId());
    ASSERT_NE(trayWindow, nullptr);
    POINT cursor = Centre(TrayIconSlot(0));
    cursor.y = TrayAreaRect().top - 160;
    ::SetCursorPos(cursor.x, cursor.y);
    ::PostMessageA(trayWindow, kTrayNotify, ID_TRAY_ICON, WM_RBUTTONUP);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = FindPopupMenuWindow(program.ProcessId())) != nullptr; }, kDeadline));
    RECT menuRect = WindowRect(popup);
    Screenshot menu = SettledScreen(menuRect);
    Screenshot desktop;
    EXPECT_TRUE(WaitUntil([&] {
        desktop = SettledScreen(FullScreen());
        return CountPointerGreen(desktop, TrayIconSlot(0)) > 0;
    }, kDeadline)) << "the icon is not in the picture";
    EXPECT_TRUE(KeepPicture(desktop, "tray_menu.png"));
    ASSERT_TRUE(CloseTrayMenu());

    // Drawn alike to the last pixel means the same items in the same order, "Settings..."
    // in bold; the same menu without its default item must look different.
    ReferenceCapture reference = ReferencePopup(cursor, ID_SETTINGS);
    Screenshot& expected = reference.settled;
    Screenshot withoutDefault = ReferencePopup(cursor, 0).settled;
    ASSERT_FALSE(expected.Empty());
    EXPECT_NE(expected.pixels, withoutDefault.pixels) << "the bold item does not show in a picture";
    bool alike = menu.width == expected.width && menu.height == expected.height && menu.pixels == expected.pixels;
    EXPECT_TRUE(alike) << "the program's popup differs from menu 134 with \"Settings...\" as default; see "
                       << ArtefactsDirectory() << "tray_menu_expected.png";
    if (!alike)
        KeepPicture(expected, "tray_menu_expected.png");
}

TEST_F(TrayProgram, CommandLineArgumentsShowsTheUsageText)
{
    ASSERT_NE(OpenTrayMenu(), nullptr);
    ChooseWithKeys(4);
    HWND box = WaitForMessageBox(program.ProcessId(), kUsage, kDeadline);
    ASSERT_NE(box, nullptr) << "no box with the usage text";
    EXPECT_EQ(WindowCaption(box), "kvMidi");
    Screenshot desktop = SettledScreen(FullScreen());
    EXPECT_TRUE(KeepPicture(desktop, "usage_box.png"));
    EXPECT_GT(CountPointerGreen(desktop, TrayIconSlot(0)), 0) << "the icon is in the picture";
    EXPECT_TRUE(DismissMessageBox(box, kDeadline));
    EXPECT_TRUE(program.IsRunning());
}

TEST_F(TrayProgram, AboutTwiceWithinFiveSecondsKeepsThePanelFiveSecondsAfterTheSecond)
{
    ASSERT_NO_FATAL_FAILURE(WaitForTheStartPanelToGo());
    ASSERT_NE(OpenTrayMenu(), nullptr);
    ChooseWithKeys(1);
    ASSERT_TRUE(WaitUntil([&] { return PanelShows(); }, kDeadline)) << "About did not show the panel";
    auto shown = steady_clock::now();

    RECT panel = WindowRect(controller);
    Screenshot desktop = SettledScreen(FullScreen());
    EXPECT_TRUE(KeepPicture(desktop, "about_panel.png"));
    EXPECT_GT(CountPointerGreen(desktop, TrayIconSlot(0)), 0) << "the icon is in the picture";
    EXPECT_GT(CountPointerGreen(desktop, panel), 0) << "the panel shows the application icon";
    // The title as wide as its text in the bold GUI font 18 pixels high, and not as in the
    // regular weight or at a cell height of 18.
    const char* titleText = "kvMidi version 1.2.0-dev";
    int drawn = TextWidth(desktop, WindowRect(::GetDlgItem(controller, IDC_TITLE)));
    int expected = ExtentInGuiFont(titleText, FW_BOLD, -18);
    for (auto [weight, height] : { std::pair<LONG, LONG>{ FW_NORMAL, -18 }, { FW_BOLD, 18 } }) {
        int other = ExtentInGuiFont(titleText, weight, height);
        EXPECT_LT(std::abs(drawn - expected), std::abs(drawn - other))
            << "title " << drawn << " px wide; bold at 18 px high: " << expected << ", weight " << weight
            << " at height " << height << ": " << other;
    }
    EXPECT_EQ(WindowText(::GetDlgItem(controller, IDC_TITLE)), "kvMidi version 1.2.0-dev");
    EXPECT_EQ(WindowText(::GetDlgItem(controller, IDC_REVISION)), "Revision: 46 (2022-11-04 01:32:49)");

    // The user's second choice comes two seconds after the panel showed: without the restart
    // of the time the panel would go three seconds later at the latest.
    std::this_thread::sleep_until(shown + 2s);
    ASSERT_TRUE(PanelShows()) << "the panel went within two seconds";
    auto second = steady_clock::now();
    ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
    ASSERT_TRUE(WaitUntil([&] { return !PanelShows(); }, kDeadline));
    EXPECT_GE(SecondsSince(second), 4.9) << "the panel went before 5 s after the second About";
    EXPECT_TRUE(program.IsRunning());
}

TEST_F(TrayProgram, EnterWhileThePanelShowsHidesItAndTheProgramGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(WaitForTheStartPanelToGo());
    auto about = steady_clock::now();
    ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
    ASSERT_TRUE(WaitUntil([&] { return PanelShows(); }, kDeadline));
    ::PostMessageA(controller, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(controller, WM_KEYUP, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil([&] { return !PanelShows(); }, kDeadline));
    EXPECT_LT(SecondsSince(about), 4.5) << "hidden by the timer, not by Enter";
    EXPECT_EQ(program.WaitForExit(1s), -1) << "Enter ended the program";
    // Still answering: the panel comes back on request.
    ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
    EXPECT_TRUE(WaitUntil([&] { return PanelShows(); }, kDeadline));
}

TEST_F(TrayProgram, AClickOnTheVersionTextHidesThePanelAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(WaitForTheStartPanelToGo());
    auto about = steady_clock::now();
    ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
    ASSERT_TRUE(WaitUntil([&] { return PanelShows(); }, kDeadline));
    ClickAt(Centre(WindowRect(::GetDlgItem(controller, IDC_TITLE))));
    ASSERT_TRUE(WaitUntil([&] { return !PanelShows(); }, kDeadline));
    EXPECT_LT(SecondsSince(about), 4.5) << "hidden by the timer, not by the click";
    EXPECT_TRUE(program.IsRunning());
    EXPECT_EQ(FindProcessWindow(program.ProcessId(), "#32770", nullptr), controller) << "nothing else opened";
}

TEST_F(TrayProgram, CommandsSwingThePointerUntilFiveSecondsAfterTheLast)
{
    ::PostMessageA(controller, kComLineEvent, 0, 1);
    auto last = steady_clock::now();
    EXPECT_TRUE(WaitUntil([] { return TrayPointerPose(0) == PointerPose::Diagonal; }, kDeadline));
    EXPECT_TRUE(WaitUntil([] { return TrayPointerPose(0) == PointerPose::Horizontal; }, kDeadline));
    EXPECT_FALSE(ShowsTheIdleIcon());
    ::PostMessageA(controller, kComLineEvent, 0, 0);
    last = steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return ShowsTheIdleIcon(); }, kDeadline));
    EXPECT_GE(SecondsSince(last), 4.9) << "the pointer stopped before 5 s after the last command";
    EXPECT_TRUE(listener.Receive(20000).has_value());
}
}
