// The winmm side of MidiInApi, the system's callback that hands each call to its device, and
// the message box that reports a device that would not open or start.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "input/midi_in_api.h"
#include "input/midi_in_device.h"

class WinmmMidiInApi final : public MidiInApi {
public:
    // The sending thread's wake-up event; set before the first device opens.
    void SetWakeEvent(HANDLE event) noexcept { m_wakeEvent = event; }

    unsigned DeviceCount() override;
    std::optional<std::string> DeviceName(unsigned device) override;
    MidiInHandle Open(unsigned device, MidiInDevice& owner) override;
    std::optional<unsigned> HandlePosition(MidiInHandle handle) override;
    bool Start(MidiInHandle handle) override;
    void Stop(MidiInHandle handle) override;
    void Reset(MidiInHandle handle) override;
    void Close(MidiInHandle handle) override;
    bool WakeSender() noexcept override;

private:
    HANDLE m_wakeEvent = nullptr;
};

// The system's callback; runs on a thread of the system's. instance is the MidiInDevice.
void CALLBACK MidiInCallback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2) noexcept;

MidiFailureReporter& MessageBoxMidiFailureReporter();
