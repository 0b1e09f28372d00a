// The COM switch monitor on a real (pseudo-terminal) port of the Wine prefix, and the port
// error dialog that opens by itself a port that appears while it waits. Its answers, and a
// start from the tray's settings while it waits, are seen by the end-to-end tests.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
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
// without a watched line the port is held with no thread. With one, every status read of the
// pseudo-terminal fails, as on an adapter that was pulled: the port is reported lost, and the
// monitor still stops at once.
TEST(ComSwitchMonitor, RetriesPollsOnlyWatchedLinesAndTheErrorDialogOpensAPortThatCame)
{
    CWinApp app("kvMidi");   // the error dialog's template and texts come from this module
    // Missing ports (from 200) and pseudo-terminal ports (from 230, 240) have ranges of their own,
    // above anything Wine maps by itself; numbers of 10 or more need the "\\.\" path.
    std::string missing = "COM" + std::to_string(UnusedComPortNumber(200));
    PseudoTerminalPort port(UnusedComPortNumber(230));
    ASSERT_TRUE(port.WaitUntilReady());
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ComSwitchMonitor monitor(window);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open({ .Port = missing }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    ASSERT_TRUE(monitor.Open({ .Port = port.Name() }));
    EXPECT_TRUE(monitor.IsOpen() && !monitor.IsPolling());
    monitor.Close();

    ASSERT_TRUE(monitor.Open({ .Port = port.Name(), .Cts = 1 }) && monitor.IsPolling());
    MSG message = {};
    EXPECT_TRUE(WaitUntil([&] { return ::PeekMessageA(&message, window, WM_COM_LINE_EVENT, WM_COM_PORT_STATE, PM_REMOVE); }));
    EXPECT_TRUE(message.message == WM_COM_PORT_STATE && message.wParam == 0);
    start = std::chrono::steady_clock::now();
    monitor.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);   // before the 2 s wait for a reopen

    // The adapter is plugged in while the dialog waits, with nobody there to answer.
    ComSwitches switches;
    int lateNumber = UnusedComPortNumber(240);
    std::optional<PseudoTerminalPort> late;
    int ticks = 0;
    g_tick = [&] {
        if (HWND dialog = FindProcessWindowIf(::GetCurrentProcessId(), IsPortErrorDialog); dialog && !late)
            late.emplace(lateNumber);
        else if (dialog && ++ticks > 400)
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);   // a test that fails, not one that hangs
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);
    EXPECT_EQ(switches.Start({ .Port = "COM" + std::to_string(lateNumber) }, window, nullptr),
              ComSwitchesResult::OpenedWhileAsking);
    EXPECT_TRUE(switches.IsOpen() && late);
    ::KillTimer(nullptr, timer);
    switches.Stop();
    ::DestroyWindow(window);
}
}
