#include "midi_in_api_win.h"

#include <cstring>

#include "framework/afx_functions.h"

static_assert(kMidiInDataMessage == MIM_DATA && kMidiInCloseMessage == MIM_CLOSE);

namespace {
HMIDIIN ToHandle(MidiInHandle handle) { return static_cast<HMIDIIN>(handle); }

class MessageBoxReporter final : public MidiFailureReporter {
public:
    void Report(const char* text) override { AfxMessageBox(text, MB_OK | MB_ICONSTOP); }
};
}

unsigned WinmmMidiInApi::DeviceCount() { return ::midiInGetNumDevs(); }

std::optional<std::string> WinmmMidiInApi::DeviceName(unsigned device)
{
    MIDIINCAPSA caps = {};
    if (::midiInGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR)
        return std::nullopt;
    // A driver need not terminate a name that fills the field.
    return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

MidiInHandle WinmmMidiInApi::Open(unsigned device, MidiInDevice& owner)
{
    HMIDIIN handle = nullptr;
    if (::midiInOpen(&handle, device, reinterpret_cast<DWORD_PTR>(&MidiInCallback), reinterpret_cast<DWORD_PTR>(&owner),
                     CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
        return nullptr;
    return handle;
}

std::optional<unsigned> WinmmMidiInApi::HandlePosition(MidiInHandle handle)
{
    UINT position = 0;
    if (::midiInGetID(ToHandle(handle), &position) != MMSYSERR_NOERROR)
        return std::nullopt;
    return position;
}

bool WinmmMidiInApi::Start(MidiInHandle handle) { return ::midiInStart(ToHandle(handle)) == MMSYSERR_NOERROR; }

void WinmmMidiInApi::Stop(MidiInHandle handle) { ::midiInStop(ToHandle(handle)); }

void WinmmMidiInApi::Reset(MidiInHandle handle) { ::midiInReset(ToHandle(handle)); }

void WinmmMidiInApi::Close(MidiInHandle handle) { ::midiInClose(ToHandle(handle)); }

bool WinmmMidiInApi::WakeSender() noexcept { return ::SetEvent(m_wakeEvent) != FALSE; }

void CALLBACK MidiInCallback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2) noexcept
{
    if (auto* device = reinterpret_cast<MidiInDevice*>(instance))
        device->OnCallback(handle, message, static_cast<std::uint32_t>(param1), static_cast<std::uint32_t>(param2));
}

MidiFailureReporter& MessageBoxMidiFailureReporter()
{
    static MessageBoxReporter reporter;
    return reporter;
}
