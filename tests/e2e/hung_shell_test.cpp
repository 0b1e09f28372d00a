// The process that hosts the notification area stops answering for three seconds while five
// devices send: every message still reaches the network, in order, because nothing on the
// command path waits on the shell.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "framework/win_handles.h"
#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;

namespace {
// Every thread of every explorer.exe, suspended for the object's life: Wine's shell, its
// desktop and its notification area, as a busy or restarting Explorer would be.
class PausedShell {
public:
    PausedShell()
    {
        UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0));
        std::vector<DWORD> shells;
        PROCESSENTRY32 process = {};
        process.dwSize = sizeof process;
        for (BOOL more = ::Process32First(snapshot.Get(), &process); more; more = ::Process32Next(snapshot.Get(), &process))
            if (_stricmp(process.szExeFile, "explorer.exe") == 0)
                shells.push_back(process.th32ProcessID);
        THREADENTRY32 thread = {};
        thread.dwSize = sizeof thread;
        for (BOOL more = ::Thread32First(snapshot.Get(), &thread); more; more = ::Thread32Next(snapshot.Get(), &thread)) {
            for (DWORD shell : shells) {
                if (thread.th32OwnerProcessID != shell)
                    continue;
                UniqueKernelHandle handle(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread.th32ThreadID));
                if (handle && ::SuspendThread(handle.Get()) != static_cast<DWORD>(-1))
                    m_threads.push_back(std::move(handle));
            }
        }
    }
    ~PausedShell()
    {
        for (UniqueKernelHandle& thread : m_threads)
            ::ResumeThread(thread.Get());
    }
    bool IsPaused() const { return !m_threads.empty(); }

private:
    std::vector<UniqueKernelHandle> m_threads;
};

TEST(HungShell, NoMidiMessageIsLostWhileTheNotificationAreaStopsAnswering)
{
    constexpr unsigned kDevices = 5;
    TempDirectory folder;
    UdpListener listener("127.255.255.255");
    SeedIni(folder.Path(), listener.Port(), "[Midi]\r\nDevices=0 1 2 3 4 \r\n");
    KvMidiProcess program;
    ASSERT_TRUE(program.Start("-a " + folder.Path(), std::string(virtual_midi::kConfigVariable) + "=A,B,C,D,E"));
    VirtualMidiDriver driver = VirtualMidiDriver::Find(program.ProcessId(), kProgramDeadline);
    ASSERT_TRUE(WaitUntil([&] {
        for (unsigned device = 0; device < kDevices; ++device)
            if (driver.Query(device, virtual_midi::kIsStarted) != 1)
                return false;
        return true;
    }));

    std::atomic<bool> receiving{ true };
    std::atomic<int> received{ 0 };
    std::thread receiver([&] {
        while (receiving)
            received += listener.Receive(50).has_value() ? 1 : 0;
    });
    int delivered = 0;
    {
        PausedShell shell;
        ASSERT_TRUE(shell.IsPaused());
        // 200 messages a second on each device, ten at a time as a driver hands them over,
        // while the tray's animation asks the paused shell for a new frame every 800 ms.
        auto end = std::chrono::steady_clock::now() + 3s;
        for (std::uint32_t k = 0; std::chrono::steady_clock::now() < end; k += 10) {
            for (unsigned device = 0; device < kDevices; ++device) {
                std::vector<virtual_midi::ShortMessage> batch;
                for (std::uint32_t i = k; i < k + 10; ++i)
                    batch.push_back({ virtual_midi::SequenceMessage(i), 0 });
                delivered += driver.Deliver(device, batch);
            }
            std::this_thread::sleep_for(50ms);   // the pace of the stream, not a wait for a result
        }
    }
    EXPECT_TRUE(WaitUntil([&] { return received >= delivered; }, 20s));
    receiving = false;
    receiver.join();
    EXPECT_EQ(received, delivered);
    EXPECT_GT(delivered, 2000);
    EXPECT_TRUE(program.Exit(kProgramDeadline));
}
}
