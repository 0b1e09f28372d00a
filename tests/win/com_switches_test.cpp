// The COM switch monitor on a real (pseudo-terminal) port of the Wine prefix.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "input/com_switch_monitor_win.h"
#include "tests/support/pseudo_terminal_port.h"

using namespace std::chrono_literals;

namespace {
// Missing ports and pseudo-terminal ports come from ranges of their own, above anything Wine
// maps by itself.
constexpr int kFirstMissingPort = 200;
constexpr int kFirstTerminalPort = 230;

struct Watch {
    int cts;
    int ri;
    bool polls;   // a thread only while a line is watched
};

TEST(ComSwitchMonitor, HoldsThePortWhileOpenAndPollsOnlyWhenALineIsWatched)
{
    int number = UnusedComPortNumber(kFirstTerminalPort);
    ASSERT_GE(number, 10);
    PseudoTerminalPort port(number);
    ASSERT_TRUE(port.WaitUntilReady());

    for (const Watch& w : { Watch{ 0, 0, false }, Watch{ 1, 0, true }, Watch{ 0, 1, true } }) {
        ComSwitchConfig config;
        config.Port = port.Name();
        config.Cts = w.cts;
        config.Ri = w.ri;
        config.RtsOn = 1;
        config.DtrOn = 1;
        ComSwitchMonitor monitor(nullptr);
        ASSERT_TRUE(monitor.Open(config));
        EXPECT_EQ(monitor.IsPolling(), w.polls);
        EXPECT_TRUE(port.WaitUntilHeld());
        // Opening an open monitor changes nothing.
        ComSwitchConfig other;
        other.Port = "COM-not-a-port";
        EXPECT_TRUE(monitor.Open(other));
        EXPECT_EQ(monitor.IsPolling(), w.polls);
        // The thread ends before the port goes.
        EXPECT_TRUE(monitor.Close());
        EXPECT_FALSE(monitor.IsPolling());
        EXPECT_FALSE(monitor.IsOpen());
        EXPECT_TRUE(port.WaitUntilReleased());
    }
}

TEST(ComSwitchMonitor, AFailedOpenTriesThreeTimesAndLeavesTheMonitorReadyForAnother)
{
    int missing = UnusedComPortNumber(kFirstMissingPort);
    ASSERT_NE(missing, 0);
    ComSwitchConfig config;
    config.Port = "COM" + std::to_string(missing);
    ComSwitchMonitor monitor(nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open(config));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms) << "three attempts, each followed by 100 ms";
    EXPECT_FALSE(monitor.IsOpen());

    int number = UnusedComPortNumber(kFirstTerminalPort);
    PseudoTerminalPort port(number);
    ASSERT_TRUE(port.WaitUntilReady());
    config.Port = port.Name();
    EXPECT_TRUE(monitor.Open(config));
    EXPECT_TRUE(port.WaitUntilHeld());
}
}
