// The COM switch monitor on a real (pseudo-terminal) port of the Wine prefix. The port error
// dialog around it is seen by the end-to-end tests.
#include <gtest/gtest.h>

#include "input/com_switch_monitor_win.h"
#include "tests/support/pseudo_terminal_port.h"

using namespace std::chrono_literals;

namespace {
// A failed open makes three attempts 100 ms apart and leaves the monitor ready for another;
// without a watched line the port is held with no thread. With one, every status read of the
// pseudo-terminal fails, as on an adapter that was pulled: the port is reported lost, and the
// monitor still stops at once.
TEST(ComSwitchMonitor, RetriesPollsOnlyWatchedLinesReportsALostPortAndStopsAtOnce)
{
    // Missing ports (from 200) and pseudo-terminal ports (from 230) have ranges of their own,
    // above anything Wine maps by itself; numbers of 10 or more need the "\\.\" path.
    PseudoTerminalPort port(UnusedComPortNumber(230));
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ComSwitchMonitor monitor(window);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open({ .Port = "COM" + std::to_string(UnusedComPortNumber(200)) }));
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
    ::DestroyWindow(window);
}
}
