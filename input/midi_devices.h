// The one owner of the MIDI devices: the choice by device, the number each device's commands
// carry, the names, and the open devices with their rings. Windows numbers its devices by
// position and renumbers them whenever one comes or goes; here a device keeps the number it was
// first given (or was stored under) for the session and across restarts, and the position is
// only where it is found now. The controller, the background look and the settings dialog all
// ask this object; nobody else keeps a copy of its state.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/settings_record.h"
#include "input/midi_in_api.h"
#include "input/midi_in_device.h"
#include "input/midi_wakeup.h"

// What the dialog shows for one number: the device that carries it, whether it is chosen and
// whether it is there now. An empty name: no device has this number.
struct MidiDeviceView {
    std::string name;
    bool chosen = false;
    bool present = false;

    friend bool operator==(const MidiDeviceView&, const MidiDeviceView&) = default;
};
using MidiDeviceViews = std::array<MidiDeviceView, kMidiDeviceCount>;

// A box the user ticked or cleared, by the device it showed (its number and name then).
struct MidiChoiceEdit {
    int number = 0;
    std::string name;
    bool chosen = false;

    friend bool operator==(const MidiChoiceEdit&, const MidiChoiceEdit&) = default;
};

class MidiDevices {
public:
    // board: where every device opened publishes its ring, and every close withdraws it.
    MidiDevices(MidiInApi& api, MidiWakeup& wakeup, MidiRingBoard& board);
    ~MidiDevices() { CloseAll(); }
    MidiDevices(const MidiDevices&) = delete;
    MidiDevices& operator=(const MidiDevices&) = delete;

    // The choice as stored ("Devices" / "DeviceNames"): each entry is chosen under its number;
    // one known by its number only is the device at that position now. Devices not in it keep
    // the numbers they have in this session; a new one takes its position when that number is
    // free. Looks where every device is; opens and closes nothing (Sync does).
    void Load(const std::vector<MidiDeviceChoice>& stored);
    // The choice to store: every chosen device, there or not, by number and name.
    std::vector<MidiDeviceChoice> Choice() const;

    MidiDeviceViews Views() const;
    // The user's edits, each applied only while its number still carries its name.
    void Choose(const std::vector<MidiChoiceEdit>& edits);

    // Opens each chosen device that is there and not open, closes each open one no longer
    // chosen; failures are reported and tried again at the next call.
    void Sync(MidiFailureReporter& reporter);
    // The look in the background (no message shown): finds every device where it is now, closes
    // the open ones that are gone or whose handle is dead, opens the chosen ones that came back.
    // A healthy device stays open under its number, wherever it moved. Nothing while a Sync
    // waits on its message box (a timer runs in that box's loop): the next look does it.
    MidiDeviceChanges Scan();
    // An open device reported that the system closed it.
    bool AnyLost() const;

    // Takes the device out of the open ones, stops and closes it, withdraws its ring from the
    // board (whose thread sends what it still holds under its number), then frees it. Every
    // close goes through here.
    void CloseDevice(int number);
    void CloseAll();
    int OpenCount() const;
    // The open device of a number, or null.
    const MidiInDevice* OpenDevice(int number) const { return m_open[static_cast<size_t>(number)].get(); }

private:
    // A number's device: its name, whether it is chosen, and its position now (-1: not there).
    struct Entry {
        std::string name;
        bool chosen = false;
        int position = -1;
    };
    // Names by position; a name that could not be read even on the second try is "unknown".
    struct Positions {
        std::vector<std::string> names;
        std::vector<bool> unknown;
    };

    Positions ReadPositions();
    void Locate(const Positions& now);
    void NumberNewDevices(const Positions& now, const std::vector<bool>& taken);
    int FreeNumber(int preferred) const;
    std::vector<std::string> OpenNames() const;

    MidiInApi& m_api;
    MidiWakeup& m_wakeup;
    MidiRingBoard& m_board;
    std::array<Entry, kMidiDeviceCount> m_entries;
    // The open devices by number, as the board sees their rings.
    MidiDeviceSlots m_open;
    bool m_syncing = false;
};
