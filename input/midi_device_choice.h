// Which system device now carries each selected name. Device numbers change when devices come
// and go; the choice is kept by name, so a controller that moved is still the selected one.
#pragma once

#include <vector>

#include "config/settings_record.h"
#include "input/midi_in_device.h"

// Sets enabled[i] for each device i that carries an entry of the choice, and clears the rest.
// An entry keeps its number while that number still carries its name; otherwise it takes the
// first free device of its name in device order, so among devices of one name their order
// decides. Matched entries take their device's current number (and an entry known by its
// number only takes that device's name); an entry of a name that no free device carries is
// kept as it is, gone for now, and one known by its number only is dropped.
void MatchMidiChoice(std::vector<MidiDeviceChoice>& choice, const MidiDeviceNames& names,
                     int (&enabled)[kMidiDeviceCount]);

// After the user chose devices by number: the choice becomes the enabled named devices, and
// keeps the entries that no device carries now, so a device that is gone is not forgotten.
void RememberMidiChoice(std::vector<MidiDeviceChoice>& choice, const int (&enabled)[kMidiDeviceCount],
                        const MidiDeviceNames& names);
