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

#include "tests/benchmark/virtual_midi_protocol.h"

namespace virtual_midi {

using MidiCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

class Driver {
public:
    // Reads the configuration and starts the command thread on first use.
    static Driver& Instance();

    UINT DeviceCount();
    MMRESULT GetCaps(UINT_PTR id, MIDIINCAPSA* caps, UINT size);
    MMRESULT Open(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT SetStarted(HMIDIIN handle, bool started);
    MMRESULT Close(HMIDIIN handle);

    // One MIM_DATA callback on the calling thread when the device is started; false otherwise.
    bool CallData(std::uint32_t device, std::uint32_t param1, LONGLONG* calledAt);
    LRESULT Deliver(const DeliverCommand& command);
    LRESULT IsStarted(std::uint32_t device);
    LRESULT Plug(const PlugCommand& command);

private:
    struct Device {
        std::string name;
        bool failOpen = false;
        HMIDIIN handle = nullptr;
        MidiCallback callback = nullptr;
        DWORD_PTR instance = 0;
        bool started = false;
        LONGLONG startCounter = 0;
    };

    Driver();
    Device* Find(HMIDIIN handle);
    void Call(Device& device, std::uint32_t param1, std::uint32_t timestamp);

    CRITICAL_SECTION m_lock;
    std::vector<Device> m_devices;
    std::vector<Device> m_pulled;
    std::uintptr_t m_nextHandle = 0x4D490010;
    LARGE_INTEGER m_frequency = {};
};

// The thread of the hidden command window and of the stream feeder; started once.
void StartCommandThread(Driver& driver);

}   // namespace virtual_midi
