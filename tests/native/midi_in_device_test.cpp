// MIDI input above the multimedia calls, on a fake of them: device names, open and close, the
// callback's body, the selection, and the wake-up and drain of the window thread.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "input/midi_in_device.h"
#include "input/midi_wakeup.h"

namespace {
struct FakeDevice {
    std::optional<std::string> name;   // none: the capabilities cannot be read
    bool failOpen = false;
    bool failStart = false;
};

class FakeMidiIn final : public MidiInApi {
public:
    explicit FakeMidiIn(std::vector<FakeDevice> devices) : count(devices.size()), m_devices(std::move(devices)) {}

    static MidiInHandle Handle(unsigned device) { return reinterpret_cast<MidiInHandle>(0x100 + device); }
    static unsigned Number(MidiInHandle handle) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle) - 0x100); }

    unsigned DeviceCount() override { return static_cast<unsigned>(count); }
    std::optional<std::string> DeviceName(unsigned device) override
    {
        nameReads.push_back(device);
        return m_devices.at(device).name;
    }
    MidiInHandle Open(unsigned device, MidiInDevice& owner) override
    {
        Log("open", device);
        if (m_devices.at(device).failOpen)
            return nullptr;
        m_owners.resize(m_devices.size());
        m_owners[device] = &owner;
        return Handle(device);
    }
    bool Start(MidiInHandle handle) override { return Log("start", Number(handle)), !m_devices[Number(handle)].failStart; }
    void Stop(MidiInHandle handle) override { Closing("stop", handle); }
    void Reset(MidiInHandle handle) override { Closing("reset", handle); }
    void Close(MidiInHandle handle) override { Closing("close", handle); }
    bool PostNotification(unsigned) noexcept override { return ++posts, !postFails; }

    std::size_t count;
    std::vector<unsigned> nameReads;
    std::string calls;
    int posts = 0;
    bool postFails = false;
    int storedWhileClosing = 0;

private:
    void Log(const char* call, unsigned device) { calls += std::string(call) + " " + std::to_string(device) + ";"; }
    // As a driver may: one more message from the device while it is being closed.
    void Closing(const char* call, MidiInHandle handle)
    {
        Log(call, Number(handle));
        storedWhileClosing += m_owners[Number(handle)]->OnCallback(handle, kMidiInDataMessage, 0x00643C90, 0);
    }

    std::vector<FakeDevice> m_devices;
    std::vector<MidiInDevice*> m_owners;
};

class Reporter final : public MidiFailureReporter {
public:
    void Report(const char* text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

struct Rig {
    explicit Rig(std::vector<FakeDevice> devices) : api(std::move(devices)), names(ReadMidiDeviceNames(api)) {}
    void Apply(const int (&enabled)[kMidiDeviceCount]) { ApplyMidiDeviceSelection(api, wakeup, enabled, names, slots, reporter); }
    bool Store(unsigned device, std::uint32_t data1)
    {
        return slots[device]->OnCallback(FakeMidiIn::Handle(device), kMidiInDataMessage, 0x0000B0 | data1 << 8, data1);
    }
    // Drains once; each entry as device * 1000 + data1.
    std::vector<int> Drain(const std::function<void(int, const MidiRingEntry&)>& also = {})
    {
        std::vector<int> seen;
        DrainMidiDevices(slots, wakeup, [&](int device, const MidiRingEntry& entry) {
            seen.push_back(device * 1000 + entry.data1);
            if (also)
                also(device, entry);
        });
        return seen;
    }

    FakeMidiIn api;
    MidiWakeup wakeup;
    MidiDeviceNames names;
    MidiDeviceSlots slots;
    Reporter reporter;
};

const std::vector<FakeDevice> kFiveDevices = { { "Keys" }, { "Pads" }, { "Pedal" }, { "Drums" }, { "Wind" } };
const int kAll[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };

TEST(MidiDeviceNames, AreReadForDevicesZeroToFourAndOnlyWhenNotEmpty)
{
    FakeMidiIn api({ { "Keys" }, { "" }, { std::nullopt }, { "Drums" }, { "Wind" }, { "Six" }, { "Seven" } });
    MidiDeviceNames names = ReadMidiDeviceNames(api);
    const char* expected[kMidiDeviceCount] = { "Keys", nullptr, nullptr, "Drums", "Wind" };
    for (int i = 0; i < kMidiDeviceCount; ++i) {
        EXPECT_EQ(names[i] ? *names[i] : "(none)", expected[i] ? expected[i] : "(none)") << i;
    }
    EXPECT_EQ(api.nameReads, (std::vector<unsigned>{ 0, 1, 2, 3, 4 }));
}

TEST(MidiInDevice, ClearsItsHandleBeforeStopResetAndCloseSoCallbacksThenAreIgnored)
{
    Rig rig(kFiveDevices);
    rig.Apply({ 0, 0, 1, 0, 0 });
    ASSERT_TRUE(rig.slots[2]);
    rig.slots[2]->Close();
    rig.slots[2]->Close();
    EXPECT_EQ(rig.api.calls, "open 2;start 2;stop 2;reset 2;close 2;");
    EXPECT_EQ(rig.api.storedWhileClosing, 0);
    EXPECT_FALSE(rig.slots[2]->IsOpen());
}

TEST(MidiInCallback, StoresOnlyChannelMessagesOfItsOwnHandle)
{
    struct Case { MidiInHandle handle; unsigned message; std::uint8_t status; bool stored; };
    const MidiInHandle own = FakeMidiIn::Handle(0);
    const Case cases[] = {
        { own, kMidiInDataMessage, 0x90, true }, { own, kMidiInDataMessage, 0x80, true },
        { own, kMidiInDataMessage, 0xBF, true }, { own, kMidiInDataMessage, 0xEF, true },
        { own, kMidiInDataMessage, 0xF0, false }, { own, kMidiInDataMessage, 0xF8, false },
        { own, kMidiInDataMessage, 0xFE, false }, { own, kMidiInDataMessage, 0xFF, false },
        { own, 0x3C1 /* MIM_OPEN */, 0x90, false }, { own, 0x3C5 /* MIM_ERROR */, 0x90, false },
        { FakeMidiIn::Handle(1), kMidiInDataMessage, 0x90, false }, { nullptr, kMidiInDataMessage, 0x90, false },
    };
    for (const Case& c : cases) {
        Rig rig(kFiveDevices);
        rig.Apply({ 1, 0, 0, 0, 0 });
        MidiInDevice& device = *rig.slots[0];
        EXPECT_EQ(device.OnCallback(c.handle, c.message, 0x7F643C00u | c.status, 4321), c.stored) << std::hex << int(c.status);
        EXPECT_EQ(rig.api.posts, c.stored ? 1 : 0);
        if (c.stored) {
            MidiRingEntry entry = *device.Peek();
            EXPECT_EQ(entry.timestamp, 4321u);
            EXPECT_EQ(entry.status, c.status);
            EXPECT_EQ(entry.data1, 0x3C);
            EXPECT_EQ(entry.data2, 0x64);
        }
    }
    // A closed device holds a null handle, which no callback matches.
    MidiInDevice closed;
    EXPECT_FALSE(closed.OnCallback(nullptr, kMidiInDataMessage, 0x90, 0));
}

TEST(MidiDeviceSelection, OpensSelectedNamedDevicesReportsFailuresAndRetriesThem)
{
    Rig rig({ { "Keys" }, { "Pads", true }, { "" }, { "Drums", false, true }, { "Wind" } });
    rig.api.count = 4;   // device 4 went away after its name was read
    const std::vector<std::string> failures = { "Cannot open MIDI device", "Cannot start MIDI device",
                                                "Invalid MIDI selection" };
    rig.Apply(kAll);
    EXPECT_EQ(rig.reporter.texts, failures);
    EXPECT_EQ(rig.api.calls, "open 0;start 0;open 1;open 3;start 3;stop 3;reset 3;close 3;");
    for (int i = 0; i < kMidiDeviceCount; ++i)
        EXPECT_EQ(rig.slots[i] != nullptr, i == 0) << i;

    rig.api.calls.clear();
    rig.Apply(kAll);
    EXPECT_EQ(rig.reporter.texts.size(), 2 * failures.size());
    EXPECT_EQ(rig.api.calls, "open 1;open 3;start 3;stop 3;reset 3;close 3;");

    // Deselected, the device closes; selected again, it opens with an empty ring.
    ASSERT_TRUE(rig.Store(0, 1));
    rig.api.calls.clear();
    rig.Apply({ 0, 0, 0, 0, 0 });
    EXPECT_EQ(rig.api.calls, "stop 0;reset 0;close 0;");
    EXPECT_FALSE(rig.slots[0]);
    rig.api.count = 5;
    rig.reporter.texts.clear();
    rig.Apply({ 1, 0, 0, 0, 1 });
    EXPECT_TRUE(rig.reporter.texts.empty());
    ASSERT_TRUE(rig.slots[0] && rig.slots[4]);
    EXPECT_FALSE(rig.slots[0]->Peek());
    rig.api.calls.clear();
    CloseMidiDevices(rig.slots);
    EXPECT_EQ(rig.api.calls, "stop 0;reset 0;close 0;stop 4;reset 4;close 4;");
}

TEST(MidiWakeup, PostsOnceUntilTheWindowThreadDrainsAndRetriesAFailedPost)
{
    Rig rig(kFiveDevices);
    rig.Apply({ 1, 1, 0, 0, 1 });
    rig.api.postFails = true;
    rig.Store(4, 1);
    EXPECT_EQ(rig.api.posts, 1);
    rig.api.postFails = false;
    rig.Store(4, 2);
    rig.Store(0, 3);
    rig.Store(1, 4);
    rig.Store(0, 5);
    EXPECT_EQ(rig.api.posts, 2);
    EXPECT_EQ(rig.Drain(), (std::vector<int>{ 3, 5, 1004, 4001, 4002 }));
    rig.Store(1, 6);
    EXPECT_EQ(rig.api.posts, 3);
}

TEST(MidiDrain, TakesAtMostWhatWasPresentWhenItStartedAndLeavesTheRestToANewNotification)
{
    Rig rig(kFiveDevices);
    rig.Apply({ 1, 0, 0, 0, 0 });
    rig.Store(0, 1);
    rig.Store(0, 2);
    // A device that floods: every dispatch finds a new entry behind it.
    std::uint32_t next = 10;
    EXPECT_EQ(rig.Drain([&](int, const MidiRingEntry&) { rig.Store(0, next++); }), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(rig.api.posts, 2);
    EXPECT_EQ(rig.Drain(), (std::vector<int>{ 10, 11 }));
}

TEST(MidiDrain, SurvivesADispatchThatClosesADeviceOrDrainsAgain)
{
    Rig rig(kFiveDevices);
    rig.Apply({ 1, 1, 0, 0, 0 });
    for (std::uint32_t i = 1; i <= 3; ++i)
        rig.Store(0, i), rig.Store(1, i);
    // Closing device 0 at its first entry: its ring, now gone, is not touched again.
    EXPECT_EQ(rig.Drain([&](int device, const MidiRingEntry&) {
        if (device == 0)
            rig.slots[0].reset();
    }), (std::vector<int>{ 1, 1001, 1002, 1003 }));

    // A nested drain inside a dispatch: every entry still goes out once, in order.
    for (std::uint32_t i = 4; i <= 6; ++i)
        rig.Store(1, i);
    std::vector<int> nested;
    std::vector<int> outer = rig.Drain([&](int, const MidiRingEntry& entry) {
        if (entry.data1 == 4)
            nested = rig.Drain();
    });
    EXPECT_EQ(outer, (std::vector<int>{ 1004 }));
    EXPECT_EQ(nested, (std::vector<int>{ 1005, 1006 }));
}
}
