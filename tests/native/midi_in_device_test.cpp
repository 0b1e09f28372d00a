// MIDI input above the multimedia calls, on a fake of them: the callback's body and its ring,
// the selection, a device that goes away, and the drain.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "input/midi_device_choice.h"
#include "input/midi_in_device.h"
#include "input/midi_wakeup.h"

namespace {
MidiInHandle Handle(unsigned device) { return reinterpret_cast<MidiInHandle>(0x100 + device); }
unsigned Number(MidiInHandle handle) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle) - 0x100); }

// Devices by name; "!open" or "!start" at the end makes that call fail. Every call but a name
// read is logged, and the fake counts the notifications posted.
class FakeMidiIn final : public MidiInApi, public MidiFailureReporter {
public:
    unsigned DeviceCount() override { return static_cast<unsigned>(names.size()); }
    std::optional<std::string> DeviceName(unsigned device) override { return names.at(device); }
    MidiInHandle Open(unsigned device, MidiInDevice& owner) override
    {
        owners.resize(names.size());
        owners[device] = &owner;
        return Log("open", device), Fails(device, "!open") ? nullptr : Handle(device);
    }
    std::optional<unsigned> HandlePosition(MidiInHandle handle) override { return Number(handle); }
    bool Start(MidiInHandle handle) override { return Log("start", Number(handle)), !Fails(Number(handle), "!start"); }
    void Stop(MidiInHandle handle) override { Closing("stop", handle); }
    void Reset(MidiInHandle handle) override { Log("reset", Number(handle)); }
    void Close(MidiInHandle handle) override { Closing("close", handle); }
    bool PostNotification(unsigned) noexcept override { return ++posts, true; }
    void Report(const char* text) override { calls += std::string(text) + ";"; }

    std::vector<std::optional<std::string>> names;
    std::vector<MidiInDevice*> owners;
    std::string calls;
    int posts = 0;
    int storedWhileClosing = 0;

private:
    bool Fails(unsigned device, const char* call) { return names[device] && names[device]->ends_with(call); }
    void Log(const char* call, unsigned device) { calls += std::string(call) + " " + std::to_string(device) + ";"; }
    // As a driver may: one more message, and its MIM_CLOSE, while the device is being closed.
    void Closing(const char* call, MidiInHandle handle)
    {
        Log(call, Number(handle));
        storedWhileClosing += owners[Number(handle)]->OnCallback(handle, kMidiInDataMessage, 0x00643C90, 0);
        owners[Number(handle)]->OnCallback(handle, kMidiInCloseMessage, 0, 0);
    }
};

struct Rig {
    explicit Rig(std::vector<std::optional<std::string>> devices, const int (&selected)[kMidiDeviceCount] = {})
    {
        api.names = std::move(devices);
        names = ReadMidiDeviceNames(api);
        Apply(selected);
    }
    void Apply(const int (&selected)[kMidiDeviceCount]) { ApplyMidiDeviceSelection(api, wakeup, selected, names, slots, api); }
    bool Store(unsigned device, std::uint32_t data1)
    {
        return slots[device]->OnCallback(Handle(device), kMidiInDataMessage, 0x0000B0 | data1 << 8, data1);
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
    std::string Refresh()
    {
        MidiDeviceChanges changes = RefreshMidiDevices(api, wakeup, choice, enabled, names, slots);
        std::string text;
        for (auto [what, list] : { std::pair{ "lost ", &changes.lost }, { "back ", &changes.back } })
            for (const std::string& name : *list)
                text += what + name + ";";
        return text;
    }

    FakeMidiIn api;
    MidiWakeup wakeup;
    MidiDeviceNames names;
    MidiDeviceSlots slots;
    std::vector<MidiDeviceChoice> choice;
    int enabled[kMidiDeviceCount] = {};
};

const std::vector<std::optional<std::string>> kFive = { "Keys", "Pads", "Pedal", "Drums", "Wind" };

// A full ring, and its order across the wrap, are the threaded test's.
TEST(MidiInCallback, StoresOnlyChannelMessagesOfItsOwnHandle)
{
    struct Case { unsigned handle, message; std::uint8_t status; bool stored; };   // handle: of device n, 9: null
    const Case cases[] = {
        { 0, kMidiInDataMessage, 0x80, true }, { 0, kMidiInDataMessage, 0xEF, true }, { 0, kMidiInDataMessage, 0xF0, false },
        { 0, kMidiInDataMessage, 0xFF, false }, { 0, 0x3C1 /* MIM_OPEN */, 0x90, false }, { 1, kMidiInDataMessage, 0x90, false },
        { 9, kMidiInDataMessage, 0x90, false },
    };
    for (const Case& c : cases) {
        Rig rig(kFive, { 1 });
        MidiInDevice& device = *rig.slots[0];
        EXPECT_EQ(device.OnCallback(c.handle == 9 ? nullptr : Handle(c.handle), c.message, 0x7F643C00u | c.status, 4321), c.stored)
            << std::hex << int(c.status);
        std::optional<MidiRingEntry> e = device.Peek();
        EXPECT_EQ(e ? std::vector<int>({ int(e->timestamp), e->status, e->data1, e->data2 }) : std::vector<int>{},
                  c.stored ? std::vector<int>({ 4321, c.status, 0x3C, 0x64 }) : std::vector<int>{});
    }
}

TEST(MidiDeviceSelection, OpensSelectedNamedDevicesReportsFailuresRetriesThemAndClosesCleanly)
{
    Rig rig({ "Keys", "Pads!open", "", "Drums!start" });   // "" is no name
    const int all[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };
    rig.Apply(all);
    rig.Apply(all);
    const std::string failed = "open 1;Cannot open MIDI device;open 3;start 3;Cannot start MIDI device;stop 3;reset 3;close 3;";
    EXPECT_EQ(rig.api.calls, "open 0;start 0;" + failed + failed);
    EXPECT_EQ(rig.api.storedWhileClosing, 0);   // the handle is cleared before the device stops
    EXPECT_FALSE(rig.slots[0]->IsLost());       // and our own close is not a loss

    // Deselected, the device closes; selected again, it opens.
    rig.api.calls.clear();
    rig.Apply({ 0 });
    rig.Apply({ 1 });
    CloseMidiDevices(rig.slots);
    EXPECT_EQ(rig.api.calls, "stop 0;reset 0;close 0;open 0;start 0;stop 0;reset 0;close 0;");
}

TEST(MidiDeviceChoice, FindsEachChosenNameWhereItIsNowAndKeepsThoseThatAreGone)
{
    using Choice = std::vector<MidiDeviceChoice>;
    struct Case { Choice choice; std::vector<std::optional<std::string>> now; int enabled[kMidiDeviceCount]; Choice matched, gone; };
    const Case cases[] = {
        { { { 1, "Keys" } }, { "Keys", "Keys" }, { 0, 1 }, { { 1, "Keys" } }, {} },   // its number still carries it
        // Order decides; one that is gone is kept at its last number; by number only, an absent one is dropped.
        { { { 3, "Keys" }, { 4, "Keys" } }, { "Pads", "Keys", "Keys" }, { 0, 1, 1 }, { { 1, "Keys" }, { 2, "Keys" } }, {} },
        { { { 0, "Keys" }, { 1, "Pads" } }, { "Pads" }, { 1 }, { { 0, "Keys" }, { 0, "Pads" } }, { { 0, "Keys" } } },
        { { { 1, "" }, { 3, "" } }, { "Keys", "Pads", "Pedal", std::nullopt }, { 0, 1 }, { { 1, "Pads" } }, {} },
    };
    for (const Case& c : cases) {
        Rig rig(c.now);
        rig.choice = c.choice;
        MatchMidiChoice(rig.choice, rig.names, rig.enabled);
        EXPECT_TRUE(std::equal(rig.enabled, rig.enabled + kMidiDeviceCount, c.enabled) && rig.choice == c.matched) << &c - cases;
        // The user's choice by number keeps what no device carries now.
        RememberMidiChoice(rig.choice, rig.enabled, rig.names);
        EXPECT_TRUE(rig.choice == c.matched) << &c - cases;
        RememberMidiChoice(rig.choice, {}, rig.names);
        EXPECT_TRUE(rig.choice == c.gone) << &c - cases;
    }
}

// Its return at another number is the end-to-end test's.
TEST(MidiDeviceReturn, APulledDeviceWakesTheWindowThreadAndIsReportedLostWhileTheOthersMove)
{
    Rig rig({ "Keys", "Pads", "Pedal" });
    rig.choice = { { 1, "Pads" }, { 2, "Pedal" } };
    EXPECT_EQ(rig.Refresh(), "back Pads;back Pedal;");
    // Pads is pulled: the system closes it, which wakes the window thread; Pedal moves down to 1.
    EXPECT_FALSE(rig.slots[1]->OnCallback(Handle(1), kMidiInCloseMessage, 0, 0));
    EXPECT_TRUE(rig.slots[1]->IsLost());
    EXPECT_EQ(rig.api.posts, 1);
    rig.api.names = { "Keys", "Pedal" };
    EXPECT_EQ(rig.Refresh(), "lost Pads;");
    EXPECT_TRUE(rig.slots[1] && !rig.slots[2]);
}

TEST(MidiDrain, TakesWhatWasPresentWhenItStartedAndSurvivesASinkThatClosesOrDrainsAgain)
{
    Rig rig(kFive, { 1, 1 });
    for (std::uint32_t i = 1; i <= 3; ++i)
        rig.Store(1, i), rig.Store(0, i);
    EXPECT_EQ(rig.api.posts, 1) << "one notification until the window thread drains";
    // Device 0 floods, then is closed at its second entry; device 1 drains a nested time.
    std::uint32_t next = 10;
    std::vector<int> nested;
    EXPECT_EQ(rig.Drain([&](int device, const MidiRingEntry& entry) {
        if (device == 0 && entry.data1 == 2)
            rig.slots[0].reset();
        else if (device == 0)
            rig.Store(0, next++);
        else if (entry.data1 == 1)
            nested = rig.Drain();
    }), (std::vector<int>{ 1, 2, 1001 }));
    EXPECT_EQ(nested, (std::vector<int>{ 1002, 1003 }));
    EXPECT_EQ(rig.api.posts, 2) << "the flood raised one again";
}
}
