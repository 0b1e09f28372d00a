#include "midi_ring.h"

MidiRingEntry MakeMidiRingEntry(std::uint32_t shortMessage, std::uint32_t timestamp)
{
    MidiRingEntry entry = {};
    entry.timestamp = timestamp;
    entry.status = static_cast<std::uint8_t>(shortMessage & 0xFF);
    entry.data1 = static_cast<std::uint8_t>((shortMessage >> 8) & 0xFF);
    entry.data2 = static_cast<std::uint8_t>((shortMessage >> 16) & 0xFF);
    return entry;
}

bool MidiRing::TryPush(const MidiRingEntry& entry) noexcept
{
    std::uint32_t write = m_writeOffset.load(std::memory_order_relaxed);
    std::uint32_t next = (write + kEntryBytes) & kOffsetMask;
    // Acquire: the consumer's copy of the position we are about to reuse is complete.
    if (next == m_readOffset.load(std::memory_order_acquire)) {
        m_dropped.store(m_dropped.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        return false;
    }
    m_entries[write / kEntryBytes] = entry;
    m_writeOffset.store(next, std::memory_order_release);
    return true;
}

std::optional<MidiRingEntry> MidiRing::Peek() const noexcept
{
    std::uint32_t read = m_readOffset.load(std::memory_order_relaxed);
    // Acquire: the entry's bytes were written before the write offset that covers them.
    if (read == m_writeOffset.load(std::memory_order_acquire))
        return std::nullopt;
    return m_entries[read / kEntryBytes];
}

void MidiRing::Advance() noexcept
{
    std::uint32_t read = m_readOffset.load(std::memory_order_relaxed);
    // Moving past the write offset would hand the producer's free positions to the consumer.
    if (read == m_writeOffset.load(std::memory_order_acquire))
        return;
    m_readOffset.store((read + kEntryBytes) & kOffsetMask, std::memory_order_release);
}

bool MidiRing::IsEmpty() const noexcept
{
    return m_readOffset.load(std::memory_order_acquire) == m_writeOffset.load(std::memory_order_acquire);
}

std::uint32_t MidiRing::PendingCount() const noexcept
{
    std::uint32_t read = m_readOffset.load(std::memory_order_relaxed);
    return ((m_writeOffset.load(std::memory_order_acquire) - read) & kOffsetMask) / kEntryBytes;
}

void MidiRing::Clear() noexcept
{
    m_readOffset.store(0, std::memory_order_release);
    m_writeOffset.store(0, std::memory_order_release);
    m_dropped.store(0, std::memory_order_relaxed);
}

bool CaptureShortMessage(MidiRing& ring, std::uint32_t shortMessage, std::uint32_t timestamp) noexcept
{
    MidiRingEntry entry = MakeMidiRingEntry(shortMessage, timestamp);
    if (IsSystemStatus(entry.status))
        return false;
    return ring.TryPush(entry);
}
