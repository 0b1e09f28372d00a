// The winmm side of MidiInApi, the system's callback that hands each call to its device, and
// the message box that reports a device that would not open or start.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "input/midi_in_api.h"
#include "input/midi_in_device.h"

class WinmmMidiInApi final : public MidiInApi {
public:
    // The window that gets MM_MIM_DATA; set before the first device opens.
    void SetNotifyWindow(HWND window) noexcept { m_notifyWindow = window; }
    // When set, the notification sets this event (the sending thread's) instead of posting.
    void SetNotifyEvent(HANDLE event) noexcept { m_notifyEvent = event; }

    unsigned DeviceCount() override;
    std::optional<std::string> DeviceName(unsigned device) override;
    MidiInHandle Open(unsigned device, MidiInDevice& owner) override;
    std::optional<unsigned> HandlePosition(MidiInHandle handle) override;
    bool Start(MidiInHandle handle) override;
    void Stop(MidiInHandle handle) override;
    void Reset(MidiInHandle handle) override;
    void Close(MidiInHandle handle) override;
    bool PostNotification(unsigned device) noexcept override;

private:
    HWND m_notifyWindow = nullptr;
    HANDLE m_notifyEvent = nullptr;
};

// The system's callback; runs on a thread of the system's. instance is the MidiInDevice.
void CALLBACK MidiInCallback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2) noexcept;

MidiFailureReporter& MessageBoxMidiFailureReporter();
