// The sending thread between real threads: callbacks flooding and trickling into rings while the
// window thread publishes settings and withdraws a ring. Every line is built from one whole
// publication; every entry stored is sent in order or counted as dropped, before the test ends
// the thread (so a lost wake-up shows as a stall, not as a drain at the end); an entry alone
// wakes the sleeping thread. That a withdrawn ring gives all its entries before the withdrawal
// returns is the sequential test's.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "tests/native/sending_fakes.h"

namespace {
constexpr std::uint32_t kMessages = 4000;   // per producing device

void Store(SendingFakes& f, MidiRing& ring, std::uint32_t sequence)
{
    ring.TryPush(MakeMidiRingEntry(0xB0 | (sequence & 0xFF) << 8 | (sequence >> 8 & 0xFF) << 16, 0));
    f.Stored();
}


TEST(SendingThreadThreads, EachLineHasOnePublicationAllIsSentInOrderOrCountedAndAnEntryAloneWakesTheThread)
{
    SendingFakes f;
    std::array<MidiRing, kMidiDeviceCount> rings;
    for (int n = 0; n < kMidiDeviceCount; ++n)
        f.thread.Publish(n, rings[static_cast<std::size_t>(n)]);
    f.thread.Start({ "127.0.0.1", 1, "0", "0", "T0", false, 10 }, true);
    // Device 0 floods, device 3 trickles, the COM polling thread hands over line changes.
    constexpr int kComChanges = 40;
    std::thread com([&] { for (int i = 0; i < kComChanges; ++i) EXPECT_TRUE(f.thread.HandOverComLine(i % 4, i % 2)); });
    std::thread flood([&] { for (std::uint32_t i = 0; i < kMessages; ++i) Store(f, rings[0], i); });
    std::thread trickle([&] {
        for (std::uint32_t i = 0; i < kMessages; ++i, std::this_thread::sleep_for(std::chrono::microseconds(50)))
            Store(f, rings[3], i);
    });
    // The window thread: publishes settings and takes a report at each notification.
    int handled = 0;
    std::string lastShown;
    SendReport report;
    auto handle = [&] {
        while (handled < f.notified) {
            ++handled, report = f.thread.TakeReport();
            lastShown = report.lastDevice >= 0 ? report.lastCommand : lastShown;
        }
    };
    for (int generation = 1; generation < 300; ++generation, handle()) {
        std::string g = std::to_string(generation);
        f.thread.PublishSettings({ "127.0.0.1", generation, g, g, "T" + g, false, 10 }, generation % 50 == 0);
        f.thread.Publish(1, rings[1]);   // withdrawn, once the thread let it go, and published anew
    }
    flood.join(), trickle.join(), com.join();
    // Without a notification lost, the news of the last send reaches the window thread.
    EXPECT_TRUE(WaitFor(f, [&] {
        handle();
        std::lock_guard<std::mutex> guard(f.lock);
        return f.sends + report.dropped[0] + report.dropped[3] == 2 * kMessages + kComChanges &&
               f.log.back().find("\"" + lastShown + "\" 1") != std::string::npos;
    })) << "something was left behind after the last notification";
    for (std::uint32_t i = 1, sent = f.sends; i <= 3; ++i) {
        // Time to fall asleep with nothing to do; the entry alone must wake it.
        f.now += 100;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Store(f, rings[3], kMessages + i);
        ASSERT_TRUE(WaitFor(f, [&] { return f.sends == sent + i; })) << i;
    }
    f.thread.Stop();

    std::array<std::int64_t, kMidiDeviceCount> last;
    last.fill(-1);
    for (const std::string& line : f.log) {
        char application[16], destination[16], command[16];
        unsigned device = 0, data1 = 0, data2 = 0;
        if (std::sscanf(line.c_str(), "REMOTE: \"%15[^\"]\" \"%15[^\"]\" \"T%15[^/]/%u/176/%u/%u\" 1", application,
                        destination, command, &device, &data1, &data2) != 6)
            continue;   // the library's calls
        ASSERT_EQ(std::tuple(std::string(application), std::string(destination)), std::tuple(std::string(command), std::string(command)));
        ASSERT_GT(data1 | data2 << 8, last[device]) << line;
        last[device] = data1 | data2 << 8;
    }
}
}
