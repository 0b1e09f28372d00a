// The system's MIDI input devices 0–4: their names, one open device with its ring, the
// callback that fills the ring, and the step that brings the open devices in line with the
// user's selection.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "config/settings_record.h"
#include "framework/win_handles.h"
#include "input/midi_ring.h"

class MidiInDevice;

// Product names of devices 0–4, null for a missing device or an empty name.
using MidiDeviceNames = std::array<std::unique_ptr<std::string>, kMidiDeviceCount>;
// The open devices, index = device number; null when closed.
using MidiDeviceSlots = std::array<std::unique_ptr<MidiInDevice>, kMidiDeviceCount>;

// Reads the names once: devices 5 and up are never listed, and a device whose capabilities
// cannot be read is treated like one with an empty name.
MidiDeviceNames EnumerateMidiInDevices();

// The system's callback; runs on a thread of the system's. Stores the message in the ring of
// the device given as instance value and posts MM_MIM_DATA (wParam = device number).
void CALLBACK MidiInCallback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2) noexcept;

class MidiInDevice {
public:
    enum class OpenResult { Opened, InvalidSelection, OpenFailed };

    MidiInDevice() = default;
    ~MidiInDevice() { Close(); }
    MidiInDevice(const MidiInDevice&) = delete;
    MidiInDevice& operator=(const MidiInDevice&) = delete;

    // Opens the device with MidiInCallback and this object as its instance value, after closing
    // whatever this object had open. The ring starts empty. Shows no message.
    OpenResult Open(UINT deviceNumber, HWND notifyWindow);
    bool Start();
    // Stops, resets and closes the device; nothing when it is not open.
    void Close() noexcept;

    bool IsOpen() const noexcept { return m_hMidiIn.load(std::memory_order_acquire) != nullptr; }
    HMIDIIN Handle() const noexcept { return m_hMidiIn.load(std::memory_order_acquire); }
    UINT DeviceNumber() const noexcept { return m_deviceNumber; }

    // The consumer's view of the ring: none when the device is closed or nothing is pending.
    std::optional<MidiRingEntry> Peek() const noexcept;
    void Advance() noexcept { m_ring.Advance(); }
    MidiRing& Ring() noexcept { return m_ring; }

private:
    friend void CALLBACK MidiInCallback(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) noexcept;

    // What the callback compares: published only after midiInOpen has returned, cleared
    // before the device is closed.
    std::atomic<HMIDIIN> m_hMidiIn{ nullptr };
    UniqueMidiIn m_device;
    MidiRing m_ring;
    HWND m_notifyWindow = nullptr;
    UINT m_deviceNumber = 0;
};

// Reports a failed open or start to the user; the program shows a stop-icon message box.
class MidiFailureReporter {
public:
    virtual void Report(const char* text) = 0;

protected:
    ~MidiFailureReporter() = default;
};

MidiFailureReporter& MessageBoxMidiFailureReporter();

// Opens every selected device that has a name and is not open yet (and starts it), closes
// every open device that is no longer selected. A device that fails is left closed with its
// selection kept, so it is tried again, with its message, at the next call.
void SyncMidiDevices(HWND notifyWindow, const int (&enabled)[kMidiDeviceCount], const MidiDeviceNames& names,
                     MidiDeviceSlots& slots, MidiFailureReporter& reporter = MessageBoxMidiFailureReporter());

// Stops, resets and closes every open device, then releases it and its ring.
void CloseMidiDevices(MidiDeviceSlots& slots) noexcept;
