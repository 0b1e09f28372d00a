// The capture ring between the MIDI callback and the window thread.
#include <gtest/gtest.h>

#include "input/midi_ring.h"

namespace {
// How a short message splits into an entry is pinned by the callback's test (midi_in_device_test).
TEST(MidiRing, HoldsSixtyThreeDropsWhatFindsItFullAndKeepsTheOrderAcrossTheWrap)
{
    MidiRing ring;
    std::uint32_t next = 0;
    while (CaptureShortMessage(ring, 0x00643C90, next))
        ++next;
    EXPECT_EQ(next, 63u);
    EXPECT_EQ(ring.PendingCount(), 63u);
    // Taking and storing in uneven steps moves both offsets past the end many times.
    std::uint32_t expected = 0;
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 1 + (round + 3) % 7; ++i) {
            ASSERT_EQ(ring.Peek()->timestamp, expected++);
            ring.Advance();
        }
        for (int i = 0; i < 1 + round % 7 && CaptureShortMessage(ring, 0x00643C90, next); ++i)
            ++next;
        EXPECT_EQ(ring.PendingCount(), next - expected);
    }
    while (ring.Peek()) {
        EXPECT_EQ(ring.Peek()->timestamp, expected++);
        ring.Advance();
    }
    ring.Advance();   // on an empty ring: nothing
    EXPECT_EQ(expected, next);
    EXPECT_EQ(ring.ReadOffset(), next * 8 % 512);
}
}
