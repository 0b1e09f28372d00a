// The system's MIDI input devices 0–4: their names, one open device with its ring, the body of
// the callback that fills the ring, and the step that brings the open devices in line with the
// user's selection. The system calls go through MidiInApi.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/settings_record.h"
#include "input/midi_in_api.h"
#include "input/midi_ring.h"

class MidiInDevice;
class MidiWakeup;

// Product names of devices 0–4, null for a missing device or an empty name.
using MidiDeviceNames = std::array<std::unique_ptr<std::string>, kMidiDeviceCount>;
// The open devices, index = device number; null when closed.
using MidiDeviceSlots = std::array<std::unique_ptr<MidiInDevice>, kMidiDeviceCount>;

// Reads the names once: devices 5 and up are never listed, and a device whose capabilities
// cannot be read is treated like one with an empty name.
MidiDeviceNames ReadMidiDeviceNames(MidiInApi& api);

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
    // device's current handle and wakes the window thread. True when an entry was stored. A
    // MIM_CLOSE of the current handle means the system closed the device (it went away): the
    // device is marked lost and the window thread woken, which closes it.
    bool OnCallback(MidiInHandle handle, unsigned message, std::uint32_t param1, std::uint32_t param2) noexcept;

    bool IsOpen() const noexcept { return m_hMidiIn.load(std::memory_order_acquire) != nullptr; }
    bool IsLost() const noexcept { return m_lost.load(std::memory_order_acquire); }
    unsigned DeviceNumber() const noexcept { return m_deviceNumber; }

    // The consumer's view of the ring: none when the device is closed or nothing is pending.
    std::optional<MidiRingEntry> Peek() const noexcept;
    void Advance() noexcept { m_ring.Advance(); }
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
    unsigned m_deviceNumber = 0;
};

// Reports a failed open or start to the user; the program shows a stop-icon message box.
class MidiFailureReporter {
public:
    virtual void Report(const char* text) = 0;

protected:
    ~MidiFailureReporter() = default;
};

// Opens every selected device that has a name and is not open yet (and starts it), closes
// every open device that is no longer selected. A device that fails is left closed with its
// selection kept, so it is tried again, with its message, at the next call.
void ApplyMidiDeviceSelection(MidiInApi& api, MidiWakeup& wakeup, const int (&enabled)[kMidiDeviceCount],
                              const MidiDeviceNames& names, MidiDeviceSlots& slots, MidiFailureReporter& reporter);

// Stops, resets and closes every open device, then releases it and its ring.
void CloseMidiDevices(MidiDeviceSlots& slots) noexcept;

// The names of the open devices, for telling what a change opened or closed.
std::vector<std::string> OpenMidiDeviceNames(const MidiDeviceNames& names, const MidiDeviceSlots& slots);

// What a look at the devices changed: the devices closed because they went away, those opened
// because they came (back), by name.
struct MidiDeviceChanges {
    std::vector<std::string> lost;
    std::vector<std::string> back;
};

// The look in the background (window thread, no message shown): closes every open device that
// reported its loss or whose number now carries another name, reads the names again, finds the
// chosen devices among them (enabled follows) and opens and starts those not open. A device
// that fails stays closed and is tried again at the next look. The closed device and its ring
// go before another device can take its number, so no entry is ever handed out with a number
// that is not its device's.
MidiDeviceChanges RefreshMidiDevices(MidiInApi& api, MidiWakeup& wakeup, std::vector<MidiDeviceChoice>& choice,
                                     int (&enabled)[kMidiDeviceCount], MidiDeviceNames& names, MidiDeviceSlots& slots);
