#include "midi_in_device.h"

#include "input/midi_wakeup.h"

namespace {
constexpr const char* kInvalidSelection = "Invalid MIDI selection";
constexpr const char* kCannotOpen = "Cannot open MIDI device";
constexpr const char* kCannotStart = "Cannot start MIDI device";
}

MidiInDevice::OpenResult MidiInDevice::Open(MidiInApi& api, MidiWakeup& wakeup, unsigned deviceNumber)
{
    Close();
    if (deviceNumber >= api.DeviceCount())
        return OpenResult::InvalidSelection;
    // Everything the callback reads is in place before the handle it compares is published.
    m_api = &api;
    m_wakeup = &wakeup;
    m_ring.Clear();
    m_lost.store(false, std::memory_order_relaxed);
    MidiInHandle handle = api.Open(deviceNumber, *this);
    if (!handle)
        return OpenResult::OpenFailed;
    m_owned = handle;
    m_hMidiIn.store(handle, std::memory_order_release);
    return OpenResult::Opened;
}

bool MidiInDevice::Start() { return m_owned && m_api->Start(m_owned); }

void MidiInDevice::Close() noexcept
{
    if (!m_owned)
        return;
    // Callbacks that still arrive while the system stops and closes the device are ignored.
    m_hMidiIn.store(nullptr, std::memory_order_release);
    m_api->Stop(m_owned);
    m_api->Reset(m_owned);
    m_api->Close(m_owned);
    m_owned = nullptr;
}

bool MidiInDevice::OnCallback(MidiInHandle handle, unsigned message, std::uint32_t param1, std::uint32_t param2) noexcept
{
    // A null handle never matches: a closed device also holds null.
    if (!handle || handle != m_hMidiIn.load(std::memory_order_acquire))
        return false;
    if (message == kMidiInCloseMessage) {
        // Our own close clears the handle first, so only a close by the system gets here.
        m_lost.store(true, std::memory_order_release);
        return false;
    }
    if (message != kMidiInDataMessage || !CaptureShortMessage(m_ring, param1, param2))
        return false;
    m_wakeup->Notify(*m_api);
    return true;
}

std::unique_ptr<MidiInDevice> OpenAndStartMidiDevice(MidiInApi& api, MidiWakeup& wakeup, unsigned position,
                                                     MidiFailureReporter& reporter)
{
    auto device = std::make_unique<MidiInDevice>();
    switch (device->Open(api, wakeup, position)) {
    case MidiInDevice::OpenResult::InvalidSelection:
        reporter.Report(kInvalidSelection);
        return nullptr;
    case MidiInDevice::OpenResult::OpenFailed:
        reporter.Report(kCannotOpen);
        return nullptr;
    case MidiInDevice::OpenResult::Opened:
        break;
    }
    if (!device->Start()) {
        reporter.Report(kCannotStart);
        return nullptr;
    }
    return device;
}
