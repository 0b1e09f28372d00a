// One open MIDI input device with its ring, and the body of the callback that fills the ring.
// The system calls go through MidiInApi; input/midi_devices.h keeps the devices.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_record.h"
#include "input/midi_in_api.h"
#include "input/midi_ring.h"

class MidiInDevice;
class MidiWakeup;

// The open devices, index = the number their commands carry; null when closed.
using MidiDeviceSlots = std::array<std::unique_ptr<MidiInDevice>, kMidiDeviceCount>;

class MidiInDevice {
public:
    enum class OpenResult { Opened, InvalidSelection, OpenFailed };

    MidiInDevice() = default;
    ~MidiInDevice() { Close(); }
    MidiInDevice(const MidiInDevice&) = delete;
    MidiInDevice& operator=(const MidiInDevice&) = delete;

    // Opens the device with this object as the callback's instance value, after closing
    // whatever this object had open. The ring starts empty. Shows no message.
    OpenResult Open(MidiInApi& api, MidiWakeup& wakeup, unsigned deviceNumber);
    bool Start();
    // Stops, resets and closes the device; nothing when it is not open.
    void Close() noexcept;

    // The callback's body, on the system's thread: stores a MIM_DATA short message of this
    // device's current handle and wakes the sending thread. True when an entry was stored. A
    // MIM_CLOSE of the current handle means the system closed the device (it went away): the
    // device is marked lost, and the window thread closes it at its next look or report.
    bool OnCallback(MidiInHandle handle, unsigned message, std::uint32_t param1, std::uint32_t param2) noexcept;

    bool IsLost() const noexcept { return m_lost.load(std::memory_order_acquire); }
    MidiInHandle Handle() const noexcept { return m_owned; }

    // What the sending thread takes, once the device's owner published it there.
    MidiRing& Ring() noexcept { return m_ring; }

private:
    // What the callback compares: published only after the open has returned, cleared before
    // the device is stopped, so that callbacks during the close are ignored.
    std::atomic<MidiInHandle> m_hMidiIn{ nullptr };
    MidiInHandle m_owned = nullptr;   // the handle this object closes
    std::atomic<bool> m_lost{ false };
    MidiRing m_ring;
    MidiInApi* m_api = nullptr;
    MidiWakeup* m_wakeup = nullptr;
};

// Reports a failed open or start to the user; the program shows a stop-icon message box.
class MidiFailureReporter {
public:
    virtual void Report(const char* text) = 0;

protected:
    ~MidiFailureReporter() = default;
};

// Opens the device at this position and starts it; null, with its message reported, when
// either fails.
std::unique_ptr<MidiInDevice> OpenAndStartMidiDevice(MidiInApi& api, MidiWakeup& wakeup, unsigned position,
                                                     MidiFailureReporter& reporter);

// What a look at the devices changed: the devices closed because they went away, those opened
// because they came (back), by name.
struct MidiDeviceChanges {
    std::vector<std::string> lost;
    std::vector<std::string> back;
};
