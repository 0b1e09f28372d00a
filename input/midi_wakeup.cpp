#include "midi_wakeup.h"

#include "input/midi_in_api.h"

void MidiWakeup::Notify(MidiInApi& api) noexcept
{
    // Release: the sending thread's clearing exchange that reads this value sees the entry.
    if (m_pending.exchange(true, std::memory_order_acq_rel))
        return;
    if (!api.WakeSender())
        m_pending.store(false, std::memory_order_release);
}

void MidiWakeup::Rearm() noexcept
{
    // An exchange, not a store: reading the callbacks' last exchange makes every entry stored
    // before it visible to the round that follows; whatever comes later finds the flag clear
    // and wakes the thread again.
    m_pending.exchange(false, std::memory_order_acq_rel);
}
