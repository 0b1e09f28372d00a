// Moving the settings between memory and the INI file, every key with its default and
// encoding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings_record.h"
#include "typed_ini.h"

// devicePresent[i]: MIDI device i exists and has a name; only those can be enabled.
void ReadSettings(const TypedIni& ini, const bool (&devicePresent)[kMidiDeviceCount], Settings& settings);

// Writes every key, changed or not, in the file's order; profile sections are not touched.
void WriteSettings(const TypedIni& ini, const Settings& settings);

// "Midi" / "DeviceNames", written right after "Devices": one entry per selected device, joined
// by commas, each the device's number, a colon and its product name, e.g. "2:USB%20Keys,0:Pads".
// In a name every byte outside '!'..'~' and every '%', ',' and '"' is written as '%' and two
// upper-case hex digits, so a name with any character survives, and the value never starts or
// ends with a blank or a quote (which the profile read strips). Reading accepts anything: an
// entry without a colon, with a number outside 0–4 or with an empty name is skipped, a '%' not
// followed by two hex digits stays as it is.
std::string FormatDeviceNames(const std::vector<MidiDeviceChoice>& choice);
std::vector<MidiDeviceChoice> ParseDeviceNames(std::string_view text);
