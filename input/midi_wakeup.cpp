#include "midi_wakeup.h"

#include "input/midi_in_api.h"

void MidiWakeup::Notify(MidiInApi& api, unsigned device) noexcept
{
    // Release: the window thread's clearing exchange that reads this value sees the entry.
    if (m_pending.exchange(true, std::memory_order_acq_rel))
        return;
    if (!api.PostNotification(device))
        m_pending.store(false, std::memory_order_release);
}

void MidiWakeup::BeginDrain() noexcept
{
    // An exchange, not a store: reading the callbacks' last exchange makes every entry stored
    // before it visible to the drain that follows; whatever comes later finds the flag clear
    // and posts again.
    m_pending.exchange(false, std::memory_order_acq_rel);
}

namespace {
// False once the slot no longer holds this open device: a sink closed it.
bool StillOpen(const MidiDeviceSlots& slots, std::size_t index, const MidiInDevice* device)
{
    return slots[index].get() == device && device->IsOpen();
}
}

void DrainMidiDevices(MidiDeviceSlots& slots, MidiWakeup& wakeup, const MidiEntrySink& sink)
{
    wakeup.BeginDrain();
    for (std::size_t index = 0; index < slots.size(); ++index) {
        MidiInDevice* device = slots[index].get();
        if (!device || !device->IsOpen())
            continue;
        for (std::uint32_t left = device->Ring().PendingCount(); left > 0 && StillOpen(slots, index, device); --left) {
            std::optional<MidiRingEntry> entry = device->Peek();
            if (!entry)
                break;
            device->Advance();
            sink(static_cast<int>(index), *entry);
        }
    }
}
