// The virtual MIDI driver's devices and the calls a program makes on them. One lock guards
// every device; it is held while a callback runs, so a callback never overlaps the close of
// its own device, as the system guarantees.
#pragma once

#define _WINMM_   // we define the winmm functions, the header must not import them
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/virtual_midi/virtual_midi_protocol.h"

namespace virtual_midi {

using MidiCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

struct DeviceConfig {
    std::string name;
    bool failOpen = false;
    bool failStart = false;
    bool failCaps = false;
};

// The device list of the environment variable and of kConfigure.
std::vector<DeviceConfig> ParseDeviceList(const std::string& text);

enum class CallResult { Delivered, NotStarted, Closed };

class Driver {
public:
    // Reads the configuration and starts the command thread on first use.
    static Driver& Instance();

    UINT DeviceCount();
    MMRESULT GetCaps(UINT_PTR id, MIDIINCAPSA* caps, UINT size);
    MMRESULT Open(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT Start(HMIDIIN handle);
    MMRESULT Stop(HMIDIIN handle);
    MMRESULT Reset(HMIDIIN handle);
    MMRESULT Close(HMIDIIN handle);

    // One MIM_DATA callback on the calling thread, if the device may get one.
    CallResult CallData(std::uint32_t device, std::uint32_t param1, bool throughClose, LONGLONG* calledAt);
    LRESULT Deliver(const DeliverCommand& command);
    LRESULT Query(std::uint32_t device, std::uint32_t what);
    LRESULT Configure(const std::string& text);
    // A stream that goes on through close makes midiInReset of its device slow, as with a
    // driver that takes its time: the reset waits (without the lock) until the stream has
    // called the callback a few times after midiInStop.
    void MarkThroughClose(std::uint32_t device, int change);

private:
    struct Device {
        DeviceConfig config;
        HMIDIIN handle = nullptr;
        MidiCallback callback = nullptr;
        DWORD_PTR instance = 0;
        bool started = false;
        bool stopped = false;
        LONGLONG startCounter = 0;
        HMIDIIN lastHandle = nullptr;
        MidiCallback lastCallback = nullptr;
        DWORD_PTR lastInstance = 0;
        LRESULT openAttempts = 0;
        LRESULT capsReads = 0;
        LRESULT dataCallbacks = 0;
        LRESULT callbacksAfterStop = 0;   // of the current or last open
        int throughCloseStreams = 0;
        std::uint64_t callSequence = 0;
    };

    Driver();
    Device* Find(HMIDIIN handle);
    Device& At(std::uint32_t device);   // grows the table; under the lock
    void Log(Device& device, unsigned call) { device.callSequence = device.callSequence << 4 | call; }
    std::uint32_t Timestamp(const Device& device) const;

    CRITICAL_SECTION m_lock;
    std::vector<Device> m_devices;
    UINT m_count = 0;
    std::uintptr_t m_nextHandle = 0x4D490010;
    LARGE_INTEGER m_frequency = {};
};

// The thread of the hidden command window and of the stream feeder; started once.
void StartCommandThread(Driver& driver);

}   // namespace virtual_midi
