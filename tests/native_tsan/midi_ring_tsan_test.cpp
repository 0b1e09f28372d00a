// The ring with the callback's side on a thread of its own, as the system runs it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "input/midi_ring.h"

namespace {
constexpr std::uint32_t kMessages = 200000;

// A message whose three bytes and timestamp all follow from its number, so a torn or stale
// read shows.
std::uint32_t MessageOf(std::uint32_t sequence) { return 0x90 | (sequence & 0x7F) << 8 | (sequence >> 7 & 0x7F) << 16; }

void ExpectIntact(const MidiRingEntry& entry)
{
    std::uint32_t message = static_cast<std::uint32_t>(entry.status | entry.data1 << 8 | entry.data2 << 16);
    ASSERT_EQ(message, MessageOf(entry.timestamp)) << entry.timestamp;
}

TEST(MidiRingThreads, EveryEntryArrivesWholeAndInOrderWhenTheProducerWaits)
{
    MidiRing ring;
    std::atomic<bool> done{ false };
    std::thread producer([&] {
        for (std::uint32_t i = 0; i < kMessages; ++i)
            while (!CaptureShortMessage(ring, MessageOf(i), i))
                std::this_thread::yield();
        done.store(true, std::memory_order_release);
    });
    std::uint32_t expected = 0;
    auto dispatch = [&](const MidiRingEntry& entry) {
        ExpectIntact(entry);
        ASSERT_EQ(entry.timestamp, expected);
        ++expected;
    };
    while (expected < kMessages) {
        DrainMidiRing(ring, false, [] { return true; }, dispatch);
        if (done.load(std::memory_order_acquire) && ring.IsEmpty())
            break;
    }
    producer.join();
    EXPECT_EQ(expected, kMessages);
}

TEST(MidiRingThreads, ACallbackThatDropsOnAFullRingLosesOnlyWhatItDropped)
{
    MidiRing ring;
    std::atomic<std::uint32_t> stored{ 0 };
    std::atomic<bool> done{ false };
    std::thread producer([&] {
        std::uint32_t count = 0;
        for (std::uint32_t i = 0; i < kMessages; ++i)
            count += CaptureShortMessage(ring, MessageOf(i), i) ? 1 : 0;
        stored.store(count, std::memory_order_relaxed);
        done.store(true, std::memory_order_release);
    });
    std::uint32_t received = 0;
    std::int64_t last = -1;
    auto dispatch = [&](const MidiRingEntry& entry) {
        ExpectIntact(entry);
        ASSERT_GT(static_cast<std::int64_t>(entry.timestamp), last);
        last = entry.timestamp;
        ++received;
    };
    for (;;) {
        bool finished = done.load(std::memory_order_acquire);
        DrainMidiRing(ring, false, [] { return true; }, dispatch);
        if (finished && ring.IsEmpty())
            break;
    }
    producer.join();
    EXPECT_EQ(received, stored.load());
    EXPECT_GT(received, 0u);
}
}
