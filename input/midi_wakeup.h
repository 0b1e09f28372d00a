// How the callback wakes the window thread, and how the window thread drains. One flag for
// all devices says a notification is pending: at cable speed each device stores only one or
// two messages per millisecond, so coalescing per device would still post for almost every
// message.
#pragma once

#include <atomic>
#include <functional>

#include "input/midi_in_device.h"

class MidiInApi;

class MidiWakeup {
public:
    // Callback thread, after an entry is stored or a device was lost: posts unless a
    // notification is pending. A failed post clears the flag again, so that the next retries.
    void Notify(MidiInApi& api, unsigned device) noexcept;
    // Window thread, before it drains: entries stored from now on raise a new notification.
    void BeginDrain() noexcept;

private:
    std::atomic<bool> m_pending{ false };
};

using MidiEntrySink = std::function<void(int device, const MidiRingEntry& entry)>;

// The answer to MM_MIM_DATA: clears the pending flag, then takes from every open device, in
// device order, at most the entries its ring held when its turn came, each in order; a
// flooding device cannot keep the window thread here. A sink may run a nested message loop
// that closes devices or drains again: the slot is checked before every entry, and an entry
// leaves the ring before it goes to the sink, so no entry is handed out twice.
void DrainMidiDevices(MidiDeviceSlots& slots, MidiWakeup& wakeup, const MidiEntrySink& sink);
