// The tray icon with the real shell of the Wine desktop: its window, menu, callbacks and
// frames, with the program's own resources.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/controller_timers.h"
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/support/program_resources.h"
#include "tests/support/screenshot.h"
#include "tests/support/ui_driver.h"
#include "ui/system_tray.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 10s;

// Stands in for the controller: the main window that the tray's commands go to.
class CommandSink : public CWnd {
public:
    std::vector<UINT> commands;
    int emptyMessagesAfterCommands = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        if (message == WM_NULL && !commands.empty())
            ++emptyMessagesAfterCommands;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// What a timer saw of a popup menu it found open, before it closed it.
struct MenuSeen {
    bool shown = false;
    HMENU menu = nullptr;
    UINT defaultItem = 0;
    WORD keyToChoose = 0;   // 0: close without choosing
};
MenuSeen* g_menuSeen = nullptr;

void CALLBACK InspectOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindPopupMenuWindow(::GetCurrentProcessId());
    if (!popup || !g_menuSeen || g_menuSeen->shown)
        return;
    g_menuSeen->shown = true;
    g_menuSeen->menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
    g_menuSeen->defaultItem = ::GetMenuDefaultItem(g_menuSeen->menu, FALSE, 0);
    if (g_menuSeen->keyToChoose) {
        // Up from no selection lands on the last item; Enter chooses it.
        ::PostMessageA(popup, WM_KEYDOWN, g_menuSeen->keyToChoose, 0);
        ::PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        ::EndMenu();
    }
}

// Runs a callback notification while a timer watches for the popup it may open.
LRESULT NotifyWatchingMenus(HWND trayWindow, WPARAM iconId, LPARAM event, MenuSeen& seen)
{
    g_menuSeen = &seen;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InspectOpenMenu);
    LRESULT result = ::SendMessageA(trayWindow, WM_TRAY_NOTIFY, iconId, event);
    ::KillTimer(nullptr, timer);
    g_menuSeen = nullptr;
    return result;
}

class TrayWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(resources.IsLoaded()) << "kvMidi.exe must sit beside the tests";
        ASSERT_TRUE(sink.CreateEx(0, AfxRegisterWndClass(0), "sink", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
        AfxGetApp()->m_pMainWnd = &sink;
        icon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI), IMAGE_ICON, 16,
                                               16, LR_DEFAULTCOLOR));
        tray = std::make_unique<CSystemTray>();
    }

    void TearDown() override
    {
        tray.reset();
        AfxGetApp()->m_pMainWnd = nullptr;
        if (icon)
            ::DestroyIcon(icon);
    }

    // The controller's start-up calls.
    // The controller's start-up calls; the icon is then the only one in the notification area.
    void StartLikeTheController()
    {
        ASSERT_TRUE(tray->AddIcon(icon));
        ASSERT_TRUE(tray->LoadFrames(IDI_FRAME_1, IDI_FRAME_3));
        ASSERT_TRUE(tray->SetDefaultItem(ID_SETTINGS));
        ASSERT_TRUE(PumpUntil([&] { return ShownPointer() == PointerPose::Upright; }, kDeadline));
    }

    static PointerPose ShownPointer() { return TrayPointerPose(0); }

    ProgramResources resources;
    CommandSink sink;
    HICON icon = nullptr;
    std::unique_ptr<CSystemTray> tray;
};

TEST_F(TrayWindow, TheIconShowsInTheNotificationAreaUntilTheTrayGoes)
{
    ASSERT_EQ(ShownPointer(), PointerPose::Unknown) << "no icon before";
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    tray.reset();
    EXPECT_TRUE(PumpUntil([&] { return ShownPointer() == PointerPose::Unknown; }, kDeadline));
}

TEST_F(TrayWindow, ItsWindowIsAHiddenTopLevelPopup)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    HWND window = tray->GetSafeHwnd();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetParent(window), nullptr);
    EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION), WS_POPUP);
    EXPECT_EQ(WindowText(window), "");
}

TEST_F(TrayWindow, ThePopupHasTheSevenItemsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    CMenu* popup = tray->PopupMenu();
    ASSERT_NE(popup, nullptr);
    struct Item { UINT id; const char* caption; };
    const Item items[] = {
        { ID_ABOUT, "About kvMidi..." }, { 0, "" }, { static_cast<UINT>(-1), "Profiles" },
        { ID_SETTINGS, "Settings..." }, { ID_USAGE, "Command-line arguments..." },
        { ID_RESTART, "Restart" }, { IDOK, "Exit" },
    };
    ASSERT_EQ(popup->GetMenuItemCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(popup->GetMenuItemID(i), items[i].id) << "position " << i;
        EXPECT_EQ(popup->GetMenuString(static_cast<UINT>(i), MF_BYPOSITION), items[i].caption) << "position " << i;
    }
    EXPECT_TRUE(popup->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(popup->GetDefaultItem(0), static_cast<UINT>(ID_SETTINGS));

    CMenu* profiles = popup->GetSubMenu(2);
    ASSERT_NE(profiles, nullptr);
    ASSERT_EQ(profiles->GetMenuItemCount(), 8);
    for (int n = 1; n <= 8; ++n) {
        UINT id = static_cast<UINT>(ID_PROFILE_1 + n - 1);
        EXPECT_EQ(profiles->GetMenuItemID(n - 1), id);
        EXPECT_EQ(profiles->GetMenuString(id, MF_BYCOMMAND), "Profile " + std::to_string(n));
        EXPECT_TRUE(profiles->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) << "profile " << n;
    }
}

TEST_F(TrayWindow, ItemChecksAreSetAndClearedByCommand)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    CMenu* popup = tray->PopupMenu();
    EXPECT_TRUE(tray->SetItemCheck(true, ID_PROFILE_1 + 2));
    EXPECT_TRUE(popup->GetMenuState(ID_PROFILE_1 + 2, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(tray->SetItemCheck(false, ID_PROFILE_1 + 2));
    EXPECT_FALSE(popup->GetMenuState(ID_PROFILE_1 + 2, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(TrayWindow, WithoutItsMenuTheMenuCallsReportFailure)
{
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    EXPECT_FALSE(tray->SetItemCheck(true, ID_PROFILE_1));
    EXPECT_FALSE(tray->SetDefaultItem(ID_SETTINGS));
}

TEST_F(TrayWindow, OnlyARightClickOrADoubleClickOnItsOwnIconDoesSomething)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    struct Case { WPARAM id; LPARAM event; LRESULT result; };
    const Case cases[] = {
        { ID_TRAY_ICON + 1, WM_RBUTTONUP, 0 }, { ID_TRAY_ICON + 1, WM_LBUTTONDBLCLK, 0 },
        { ID_TRAY_ICON, WM_LBUTTONDOWN, 1 }, { ID_TRAY_ICON, WM_LBUTTONUP, 1 },
        { ID_TRAY_ICON, WM_MOUSEMOVE, 1 }, { ID_TRAY_ICON, WM_RBUTTONDOWN, 1 },
        { ID_TRAY_ICON, WM_MBUTTONUP, 1 },
    };
    for (const Case& c : cases) {
        MenuSeen seen;
        EXPECT_EQ(NotifyWatchingMenus(tray->GetSafeHwnd(), c.id, c.event, seen), c.result) << c.event;
        EXPECT_FALSE(seen.shown) << c.event;
    }
    PumpUntil([] { return false; }, 200ms);
    EXPECT_TRUE(sink.commands.empty());
}

TEST_F(TrayWindow, ADoubleClickPostsTheDefaultCommandWithoutAMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    MenuSeen seen;
    EXPECT_EQ(NotifyWatchingMenus(tray->GetSafeHwnd(), ID_TRAY_ICON, WM_LBUTTONDBLCLK, seen), 1);
    EXPECT_FALSE(seen.shown);
    EXPECT_TRUE(PumpUntil([&] { return !sink.commands.empty(); }, kDeadline));
    EXPECT_EQ(sink.commands, (std::vector<UINT>{ ID_SETTINGS }));
}

TEST_F(TrayWindow, ARightClickShowsThePopupWithTheDefaultItemAppliedAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    // As if the menu had been rebuilt meanwhile.
    tray->PopupMenu()->SetDefaultItem(ID_ABOUT);
    MenuSeen seen;
    seen.keyToChoose = VK_UP;
    EXPECT_EQ(NotifyWatchingMenus(tray->GetSafeHwnd(), ID_TRAY_ICON, WM_RBUTTONUP, seen), 1);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.menu, tray->PopupMenu()->GetSafeHmenu());
    EXPECT_EQ(seen.defaultItem, static_cast<UINT>(ID_SETTINGS));
    // The chosen item reaches the main window as a command, and the empty message follows.
    EXPECT_TRUE(PumpUntil([&] { return sink.emptyMessagesAfterCommands > 0; }, kDeadline));
    EXPECT_EQ(sink.commands, (std::vector<UINT>{ IDOK }));
}

TEST_F(TrayWindow, WithoutAMainWindowCallbacksAreIgnored)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    AfxGetApp()->m_pMainWnd = nullptr;
    MenuSeen seen;
    EXPECT_EQ(NotifyWatchingMenus(tray->GetSafeHwnd(), ID_TRAY_ICON, WM_RBUTTONUP, seen), 0);
    EXPECT_FALSE(seen.shown);
}

TEST_F(TrayWindow, TheFramesSwingThePointerAndStopPutsItUpright)
{
    ASSERT_NO_FATAL_FAILURE(StartLikeTheController());
    EXPECT_EQ(ShownPointer(), PointerPose::Upright);
    Screenshot idle = CaptureScreenRect(TrayIconSlot(0));
    tray->StartFrames();
    EXPECT_TRUE(tray->IsAnimating());
    EXPECT_TRUE(PumpUntil([&] { return ShownPointer() == PointerPose::Diagonal; }, kDeadline));
    EXPECT_TRUE(PumpUntil([&] { return ShownPointer() == PointerPose::Horizontal; }, kDeadline));
    tray->StopFrames();
    EXPECT_FALSE(tray->IsAnimating());
    // The first frame stands upright too; only the application icon itself looks like this.
    EXPECT_TRUE(PumpUntil([&] { return CaptureScreenRect(TrayIconSlot(0)).pixels == idle.pixels; }, kDeadline));
    // A tick of another timer of the window changes nothing.
    ::SendMessageA(tray->GetSafeHwnd(), WM_TIMER, TIMER_ACTIVITY, 0);
    EXPECT_FALSE(tray->IsAnimating());
}
}
