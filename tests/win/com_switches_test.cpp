// The COM switch monitor on a real (pseudo-terminal) port of the Wine prefix, and the port
// error dialog's answer around it.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/win_app.h"
#include "input/com_switches_win.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/pseudo_terminal_port.h"

using namespace std::chrono_literals;

namespace {
std::function<void()> g_tick;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) { g_tick(); }

// A failed open makes three attempts 100 ms apart and leaves the monitor ready for another;
// without a watched line the port is held with no thread.
// With one, every status read of the pseudo-terminal fails, as on an adapter that was pulled:
// the port is reported lost, and the monitor still stops at once.
TEST(ComSwitchMonitor, RetriesPollsOnlyWatchedLinesAndTheErrorDialogRetriesByItself)
{
    CWinApp app("kvMidi");   // the error dialog's template and texts come from this module
    // Missing ports (from 200) and pseudo-terminal ports (from 230, 240) have ranges of their own,
    // above anything Wine maps by itself; numbers of 10 or more need the "\\.\" path.
    ComSwitchConfig missing{ .Port = "COM" + std::to_string(UnusedComPortNumber(200)) };
    PseudoTerminalPort port(UnusedComPortNumber(230));
    ASSERT_TRUE(port.WaitUntilReady());
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto monitor = std::make_unique<ComSwitchMonitor>(window);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor->Open(missing));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    ASSERT_TRUE(monitor->Open({ .Port = port.Name() }));
    EXPECT_TRUE(monitor->IsOpen() && !monitor->IsPolling());
    monitor->Close();

    ASSERT_TRUE(monitor->Open({ .Port = port.Name(), .Cts = 1 }) && monitor->IsPolling());
    MSG message = {};
    EXPECT_TRUE(WaitUntil([&] {
        return ::PeekMessageA(&message, window, WM_COM_LINE_EVENT, WM_COM_PORT_STATE, PM_REMOVE);
    }));
    EXPECT_TRUE(message.message == WM_COM_PORT_STATE && message.wParam == 0);
    start = std::chrono::steady_clock::now();
    monitor->Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);   // before the 2 s wait for a reopen

    // While the error dialog waits, a start from the tray's settings stands, whatever the user
    // answers afterwards; and a port that appears is opened by the dialog itself, which ends.
    monitor.reset();
    ComSwitches switches;
    int lateNumber = UnusedComPortNumber(240);
    std::optional<PseudoTerminalPort> late;
    std::function<void(HWND)> whenAsked = [&](HWND dialog) {
        EXPECT_EQ(switches.Start({ .Port = port.Name() }, window, nullptr), ComSwitchesResult::Open);
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    int shownTicks = 0;
    g_tick = [&] {
        HWND dialog = FindProcessWindowIf(::GetCurrentProcessId(), IsPortErrorDialog);
        if (dialog && shownTicks++ == 0)
            whenAsked(dialog);
        else if (dialog && shownTicks > 400)
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);   // a test that fails, not one that hangs
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);
    EXPECT_EQ(switches.Start(missing, window, nullptr), ComSwitchesResult::Superseded);
    EXPECT_TRUE(switches.IsOpen());
    shownTicks = 0;
    whenAsked = [&](HWND) { late.emplace(lateNumber); };
    EXPECT_EQ(switches.Start({ .Port = "COM" + std::to_string(lateNumber) }, window, nullptr),
              ComSwitchesResult::OpenedWhileAsking);
    EXPECT_TRUE(switches.IsOpen() && shownTicks > 0);
    ::KillTimer(nullptr, timer);
    switches.Stop();
    ::DestroyWindow(window);
}
}
