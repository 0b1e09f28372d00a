#include "midi_in_device_win.h"

#include <cstring>

#include "framework/afx_functions.h"

namespace {
constexpr const char* kInvalidSelection = "Invalid MIDI selection";
constexpr const char* kCannotOpen = "Cannot open MIDI device";
constexpr const char* kCannotStart = "Cannot start MIDI device";

class MessageBoxReporter final : public MidiFailureReporter {
public:
    void Report(const char* text) override { AfxMessageBox(text, MB_OK | MB_ICONSTOP); }
};
}

MidiDeviceNames EnumerateMidiInDevices()
{
    MidiDeviceNames names;
    UINT count = ::midiInGetNumDevs();
    for (UINT id = 0; id < count && id < static_cast<UINT>(kMidiDeviceCount); ++id) {
        MIDIINCAPSA caps = {};
        if (::midiInGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
            continue;
        // A driver need not terminate a name that fills the field.
        size_t length = strnlen(caps.szPname, sizeof caps.szPname);
        if (length > 0)
            names[id] = std::make_unique<std::string>(caps.szPname, length);
    }
    return names;
}

void CALLBACK MidiInCallback(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2) noexcept
{
    auto* device = reinterpret_cast<MidiInDevice*>(instance);
    // A null handle never matches: a closed device also holds null.
    if (!device || !handle || handle != device->m_hMidiIn.load(std::memory_order_acquire))
        return;
    if (message != MIM_DATA)
        return;
    if (!CaptureShortMessage(device->m_ring, static_cast<std::uint32_t>(param1), static_cast<std::uint32_t>(param2)))
        return;
    ::PostMessageA(device->m_notifyWindow, MM_MIM_DATA, device->m_deviceNumber, 0);
}

MidiInDevice::OpenResult MidiInDevice::Open(UINT deviceNumber, HWND notifyWindow)
{
    Close();
    if (deviceNumber >= ::midiInGetNumDevs())
        return OpenResult::InvalidSelection;
    // Everything the callback reads is in place before the handle it compares is published.
    m_notifyWindow = notifyWindow;
    m_deviceNumber = deviceNumber;
    m_ring.Clear();
    HMIDIIN handle = nullptr;
    if (::midiInOpen(&handle, deviceNumber, reinterpret_cast<DWORD_PTR>(&MidiInCallback),
                     reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
        return OpenResult::OpenFailed;
    m_device.Reset(handle);
    m_hMidiIn.store(handle, std::memory_order_release);
    return OpenResult::Opened;
}

bool MidiInDevice::Start()
{
    return m_device && ::midiInStart(m_device.Get()) == MMSYSERR_NOERROR;
}

void MidiInDevice::Close() noexcept
{
    // Callbacks that still arrive while the system stops and closes the device are ignored.
    m_hMidiIn.store(nullptr, std::memory_order_release);
    m_device.Reset();
}

std::optional<MidiRingEntry> MidiInDevice::Peek() const noexcept
{
    if (!IsOpen())
        return std::nullopt;
    return m_ring.Peek();
}

MidiFailureReporter& MessageBoxMidiFailureReporter()
{
    static MessageBoxReporter reporter;
    return reporter;
}

void SyncMidiDevices(HWND notifyWindow, const int (&enabled)[kMidiDeviceCount], const MidiDeviceNames& names,
                     MidiDeviceSlots& slots, MidiFailureReporter& reporter)
{
    for (size_t i = 0; i < slots.size(); ++i) {
        // A device without a name cannot be opened, selected or not, and nothing is shown for it.
        bool wanted = enabled[i] && names[i];
        std::unique_ptr<MidiInDevice>& slot = slots[i];
        if (!wanted) {
            slot.reset();
            continue;
        }
        if (slot)
            continue;
        auto device = std::make_unique<MidiInDevice>();
        switch (device->Open(static_cast<UINT>(i), notifyWindow)) {
        case MidiInDevice::OpenResult::InvalidSelection:
            reporter.Report(kInvalidSelection);
            continue;
        case MidiInDevice::OpenResult::OpenFailed:
            reporter.Report(kCannotOpen);
            continue;
        case MidiInDevice::OpenResult::Opened:
            break;
        }
        if (!device->Start()) {
            reporter.Report(kCannotStart);
            continue;
        }
        slot = std::move(device);
    }
}

void CloseMidiDevices(MidiDeviceSlots& slots) noexcept
{
    for (std::unique_ptr<MidiInDevice>& slot : slots)
        slot.reset();
}
