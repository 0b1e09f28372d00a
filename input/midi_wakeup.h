// How the callbacks wake the sending thread. One flag for all devices says a wake-up is
// pending: at cable speed each device stores only one or two messages per millisecond, so
// coalescing per device would still wake the thread for almost every message.
#pragma once

#include <atomic>

class MidiInApi;

class MidiWakeup {
public:
    // Callback thread, after an entry is stored: wakes the sending thread unless a wake-up is
    // pending. A failed one clears the flag again, so that the next retries.
    void Notify(MidiInApi& api) noexcept;
    // Sending thread, before it looks at the rings: entries stored from now on wake it again.
    void Rearm() noexcept;

private:
    std::atomic<bool> m_pending{ false };
};
