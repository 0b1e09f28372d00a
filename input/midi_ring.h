// One captured MIDI short message and the ring that carries it from the system's MIDI
// callback thread to the program's sending thread without a lock: the callback alone writes the
// entries and the write offset, the sending thread alone writes the read offset.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

struct MidiRingEntry {
    std::uint32_t timestamp;   // milliseconds since the device was started; kept, never read
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
    std::uint8_t reserved;
};
static_assert(sizeof(MidiRingEntry) == 8, "a ring position is 8 bytes");

// System common and real-time messages (0xF0–0xFF) never enter a ring.
constexpr bool IsSystemStatus(std::uint8_t status) { return (status & 0xF0) == 0xF0; }

// A MIM_DATA short message: status in bits 0–7, data 1 in bits 8–15, data 2 in bits 16–23.
MidiRingEntry MakeMidiRingEntry(std::uint32_t shortMessage, std::uint32_t timestamp);

class MidiRing {
public:
    static constexpr std::uint32_t kBytes = 512;
    static constexpr std::uint32_t kEntryBytes = sizeof(MidiRingEntry);
    static constexpr std::uint32_t kOffsetMask = kBytes - 1;
    // Producer side: stores the entry and then publishes it. False, with nothing stored, when
    // 63 entries are pending: one position always stays free, so that a full ring differs from
    // an empty one. Takes no lock and allocates nothing.
    bool TryPush(const MidiRingEntry& entry) noexcept;

    // Consumer side: the oldest pending entry, left in place; none when the ring is empty.
    std::optional<MidiRingEntry> Peek() const noexcept;
    // Consumer side: gives the oldest entry's position back to the producer; nothing when empty.
    void Advance() noexcept;

    bool IsEmpty() const noexcept;
    // Consumer side: the number of entries pending now (more may follow at any moment).
    std::uint32_t PendingCount() const noexcept;
    // The messages refused because the ring was full, since it was made: a consumer that
    // falls behind sheds, and what it shed is told, never lost in silence.
    std::uint32_t Dropped() const noexcept { return m_dropped.load(std::memory_order_relaxed); }

    // Both offsets and the drop count back to 0; only while no producer can run (the device is closed).
    void Clear() noexcept;

private:
    std::array<MidiRingEntry, kBytes / kEntryBytes> m_entries{};
    std::atomic<std::uint32_t> m_readOffset{ 0 };
    std::atomic<std::uint32_t> m_writeOffset{ 0 };
    std::atomic<std::uint32_t> m_dropped{ 0 };   // written by the producer only
};
static_assert(std::atomic<std::uint32_t>::is_always_lock_free, "the callback must never block");

// Where the rings of the open devices are drained from, by the number their commands carry:
// the program's sending thread.
class MidiRingBoard {
public:
    // The ring of a device just opened.
    virtual void Publish(int number, MidiRing& ring) = 0;
    // After the device stopped: returns once every entry it captured went out under its number
    // and the ring is no longer read, so that it may go.
    virtual void Withdraw(int number) = 0;

protected:
    ~MidiRingBoard() = default;
};

// What the MIDI callback does with one MIM_DATA message: drops system messages and messages
// that find the ring full, stores the rest. True when an entry was stored.
bool CaptureShortMessage(MidiRing& ring, std::uint32_t shortMessage, std::uint32_t timestamp) noexcept;

