#include "midi_in_device.h"

#include <algorithm>
#include <iterator>

#include "input/midi_device_choice.h"
#include "input/midi_wakeup.h"

namespace {
constexpr const char* kInvalidSelection = "Invalid MIDI selection";
constexpr const char* kCannotOpen = "Cannot open MIDI device";
constexpr const char* kCannotStart = "Cannot start MIDI device";
}

MidiDeviceNames ReadMidiDeviceNames(MidiInApi& api)
{
    MidiDeviceNames names;
    unsigned count = api.DeviceCount();
    for (unsigned id = 0; id < count && id < static_cast<unsigned>(kMidiDeviceCount); ++id) {
        std::optional<std::string> name = api.DeviceName(id);
        if (name && !name->empty())
            names[id] = std::make_unique<std::string>(std::move(*name));
    }
    return names;
}

MidiInDevice::OpenResult MidiInDevice::Open(MidiInApi& api, MidiWakeup& wakeup, unsigned deviceNumber)
{
    Close();
    if (deviceNumber >= api.DeviceCount())
        return OpenResult::InvalidSelection;
    // Everything the callback reads is in place before the handle it compares is published.
    m_api = &api;
    m_wakeup = &wakeup;
    m_deviceNumber = deviceNumber;
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
        m_wakeup->Notify(*m_api, m_deviceNumber);
        return false;
    }
    if (message != kMidiInDataMessage || !CaptureShortMessage(m_ring, param1, param2))
        return false;
    m_wakeup->Notify(*m_api, m_deviceNumber);
    return true;
}

std::optional<MidiRingEntry> MidiInDevice::Peek() const noexcept
{
    if (!IsOpen())
        return std::nullopt;
    return m_ring.Peek();
}

namespace {
// Opens and starts device i; null, with its message reported, when either fails.
std::unique_ptr<MidiInDevice> OpenAndStart(MidiInApi& api, MidiWakeup& wakeup, unsigned i, MidiFailureReporter& reporter)
{
    auto device = std::make_unique<MidiInDevice>();
    switch (device->Open(api, wakeup, i)) {
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
}

void ApplyMidiDeviceSelection(MidiInApi& api, MidiWakeup& wakeup, const int (&enabled)[kMidiDeviceCount],
                              const MidiDeviceNames& names, MidiDeviceSlots& slots, MidiFailureReporter& reporter)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        // A device without a name cannot be opened, selected or not, and nothing is shown for it.
        if (!enabled[i] || !names[i])
            slots[i].reset();
        else if (!slots[i])
            slots[i] = OpenAndStart(api, wakeup, static_cast<unsigned>(i), reporter);
    }
}

void CloseMidiDevices(MidiDeviceSlots& slots) noexcept
{
    for (std::unique_ptr<MidiInDevice>& slot : slots)
        slot.reset();
}

std::vector<std::string> OpenMidiDeviceNames(const MidiDeviceNames& names, const MidiDeviceSlots& slots)
{
    std::vector<std::string> open;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] && names[i])
            open.push_back(*names[i]);
    }
    std::sort(open.begin(), open.end());
    return open;
}

namespace {
class SilentReporter final : public MidiFailureReporter {
public:
    void Report(const char*) override {}
};

std::vector<std::string> Without(const std::vector<std::string>& sorted, const std::vector<std::string>& removed)
{
    std::vector<std::string> rest;
    std::set_difference(sorted.begin(), sorted.end(), removed.begin(), removed.end(), std::back_inserter(rest));
    return rest;
}

bool SameName(const std::unique_ptr<std::string>& a, const std::unique_ptr<std::string>& b)
{
    return a && b ? *a == *b : a == b;
}
}

MidiDeviceChanges RefreshMidiDevices(MidiInApi& api, MidiWakeup& wakeup, std::vector<MidiDeviceChoice>& choice,
                                     int (&enabled)[kMidiDeviceCount], MidiDeviceNames& names, MidiDeviceSlots& slots)
{
    std::vector<std::string> before = OpenMidiDeviceNames(names, slots);
    MidiDeviceNames now = ReadMidiDeviceNames(api);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] && (slots[i]->IsLost() || !SameName(names[i], now[i])))
            slots[i].reset();
    }
    names = std::move(now);
    MatchMidiChoice(choice, names, enabled);
    SilentReporter silent;
    ApplyMidiDeviceSelection(api, wakeup, enabled, names, slots, silent);
    std::vector<std::string> after = OpenMidiDeviceNames(names, slots);
    return { Without(before, after), Without(after, before) };
}
