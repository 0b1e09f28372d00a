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
// Missing ports and pseudo-terminal ports come from ranges of their own, above anything Wine
// maps by itself; both are numbered 10 or more, which needs the "\\.\" path.
constexpr int kFirstMissingPort = 200;
constexpr int kFirstTerminalPort = 230;

ComSwitchConfig ConfigFor(const std::string& port, int cts)
{
    ComSwitchConfig config;
    config.Port = port;
    config.Cts = cts;
    return config;
}

// A failed open makes three attempts 100 ms apart and leaves the monitor ready for another;
// without a watched line the port is held with no thread; a second open changes nothing.
TEST(ComSwitchMonitor, OpensAfterAFailedOpenAndPollsOnlyWhenALineIsWatched)
{
    ComSwitchMonitor monitor(nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open(ConfigFor("COM" + std::to_string(UnusedComPortNumber(kFirstMissingPort)), 0)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_FALSE(monitor.IsOpen());
    PseudoTerminalPort port(UnusedComPortNumber(kFirstTerminalPort));
    ASSERT_TRUE(port.WaitUntilReady());
    ASSERT_TRUE(monitor.Open(ConfigFor(port.Name(), 0)));
    EXPECT_TRUE(monitor.Open(ConfigFor("COM-not-a-port", 1)));
    EXPECT_TRUE(monitor.IsOpen() && !monitor.IsPolling());
    EXPECT_TRUE(monitor.Close());
    EXPECT_FALSE(monitor.IsOpen());
}

// Every status read of the pseudo-terminal fails, as on an adapter that was pulled: the port
// is reported lost, is retried every 2 s, and the monitor still stops at once.
TEST(ComSwitchMonitor, APortWhoseStatusReadFailsIsReportedLost)
{
    PseudoTerminalPort port(UnusedComPortNumber(kFirstTerminalPort));
    ASSERT_TRUE(port.WaitUntilReady());
    HWND window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ComSwitchMonitor monitor(window);
    MSG message = {};
    ASSERT_TRUE(monitor.Open(ConfigFor(port.Name(), 1)) && monitor.IsPolling());
    EXPECT_TRUE(WaitUntil([&] { return ::PeekMessageA(&message, window, WM_COM_LINE_EVENT, WM_COM_PORT_STATE, PM_REMOVE); }));
    EXPECT_TRUE(message.message == WM_COM_PORT_STATE && message.wParam == 0);
    auto start = std::chrono::steady_clock::now();
    monitor.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    ::DestroyWindow(window);
}

// The error dialog's modal loop dispatches the tray's settings change made meanwhile: played
// here by a tick that installs a monitor on a good port, then answers the dialog.
struct Meanwhile {
    std::unique_ptr<ComSwitchMonitor>& current;
    ComSwitchConfig config;
    bool done = false;
};
Meanwhile* g_meanwhile = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindProcessWindowIf(::GetCurrentProcessId(), [](HWND window) {
        return ::IsWindowVisible(window) && WindowText(window) == "COM port opening error";
    });
    if (!dialog || !g_meanwhile || std::exchange(g_meanwhile->done, true))
        return;
    StartComSwitchMonitor(g_meanwhile->current, g_meanwhile->config, nullptr, nullptr);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST(ComSwitches, DisablingAlsoStopsAMonitorInstalledWhileTheErrorDialogWaited)
{
    CWinApp app("kvMidi");   // the error dialog's template and texts come from this module
    PseudoTerminalPort port(UnusedComPortNumber(kFirstTerminalPort));
    ASSERT_TRUE(port.WaitUntilReady());
    std::unique_ptr<ComSwitchMonitor> current;
    Meanwhile meanwhile{ current, ConfigFor(port.Name(), 0) };
    g_meanwhile = &meanwhile;
    ComSwitchConfig missing = ConfigFor("COM" + std::to_string(UnusedComPortNumber(kFirstMissingPort)), 0);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);
    EXPECT_EQ(StartComSwitchMonitor(current, missing, nullptr, nullptr), ComSwitchesResult::DisabledForSession);
    ::KillTimer(nullptr, timer);
    g_meanwhile = nullptr;
    EXPECT_TRUE(meanwhile.done && current == nullptr);
}
}
