// MIDI input above the multimedia calls, on a fake of them: the callback's body and its ring,
// opening and closing, and the devices' owner as devices come, go and move with the settings
// dialog open or closed, handing the rings to the sending thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "input/midi_devices.h"
#include "input/midi_in_device.h"
#include "input/midi_wakeup.h"

namespace {
// The multimedia calls, the sending thread as the owner sees it, and the settings dialog as the
// user and the scans drive it. Devices by position; "!open" or "!start" at the end of a name
// makes that call fail. Opens, starts, failures, closing calls and withdrawals are logged by
// name; a handle dies when its device goes. A withdrawn ring is sent out before the withdrawal
// returns (each entry as the first letter of its device's name and its number).
struct Rig final : MidiInApi, MidiFailureReporter, MidiRingBoard {
    struct Device {
        std::string name;
        MidiInHandle handle = nullptr;
        MidiInDevice* owner = nullptr;
    };

    explicit Rig(const std::string& positions, const std::string& stored = "")
    {
        std::istringstream list(positions);
        for (std::string name; std::getline(list, name, ',');)
            devices.push_back({ name });
        std::istringstream entries(stored);
        for (std::string entry; std::getline(entries, entry, ',');)
            choice.push_back({ std::stoi(entry), entry.substr(entry.find(':') + 1) });
        owner.Load(choice);   // as at start: the stored choice, then the devices opened
        owner.Sync(*this);
    }

    unsigned DeviceCount() override { return static_cast<unsigned>(devices.size()); }
    std::optional<std::string> DeviceName(unsigned position) override
    {
        if (failReads[position] > 0)
            return --failReads[position], std::nullopt;
        return devices.at(position).name;
    }
    MidiInHandle Open(unsigned position, MidiInDevice& device) override
    {
        Device& d = devices.at(position);
        calls += "open " + d.name + ";", opened += (opened.empty() ? "" : " ") + d.name;
        if (d.name.ends_with("!open"))
            return nullptr;
        d.owner = &device;
        return d.handle = reinterpret_cast<MidiInHandle>(++lastHandle);
    }
    std::optional<unsigned> HandlePosition(MidiInHandle handle) override
    {
        auto at = Find(handle);
        return at == devices.end() ? std::nullopt : std::optional(static_cast<unsigned>(at - devices.begin()));
    }
    bool Start(MidiInHandle handle) override { return Log("start", handle), !Find(handle)->name.ends_with("!start"); }
    void Stop(MidiInHandle handle) override { Closing("stop", handle); }
    void Reset(MidiInHandle handle) override { Log("reset", handle); }
    void Close(MidiInHandle handle) override
    {
        Closing("close", handle);
        if (auto at = Find(handle); at != devices.end())
            at->handle = nullptr, at->owner = nullptr;
    }
    bool WakeSender() noexcept override { return ++wakes, failedWakes == 0 || (--failedWakes, false); }
    void Report(const char* text) override { calls += std::string(text) + ";"; }

    void Publish(int number, MidiRing& ring) override { rings[static_cast<size_t>(number)] = &ring; }
    void Withdraw(int number) override
    {
        calls += "withdraw " + std::to_string(number) + ";";
        Send(number);
        rings[static_cast<size_t>(number)] = nullptr;
    }
    void Send(int number)
    {
        for (MidiRing* ring = rings[static_cast<size_t>(number)]; ring && !ring->IsEmpty(); ring->Advance())
            sent += char(ring->Peek()->data1) + std::to_string(number) + " ";
    }

    std::vector<Device>::iterator Named(const std::string& name)
    {
        return std::find_if(devices.begin(), devices.end(), [&](const Device& d) { return d.name == name; });
    }
    // The device's own callback, as its driver makes it.
    void Callback(const std::string& name, unsigned message, std::uint32_t param1 = 0)
    {
        if (auto device = Named(name); device->owner)
            device->owner->OnCallback(device->handle, message, param1, 0);
    }
    // One step of a scenario (see the table below).
    void Step(const std::string& step)
    {
        std::string arg = step.substr(step.find(':') + 1);
        auto at = arg.find('@');
        if (step == "dlg")
            shown = owner.Views(), edits.clear();
        else if (step[0] == '+' || step[0] == '-')   // "+5": a number beyond, with the name of 4
            edits.push_back({ std::stoi(arg.substr(1)), shown[std::min(std::stoul(arg.substr(1)), 4ul)].name, step[0] == '+' });
        else if (step == "ok")   // OK or Apply
            owner.Choose(edits), owner.Sync(*this);
        else if (step == "cancel")
            owner.Load(choice), owner.Sync(*this);
        else if (step == "scan")
            owner.Scan(), shown = owner.Views();   // the open dialog follows the scans
        else if (step.starts_with("pull"))   // "pull!": the system tells with MIM_CLOSE
            step[4] == '!' ? Callback(arg, kMidiInCloseMessage) : void(), devices.erase(Named(arg));
        else if (step.starts_with("plug"))
            devices.insert(devices.begin() + std::stoi(arg.substr(at + 1)), { arg.substr(0, at) });
        else if (step.starts_with("dead"))   // gone and back between two scans, without a word
            Named(arg)->handle = nullptr, Named(arg)->owner = nullptr;
        else if (step.starts_with("fail"))   // "fail2": the read fails twice
            failReads[std::stoul(arg)] = step[4] == '2' ? 2 : 1;
        else if (step.starts_with("send"))
            Callback(arg, kMidiInDataMessage, 0x0040'0090u | unsigned(arg[0]) << 8);
        else if (step == "drain")
            for (int n = 0; n < kMidiDeviceCount; ++n)
                Send(n);
    }
    // Each number's device: "*" chosen, "^" open, "~" not there.
    std::string State() const
    {
        std::string text;
        MidiDeviceViews views = owner.Views();
        for (int n = 0; n < kMidiDeviceCount; ++n) {
            const MidiDeviceView& v = views[static_cast<size_t>(n)];
            if (!v.name.empty())
                text += (text.empty() ? "" : " ") + std::to_string(n) + ":" + v.name + (v.chosen ? "*" : "") +
                        (owner.OpenDevice(n) ? "^" : "") + (v.present ? "" : "~");
        }
        return text;
    }

    std::vector<Device> devices;
    std::map<unsigned, int> failReads;   // by position: how many reads fail next
    std::string calls, opened, sent;
    int wakes = 0, failedWakes = 0;   // tried, and how many of the next fail
    int storedWhileClosing = 0;
    std::array<MidiRing*, kMidiDeviceCount> rings{};
    std::vector<MidiDeviceChoice> choice;
    MidiDeviceViews shown;
    std::vector<MidiChoiceEdit> edits;
    MidiWakeup wakeup;
    MidiDevices owner{ *this, wakeup, *this };

private:
    std::vector<Device>::iterator Find(MidiInHandle handle)
    {
        return std::find_if(devices.begin(), devices.end(), [&](const Device& d) { return handle && d.handle == handle; });
    }
    // Calls on a dead handle are not logged.
    void Log(const char* call, MidiInHandle handle)
    {
        if (auto at = Find(handle); at != devices.end())
            calls += std::string(call) + " " + at->name + ";";
    }
    // As a driver may: one more message, and its MIM_CLOSE, while the device is being closed.
    void Closing(const char* call, MidiInHandle handle)
    {
        Log(call, handle);
        if (auto at = Find(handle); at != devices.end()) {
            storedWhileClosing += at->owner->OnCallback(handle, kMidiInDataMessage, 0x00643C90, 0);
            at->owner->OnCallback(handle, kMidiInCloseMessage, 0, 0);
        }
    }
    std::uintptr_t lastHandle = 0x100;
};

TEST(MidiDevices, KeepTheirNumbersAndTheChoiceThroughPluggingWithTheDialogOpenOrClosed)
{
    struct Case { const char *positions, *stored, *steps, *state, *sent, *opened; };
    const Case cases[] = {
        // The dialog's OK or Apply with the boxes left alone: (a) Keys plugged in meanwhile,
        { "Pads", "0:Keys", "dlg plug:Keys@1 scan ok", "0:Keys*^ 1:Pads", "", "Keys" },
        // (b) the unused Pads pulled meanwhile, (c) a device plugged in before Keys meanwhile.
        { "Pads,Keys", "1:Keys", "dlg pull:Pads scan ok", "0:Pads~ 1:Keys*^", "", "Keys" },
        { "Keys", "0:Keys", "dlg plug:Ext@0 scan ok", "0:Keys*^ 1:Ext", "", "Keys" },
        // A box ticked after the scan moved its device: the device shown is the one chosen.
        { "Pads,Keys", "", "dlg pull:Pads scan +1 ok", "0:Pads~ 1:Keys*^", "", "Keys" },
        // Cancel undoes Apply, the devices not chosen keeping their numbers; a box cleared closes the
        // device after its entries went out.
        { "Keys,Pads", "0:Keys", "dlg +1 ok plug:X@1 scan cancel", "0:Keys*^ 1:Pads 2:X", "", "Keys Pads" },
        { "Keys", "0:Keys", "send:Keys dlg -0 ok", "0:Keys", "K0 ", "Keys" },
        // Pads leaves: the devices above keep sending, open, under their numbers.
        { "Pads,Keys,Drums", "1:Keys,2:Drums", "send:Keys pull!:Pads scan send:Keys send:Drums drain",
          "0:Pads~ 1:Keys*^ 2:Drums*^", "K1 K1 D2 ", "Keys Drums" },
        // Of two of one name, the one that stays keeps its number, also while its handle says nothing.
        { "Keys,Keys", "0:Keys,1:Keys", "pull:Keys scan dead:Keys cancel", "0:Keys*~ 1:Keys*^", "", "Keys Keys" },
        // A failed name read, once or twice, closes nothing.
        { "Keys", "0:Keys", "fail:0 scan fail2:0 scan", "0:Keys*^", "", "Keys" },
        // A device back elsewhere gets its number back; a newcomer never takes it.
        { "Pads,Keys", "1:Keys", "pull!:Keys scan plug:Keys@0 scan send:Keys drain", "0:Pads 1:Keys*^", "K1 ", "Keys Keys" },
        { "Keys", "0:Keys", "pull:Keys scan plug:Pads@0 scan plug:Keys@1 scan", "0:Keys*^ 1:Pads", "", "Keys Keys" },
        // With every number taken, a newcomer takes the number of one that is gone and not chosen,
        // else none; the box ticked for the one gone does not choose it.
        { "A,B,C,D,E", "", "dlg +0 +5 pull:A scan plug:F@4 scan plug:G@0 scan ok", "0:F 1:B 2:C 3:D 4:E", "", "" },
        // A dead handle at the same place, unnoticed by the system, is opened again.
        { "Keys", "0:Keys", "dead:Keys scan send:Keys drain", "0:Keys*^", "K0 ", "Keys Keys" },
        // Across restarts: the stored number counts, its first entry if stored twice; by number only,
        // the position at start, nothing where no device is.
        { "Pads,Keys", "0:Keys,0:Pads", "send:Keys drain", "0:Keys*^ 1:Pads", "K0 ", "Keys" },
        { "A,B,C", "0:,2:,3:", "", "0:A*^ 1:B 2:C*^", "", "A C" },
        { "", "0:", "", "", "", "" },
        // Nobody is looked for beyond 32 positions.
        { ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,Z,Y", "0:Z,1:Y", "", "0:Z*^ 1:Y*~", "", "Z" },
        // Reloaded, a number known alone is the device at its position now, which leaves its own number.
        { "Keys,Pads", "1:", "plug:X@0 scan cancel", "0:Pads 1:Keys*^ 2:X", "", "Pads Keys" },
    };
    for (const Case& c : cases) {
        Rig rig(c.positions, c.stored);
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;)
            rig.Step(step);
        EXPECT_EQ(rig.State() + " | " + rig.sent + "| " + rig.opened, std::string(c.state) + " | " + c.sent + "| " + c.opened)
            << c.positions << " / " << c.stored << " / " << c.steps;
        for (const MidiDeviceChoice& entry : rig.owner.Choice())   // what is saved is what is shown chosen
            EXPECT_NE(rig.State().find(std::to_string(entry.number) + ":" + entry.name + "*"), std::string::npos);
    }
}

// A scan tells which devices went and which came back, under any number.
TEST(MidiDevices, AScanTellsTheDevicesGoneAndBack)
{
    Rig rig("Pads,Keys", "0:Pads,1:Keys");   // numbers and names in different orders
    rig.Step("pull:Pads");
    MidiDeviceChanges gone = rig.owner.Scan();
    rig.Step("plug:Pads@0");
    MidiDeviceChanges back = rig.owner.Scan();
    using Names = std::vector<std::string>;
    EXPECT_EQ(std::tuple(gone.lost, gone.back, back.lost, back.back),
              std::tuple(Names{ "Pads" }, Names{}, Names{}, Names{ "Pads" }));
}

// Also once per round, a failed wake tried again. A full ring, and its order across the wrap,
// are the threaded test's.
TEST(MidiInCallback, StoresOnlyChannelMessagesOfItsOwnHandleAndWakesTheSendingThread)
{
    Rig rig("Keys", "0:Keys");
    rig.failedWakes = 1;
    MidiInDevice& device = *rig.devices[0].owner;
    MidiInHandle own = rig.devices[0].handle, other = reinterpret_cast<MidiInHandle>(0x999);
    const struct { MidiInHandle handle; unsigned message, status; bool stored; } cases[] = {
        { own, kMidiInDataMessage, 0x80, true }, { own, kMidiInDataMessage, 0xEF, true }, { own, kMidiInDataMessage, 0x9F, true },
        { own, kMidiInDataMessage, 0xF0, false }, { own, kMidiInDataMessage, 0xFF, false }, { own, 0x3C1 /* MIM_OPEN */, 0x90, false },
        { other, kMidiInDataMessage, 0x90, false }, { nullptr, kMidiInDataMessage, 0x90, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(device.OnCallback(c.handle, c.message, 0x7F643C00u | c.status, 4321), c.stored) << c.status;
    EXPECT_EQ(rig.wakes, 2);   // the first failed, the second woke, the third found it pending
    rig.wakeup.Rearm();
    rig.Step("send:Keys");
    EXPECT_EQ(rig.wakes, 3);
    std::vector<int> stored;
    for (; !device.Ring().IsEmpty(); device.Ring().Advance())
        for (int field : { int(device.Ring().Peek()->timestamp), +device.Ring().Peek()->status, +device.Ring().Peek()->data1 })
            stored.push_back(field);
    EXPECT_EQ(stored, (std::vector<int>{ 4321, 0x80, 0x3C, 4321, 0xEF, 0x3C, 4321, 0x9F, 0x3C, 0, 0x90, 'K' }));
}

TEST(MidiDevices, OpenTheChosenReportFailuresRetryThemAndCloseCleanly)
{
    Rig rig("Keys,Pads!open,,Drums!start", "0:,1:,2:,3:");   // "" is no name
    rig.devices.pop_back();   // gone before the retry, no scan between
    rig.owner.Sync(rig);
    const std::string pads = "open Pads!open;Cannot open MIDI device;";
    EXPECT_EQ(rig.calls, "open Keys;start Keys;" + pads + "open Drums!start;start Drums!start;Cannot start MIDI device;"
              "stop Drums!start;reset Drums!start;close Drums!start;" + pads + "Invalid MIDI selection;");
    EXPECT_EQ(rig.storedWhileClosing, 0);   // the handle is cleared before the device stops
    EXPECT_EQ(std::pair(rig.owner.AnyLost(), rig.owner.OpenCount()), std::pair(false, 1));   // our own close is no loss
    // A close withdraws the ring from the sending thread once the device stopped, before it goes.
    rig.calls.clear();
    rig.owner.CloseAll();
    MidiInDevice again;   // an open closes what the device had open, and clears its ring and loss
    again.Open(rig, rig.wakeup, 0);
    again.OnCallback(again.Handle(), kMidiInDataMessage, 0x90, 0);
    again.OnCallback(again.Handle(), kMidiInCloseMessage, 0, 0);   // the system closed it: lost
    bool lost = again.IsLost();
    again.Open(rig, rig.wakeup, 0);
    EXPECT_EQ(std::tuple(lost, again.IsLost(), again.Ring().IsEmpty(), again.Ring().Dropped()),
              std::tuple(true, false, true, 0u));
    EXPECT_EQ(rig.calls, "stop Keys;reset Keys;close Keys;withdraw 0;open Keys;stop Keys;reset Keys;close Keys;open Keys;");
    again.Close();   // once: the handle is no longer its own, for its destructor to close again
    EXPECT_EQ(again.Handle(), nullptr);
}
}
