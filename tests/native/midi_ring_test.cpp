// The capture ring between the MIDI callback and the window thread, and the drain that one
// notification triggers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "input/midi_ring.h"

namespace {
MidiRingEntry Entry(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, std::uint32_t timestamp = 0)
{
    return MakeMidiRingEntry(static_cast<std::uint32_t>(status | data1 << 8 | data2 << 16), timestamp);
}

struct Drained {
    std::vector<MidiRingEntry> entries;
    std::function<void(const MidiRingEntry&)> Sink()
    {
        return [this](const MidiRingEntry& entry) { entries.push_back(entry); };
    }
};

const std::function<bool()> kOpen = [] { return true; };

TEST(MidiRingEntry, IsEightLittleEndianBytesInTheCapturedOrder)
{
    EXPECT_EQ(offsetof(MidiRingEntry, timestamp), 0u);
    EXPECT_EQ(offsetof(MidiRingEntry, status), 4u);
    EXPECT_EQ(offsetof(MidiRingEntry, data1), 5u);
    EXPECT_EQ(offsetof(MidiRingEntry, data2), 6u);
    MidiRingEntry entry = MakeMidiRingEntry(0x00643C90, 0x04030201);
    unsigned char bytes[8] = {};
    std::memcpy(bytes, &entry, sizeof bytes);
    const unsigned char expected[7] = { 0x01, 0x02, 0x03, 0x04, 0x90, 0x3C, 0x64 };
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof expected), 0);
}

TEST(MidiRingEntry, SplitsTheShortMessageIntoStatusAndDataBytes)
{
    struct Case { std::uint32_t message; std::uint8_t status, data1, data2; };
    const Case cases[] = {
        { 0x00643C90, 0x90, 60, 100 },
        { 0x7F000080, 0x80, 0, 0 },     // the fourth byte of the message is not part of it
        { 0x00007FB3, 0xB3, 127, 0 },
        { 0xFFFFFFEF, 0xEF, 255, 255 },
    };
    for (const Case& c : cases) {
        MidiRingEntry entry = MakeMidiRingEntry(c.message, 1234);
        EXPECT_EQ(entry.status, c.status) << std::hex << c.message;
        EXPECT_EQ(entry.data1, c.data1) << std::hex << c.message;
        EXPECT_EQ(entry.data2, c.data2) << std::hex << c.message;
        EXPECT_EQ(entry.timestamp, 1234u);
    }
}

TEST(MidiRing, HoldsAtMostSixtyThreePendingEntries)
{
    MidiRing ring;
    for (std::uint32_t i = 0; i < 63; ++i)
        ASSERT_TRUE(ring.TryPush(Entry(0x90, 60, 100, i))) << i;
    EXPECT_EQ(ring.WriteOffset(), 504u);
    EXPECT_FALSE(ring.TryPush(Entry(0x90, 61, 100, 63)));
    EXPECT_EQ(ring.WriteOffset(), 504u);
    EXPECT_EQ(ring.Peek()->timestamp, 0u);

    ring.Advance();
    EXPECT_TRUE(ring.TryPush(Entry(0x90, 62, 100, 64)));
    EXPECT_EQ(ring.WriteOffset(), 0u);
    EXPECT_FALSE(ring.TryPush(Entry(0x90, 63, 100, 65)));
}

TEST(MidiRing, WrapsItsOffsetsAt512AndKeepsTheOrder)
{
    MidiRing ring;
    std::uint32_t next = 0;
    std::uint32_t expected = 0;
    // Pushes and takes in uneven steps so that both offsets cross the end many times.
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 1 + round % 7; ++i)
            ASSERT_TRUE(ring.TryPush(Entry(0xB0, 7, 0, next++)));
        for (int i = 0; i < 1 + (round + 3) % 7; ++i) {
            std::optional<MidiRingEntry> entry = ring.Peek();
            if (!entry)
                break;
            EXPECT_EQ(entry->timestamp, expected++);
            ring.Advance();
        }
        EXPECT_EQ(ring.ReadOffset() % 8, 0u);
        EXPECT_LT(ring.ReadOffset(), 512u);
        EXPECT_EQ(ring.WriteOffset(), next * 8 % 512);
    }
    EXPECT_GT(next, 64u);
}

TEST(MidiRing, PeekLeavesTheEntryAndAdvanceOnAnEmptyRingChangesNothing)
{
    MidiRing ring;
    EXPECT_FALSE(ring.Peek().has_value());
    ring.Advance();
    EXPECT_EQ(ring.ReadOffset(), 0u);
    EXPECT_TRUE(ring.IsEmpty());

    ring.TryPush(Entry(0x90, 60, 100, 5));
    EXPECT_EQ(ring.Peek()->timestamp, 5u);
    EXPECT_EQ(ring.Peek()->timestamp, 5u);
    ring.Advance();
    ring.Advance();
    EXPECT_EQ(ring.ReadOffset(), 8u);
    EXPECT_TRUE(ring.TryPush(Entry(0x90, 60, 100, 6)));
    EXPECT_EQ(ring.Peek()->timestamp, 6u);
}

TEST(MidiCapture, DropsSystemMessagesAndStoresEveryOtherStatus)
{
    struct Case { std::uint8_t status; bool stored; };
    const Case cases[] = {
        { 0x80, true }, { 0x8F, true }, { 0x90, true }, { 0x9F, true }, { 0xB0, true }, { 0xBF, true },
        { 0xC5, true }, { 0xE0, true }, { 0xEF, true }, { 0x3C, true },
        { 0xF0, false }, { 0xF1, false }, { 0xF7, false }, { 0xF8, false }, { 0xFA, false },
        { 0xFE, false }, { 0xFF, false },
    };
    for (const Case& c : cases) {
        MidiRing ring;
        EXPECT_EQ(CaptureShortMessage(ring, static_cast<std::uint32_t>(c.status | 0x40 << 8 | 0x7F << 16), 99), c.stored)
            << std::hex << int(c.status);
        EXPECT_EQ(ring.IsEmpty(), !c.stored) << std::hex << int(c.status);
    }
}

TEST(MidiCapture, AMessageThatFindsTheRingFullIsDroppedUntilOneIsTaken)
{
    MidiRing ring;
    for (std::uint32_t i = 0; i < 63; ++i)
        ASSERT_TRUE(CaptureShortMessage(ring, 0x00643C90, i));
    EXPECT_FALSE(CaptureShortMessage(ring, 0x00643C90, 63));
    ring.Advance();
    EXPECT_TRUE(CaptureShortMessage(ring, 0x00643C90, 64));
}

TEST(MidiDrain, OneNotificationTakesEveryPendingEntryInOrder)
{
    MidiRing ring;
    for (std::uint32_t i = 0; i < 63; ++i)
        ring.TryPush(Entry(0x90, static_cast<std::uint8_t>(i), 100, i));
    Drained drained;
    EXPECT_EQ(DrainMidiRing(ring, false, kOpen, drained.Sink()), 63u);
    ASSERT_EQ(drained.entries.size(), 63u);
    for (std::uint32_t i = 0; i < 63; ++i)
        EXPECT_EQ(drained.entries[i].data1, i);
    EXPECT_TRUE(ring.IsEmpty());
    // A later notification for entries already taken finds nothing.
    EXPECT_EQ(DrainMidiRing(ring, false, kOpen, drained.Sink()), 0u);
    for (std::uint32_t i = 0; i < 63; ++i)
        EXPECT_TRUE(ring.TryPush(Entry(0x80, 1, 2, i)));
}

TEST(MidiDrain, TheFilterDropsOnlyNoteOnWithVelocityZero)
{
    struct Case { bool filter; std::uint8_t status, data2; bool sent; };
    const Case cases[] = {
        { true, 0x90, 0, false }, { true, 0x9F, 0, false }, { true, 0x90, 1, true },
        { true, 0x80, 0, true },  { true, 0x8F, 64, true }, { true, 0xB0, 0, true },
        { true, 0xE0, 0, true },  { false, 0x90, 0, true }, { false, 0x95, 0, true },
    };
    for (const Case& c : cases) {
        MidiRing ring;
        ring.TryPush(Entry(c.status, 60, c.data2));
        ring.TryPush(Entry(0xB0, 7, 99));   // the entry after a skipped one is still taken
        Drained drained;
        DrainMidiRing(ring, c.filter, kOpen, drained.Sink());
        EXPECT_EQ(drained.entries.size(), c.sent ? 2u : 1u) << std::hex << int(c.status) << " " << int(c.data2);
        EXPECT_EQ(drained.entries.back().data2, 99);
        EXPECT_TRUE(ring.IsEmpty());
    }
}

TEST(MidiDrain, ADeviceClosedDuringTheDrainLeavesItsRingUntouched)
{
    MidiRing ring;
    for (std::uint8_t i = 0; i < 5; ++i)
        ring.TryPush(Entry(0x90, i, 100));
    bool open = true;
    Drained drained;
    auto closeAfterFirst = [&](const MidiRingEntry& entry) {
        drained.entries.push_back(entry);
        open = false;
    };
    EXPECT_EQ(DrainMidiRing(ring, false, [&] { return open; }, closeAfterFirst), 1u);
    EXPECT_EQ(ring.ReadOffset(), 0u);

    EXPECT_EQ(DrainMidiRing(ring, false, [&] { return open; }, drained.Sink()), 0u);
    EXPECT_EQ(drained.entries.size(), 1u);
}

TEST(MidiDrain, EntriesStoredWhileDrainingAreTakenByTheSameDrain)
{
    MidiRing ring;
    ring.TryPush(Entry(0x90, 0, 100));
    std::uint8_t stored = 1;
    Drained drained;
    auto dispatch = [&](const MidiRingEntry& entry) {
        drained.entries.push_back(entry);
        if (stored < 4)
            ring.TryPush(Entry(0x90, stored++, 100));
    };
    EXPECT_EQ(DrainMidiRing(ring, false, kOpen, dispatch), 4u);
    ASSERT_EQ(drained.entries.size(), 4u);
    EXPECT_EQ(drained.entries[3].data1, 3);
    EXPECT_TRUE(ring.IsEmpty());
}

TEST(MidiDrain, AnEntryStoredJustAfterTheRingWasFoundEmptyIsNeverSkipped)
{
    // The callback may store an entry at any moment of the drain; wherever it lands, the entry
    // is either taken or still pending afterwards.
    for (int moment = 1; moment <= 4; ++moment) {
        MidiRing ring;
        int calls = 0;
        int stored = 0;
        auto isOpen = [&] {
            if (++calls == moment)
                stored += ring.TryPush(Entry(0x90, 60, 100)) ? 1 : 0;
            return true;
        };
        Drained drained;
        DrainMidiRing(ring, false, isOpen, drained.Sink());
        int pending = 0;
        for (; ring.Peek(); ring.Advance())
            ++pending;
        EXPECT_EQ(static_cast<int>(drained.entries.size()) + pending, stored) << "moment " << moment;
    }
}
}
