// The COM switch monitor on a real (pseudo-terminal) port of the Wine prefix, and the port
// error dialog's answers around it.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "framework/win_app.h"
#include "input/com_switches_win.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/pseudo_terminal_port.h"

using namespace std::chrono_literals;

namespace {
// Missing ports (from 200) and pseudo-terminal ports (from 230) have ranges of their own, above
// anything Wine maps by itself; numbers of 10 or more need the "\\.\" path.
ComSwitchConfig MissingPort() { return { .Port = "COM" + std::to_string(UnusedComPortNumber(200)) }; }

// A failed open makes three attempts 100 ms apart and leaves the monitor ready for another;
// without a watched line the port is held with no thread, and a second open changes nothing.
// With one, every status read of the pseudo-terminal fails, as on an adapter that was pulled:
// the port is reported lost, and the monitor still stops at once.
TEST(ComSwitchMonitor, RetriesAFailedOpenPollsOnlyWatchedLinesAndReportsAPortWhoseReadsFail)
{
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ComSwitchMonitor monitor(window);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open(MissingPort()));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_FALSE(monitor.IsOpen());
    PseudoTerminalPort port(UnusedComPortNumber(230));
    ASSERT_TRUE(port.WaitUntilReady());
    ASSERT_TRUE(monitor.Open({ .Port = port.Name() }));
    EXPECT_TRUE(monitor.Open({ .Port = "COM-not-a-port", .Cts = 1 }));
    EXPECT_TRUE(monitor.IsOpen() && !monitor.IsPolling());
    EXPECT_TRUE(monitor.Close());
    EXPECT_FALSE(monitor.IsOpen());

    ASSERT_TRUE(monitor.Open({ .Port = port.Name(), .Cts = 1 }) && monitor.IsPolling());
    MSG message = {};
    EXPECT_TRUE(WaitUntil([&] { return ::PeekMessageA(&message, window, WM_COM_LINE_EVENT, WM_COM_PORT_STATE, PM_REMOVE); }));
    EXPECT_TRUE(message.message == WM_COM_PORT_STATE && message.wParam == 0);
    start = std::chrono::steady_clock::now();
    monitor.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    ::DestroyWindow(window);
}

// The error dialog's modal loop dispatches the tray's settings change made meanwhile: played
// here by a tick that installs a monitor on a good port, then answers the dialog.
std::unique_ptr<ComSwitchMonitor> g_current;
ComSwitchConfig g_goodPort;
bool g_answered = false;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindProcessWindowIf(::GetCurrentProcessId(), [](HWND window) {
        return ::IsWindowVisible(window) && WindowText(window) == "COM port opening error";
    });
    if (!dialog || std::exchange(g_answered, true))
        return;
    StartComSwitchMonitor(g_current, g_goodPort, nullptr, nullptr);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST(ComSwitches, DisablingAlsoStopsAMonitorInstalledWhileTheErrorDialogWaited)
{
    CWinApp app("kvMidi");   // the error dialog's template and texts come from this module
    PseudoTerminalPort port(UnusedComPortNumber(230));
    ASSERT_TRUE(port.WaitUntilReady());
    g_goodPort.Port = port.Name();
    ComSwitchConfig missing = MissingPort();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);
    EXPECT_EQ(StartComSwitchMonitor(g_current, missing, nullptr, nullptr), ComSwitchesResult::DisabledForSession);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_answered && g_current == nullptr);
}
}
