// The notification area stops answering for three seconds while five devices send: every
// message still reaches the network, because nothing on the command path waits on the shell.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/program_run.h"

using namespace std::chrono_literals;

namespace {
TEST(HungShell, NoMidiMessageIsLostWhileTheNotificationAreaStopsAnswering)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start("[Midi]\r\nDevices=0 1 2 3 4 \r\n", "", std::string(virtual_midi::kConfigVariable) + "=A,B,C,D,E"));
    VirtualMidiDriver driver = VirtualMidiDriver::Find(run.Pid(), kProgramDeadline);
    const unsigned devices[] = { 0, 1, 2, 3, 4 };
    ASSERT_TRUE(WaitUntil([&] {
        return std::all_of(std::begin(devices), std::end(devices),
                           [&](unsigned device) { return driver.Query(device, virtual_midi::kIsStarted) == 1; });
    }));
    // The thread of Wine's taskbar, which answers every call of the notification area, as a
    // busy or restarting Explorer would hold it.
    DWORD trayThread = ::GetWindowThreadProcessId(::FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    UniqueKernelHandle shell(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, trayThread));
    ASSERT_TRUE(shell && ::SuspendThread(shell.Get()) != static_cast<DWORD>(-1));

    std::atomic<bool> receiving{ true };
    std::atomic<int> received{ 0 };
    std::thread receiver([&] {
        while (receiving)
            received += run.Listener().Receive(50).has_value() ? 1 : 0;
    });
    // 200 messages a second on each device, ten at a time as a driver hands them over,
    // while the tray's animation asks the paused shell for a new frame every 800 ms.
    int delivered = 0;
    for (auto end = std::chrono::steady_clock::now() + 3s; std::chrono::steady_clock::now() < end;) {
        for (unsigned device : devices) {
            std::vector<virtual_midi::ShortMessage> batch;
            for (std::uint32_t i = 0; i < 10; ++i)
                batch.push_back({ virtual_midi::SequenceMessage(static_cast<std::uint32_t>(delivered) + i), 0 });
            delivered += driver.Deliver(device, batch);
        }
        std::this_thread::sleep_for(50ms);   // the pace of the stream, not a wait for a result
    }
    ::ResumeThread(shell.Get());
    EXPECT_TRUE(WaitUntil([&] { return received >= delivered; }));
    receiving = false;
    receiver.join();
    EXPECT_EQ(received, delivered);
    EXPECT_GT(delivered, 2000);
}
}
