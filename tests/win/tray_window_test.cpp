// The tray icon with the real shell of the Wine desktop: added, changed by the frames and
// deleted, and its double click turned into the default command of the main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "app/controller_timers.h"
#include "framework/win_app.h"
#include "res/resource.h"
#include "tests/support/screenshot.h"
#include "ui/system_tray.h"

using namespace std::chrono_literals;

namespace {
// Handles this thread's messages until the condition holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s)
{
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// Stands in for the controller: the main window that the tray's commands go to.
class CommandSink : public CWnd {
public:
    std::vector<UINT> commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

Screenshot IconSlot() { return CaptureScreenRect(FirstTrayIconSlot()); }

TEST(TrayWindow, TheIconIsAddedChangedByTheFramesAndDeletedWithTheTray)
{
    CWinApp app("kvMidi");   // the tray sends its commands to the application's main window
    CommandSink sink;
    ASSERT_TRUE(sink.CreateEx(0, AfxRegisterWndClass(0), "sink", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
    AfxGetApp()->m_pMainWnd = &sink;
    HICON icon = static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ASSERT_EQ(CountPointerGreen(IconSlot()), 0) << "an icon is left from before";

    auto tray = std::make_unique<CSystemTray>();
    ASSERT_TRUE(tray->AddIcon(icon));
    ASSERT_TRUE(tray->LoadFrames(IDI_FRAME_1, IDI_FRAME_3));
    ASSERT_TRUE(tray->SetDefaultItem(ID_SETTINGS));
    Screenshot idle;
    ASSERT_TRUE(PumpUntil([&] { return CountPointerGreen(idle = IconSlot()) > 0; })) << "the icon never showed";

    // A work-area change finds the icon still there: it stays shown, and the frames replace
    // it in place; stopping puts the application icon back.
    ::SendMessageA(tray->GetSafeHwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    tray->StartFrames();
    EXPECT_TRUE(PumpUntil([&] { return CountPointerGreen(IconSlot()) > 0 && IconSlot().pixels != idle.pixels; }));
    tray->StopFrames();
    EXPECT_TRUE(PumpUntil([&] { return IconSlot().pixels == idle.pixels; }));

    // A double click on the icon is the default command, without a menu.
    EXPECT_EQ(::SendMessageA(tray->GetSafeHwnd(), WM_TRAY_NOTIFY, ID_TRAY_ICON, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(PumpUntil([&] { return !sink.commands.empty(); }));
    EXPECT_EQ(sink.commands, std::vector<UINT>{ ID_SETTINGS });

    tray.reset();
    EXPECT_TRUE(PumpUntil([&] { return CountPointerGreen(IconSlot()) == 0; })) << "the icon stayed";
    AfxGetApp()->m_pMainWnd = nullptr;
    ::DestroyIcon(icon);
}
}
