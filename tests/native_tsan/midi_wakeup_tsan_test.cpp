// The rings and the one wake-up flag between real threads: two callback threads feed five
// devices while the window thread drains on each notification, as the system runs them. Early
// on every third post fails, as on a full message queue; only early, since the entries behind a
// failed last post wait for the next message by design.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "input/midi_in_device.h"
#include "input/midi_wakeup.h"

namespace {
constexpr std::uint32_t kMessages = 20000;   // per device

struct ThreadedFake final : MidiInApi, MidiFailureReporter {
    unsigned DeviceCount() override { return kMidiDeviceCount; }
    std::optional<std::string> DeviceName(unsigned) override { return "Device"; }
    MidiInHandle Open(unsigned device, MidiInDevice&) override { return Handle(device); }
    std::optional<unsigned> HandlePosition(MidiInHandle) override { return 0; }
    bool Start(MidiInHandle) override { return true; }
    void Stop(MidiInHandle) override {}
    void Reset(MidiInHandle) override {}
    void Close(MidiInHandle) override {}
    // Each drain takes at most 5 x 63 entries, so far more than 150 posts succeed.
    bool PostNotification(unsigned) noexcept override
    {
        std::uint32_t attempt = attempts.fetch_add(1, std::memory_order_relaxed);
        return (attempt >= 150 || attempt % 3 != 2) && (posted.fetch_add(1, std::memory_order_release), true);
    }
    void Report(const char*) override { ADD_FAILURE(); }
    static MidiInHandle Handle(unsigned device) { return reinterpret_cast<MidiInHandle>(0x100 + device); }

    std::atomic<std::uint32_t> attempts{ 0 }, posted{ 0 };
};

// A message whose bytes follow from its number (the timestamp), so a torn or stale read shows.
std::uint32_t MessageOf(std::uint32_t sequence) { return 0x90 | (sequence & 0x7F) << 8 | (sequence >> 7 & 0x7F) << 16; }

TEST(MidiWakeupThreads, EveryStoredEntryIsDispatchedOnceInOrderBeforeTheLastNotificationIsDoneDespiteFailedPosts)
{
    ThreadedFake api;
    MidiWakeup wakeup;
    MidiDeviceSlots slots;
    for (unsigned device = 0; device < kMidiDeviceCount; ++device)
        slots[device] = OpenAndStartMidiDevice(api, wakeup, device, api);
    // Producers wait for room; a lost notification, or a failed post not tried again, stalls
    // them, and the test then fails, not hangs.
    std::atomic<bool> stalled{ false };
    std::atomic<int> finished{ 0 };
    auto produce = [&](unsigned first, unsigned last) {
        for (std::uint32_t i = 0; i < kMessages; ++i)
            for (unsigned device = first; device <= last; ++device)
                while (!slots[device]->OnCallback(ThreadedFake::Handle(device), kMidiInDataMessage, MessageOf(i), i) &&
                       !stalled.load(std::memory_order_relaxed))
                    std::this_thread::yield();
        finished.fetch_add(1, std::memory_order_release);
    };
    std::thread first(produce, 0, 2), second(produce, 3, 4);

    std::uint32_t received[kMidiDeviceCount] = {};
    auto sink = [&](int device, const MidiRingEntry& e) {
        ASSERT_EQ(std::tuple(e.status | e.data1 << 8 | e.data2 << 16, e.timestamp), std::tuple(MessageOf(e.timestamp), received[device]));
        ++received[device];
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (std::uint32_t handled = 0;;) {
        bool done = finished.load(std::memory_order_acquire) == 2;
        if (api.posted.load(std::memory_order_acquire) > handled)
            ++handled, DrainMidiDevices(slots, wakeup, sink);
        else if (done)
            break;
        else if (std::chrono::steady_clock::now() > deadline && !stalled.exchange(true))
            ADD_FAILURE() << "the producers stalled: a notification was lost";
        else
            std::this_thread::yield();
    }
    first.join();
    second.join();
    EXPECT_EQ(api.attempts - api.posted, 50u);
    // No notification is pending now, so nothing may be left in a ring.
    for (unsigned device = 0; device < kMidiDeviceCount; ++device) {
        EXPECT_EQ(slots[device]->Ring().PendingCount(), 0u) << device;
        EXPECT_EQ(received[device], kMessages) << device;
    }
}
}
