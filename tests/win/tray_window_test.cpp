// The tray icon with the real shell of the Wine desktop: added, changed by the frames and
// deleted, and its double click turned into the default command of the main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <utility>

#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/support/program_run.h"
#include "ui/system_tray.h"

namespace {
Screenshot IconSlot() { return CaptureScreenRect(FirstTrayIconSlot()); }

TEST(TrayWindow, TheIconIsAddedChangedByTheFramesAndDeletedWithTheTray)
{
    CWinApp app("kvMidi");   // the tray sends its commands to the application's main window
    CWnd mainWindow;
    ASSERT_TRUE(mainWindow.CreateEx(0, AfxRegisterWndClass(0), "main", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
    AfxGetApp()->m_pMainWnd = &mainWindow;
    HICON icon = static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ASSERT_EQ(CountPointerGreen(IconSlot()), 0) << "an icon is left from before";

    auto tray = std::make_unique<CSystemTray>();
    ASSERT_TRUE(tray->AddIcon(icon));
    ASSERT_TRUE(tray->LoadFrames(IDI_FRAME_1, IDI_FRAME_3) && tray->SetDefaultItem(ID_SETTINGS));
    // The same picture twice: the taskbar has painted the icon whole.
    Screenshot idle, before;
    ASSERT_TRUE(PumpUntil([&] {
        before = std::exchange(idle, IconSlot());
        return CountPointerGreen(idle) > 0 && idle == before;
    })) << "the icon never showed";

    // A work-area change finds the icon still there: it stays shown, and the frames replace
    // it in place; stopping puts the application icon back.
    ::SendMessageA(tray->GetSafeHwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    tray->StartFrames();
    Screenshot frame;
    EXPECT_TRUE(PumpUntil([&] { return CountPointerGreen(frame = IconSlot()) > 0 && frame != idle; }));
    tray->StopFrames();
    EXPECT_TRUE(PumpUntil([&] { return IconSlot() == idle; }));

    // A double click on the icon posts the default command, without a menu.
    EXPECT_EQ(::SendMessageA(tray->GetSafeHwnd(), WM_TRAY_NOTIFY, ID_TRAY_ICON, WM_LBUTTONDBLCLK), 1);
    MSG command = {};
    EXPECT_TRUE(::PeekMessageA(&command, mainWindow.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(command.wParam, static_cast<WPARAM>(ID_SETTINGS));

    tray.reset();
    EXPECT_TRUE(PumpUntil([&] { return CountPointerGreen(IconSlot()) == 0; })) << "the icon stayed";
    ::DestroyIcon(icon);
}
}
