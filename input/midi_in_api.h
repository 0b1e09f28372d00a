// The multimedia calls behind MIDI input, as one small interface: the winmm back end lives in
// midi_in_api_win.cpp, the tests bring a fake. Everything above it (device names, open and
// close, the callback's body, the selection) is platform-free.
#pragma once

#include <optional>
#include <string>

class MidiInDevice;

// An open system device (HMIDIIN in winmm); null is never a valid handle.
using MidiInHandle = void*;

// MIM_DATA, the one callback message that carries a short message.
constexpr unsigned kMidiInDataMessage = 0x3C3;
// MIM_CLOSE: after our own midiInClose, or when the system closes a device that went away.
constexpr unsigned kMidiInCloseMessage = 0x3C2;

class MidiInApi {
public:
    // midiInGetNumDevs.
    virtual unsigned DeviceCount() = 0;
    // midiInGetDevCapsA: the product name; none when the capabilities cannot be read.
    virtual std::optional<std::string> DeviceName(unsigned device) = 0;
    // midiInOpen with MidiInCallback and owner as the callback's instance value; null on failure.
    virtual MidiInHandle Open(unsigned device, MidiInDevice& owner) = 0;
    // midiInGetID: the position the system gives the open device now; none when the handle is
    // dead (the device went away, also unnoticed, e.g. across a sleep).
    virtual std::optional<unsigned> HandlePosition(MidiInHandle handle) = 0;
    virtual bool Start(MidiInHandle handle) = 0;
    virtual void Stop(MidiInHandle handle) = 0;
    virtual void Reset(MidiInHandle handle) = 0;
    virtual void Close(MidiInHandle handle) = 0;
    // From the callback thread: wakes the sending thread, which takes the rings. False when
    // that failed. Must not block or allocate.
    virtual bool WakeSender() noexcept = 0;

protected:
    ~MidiInApi() = default;
};
