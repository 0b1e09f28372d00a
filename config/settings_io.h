// Moving the settings between memory and the INI file, every key with its default and
// encoding.
#pragma once

#include "settings_record.h"
#include "typed_ini.h"

// devicePresent[i]: MIDI device i exists and has a name; only those can be enabled.
void ReadSettings(const TypedIni& ini, const bool (&devicePresent)[kMidiDeviceCount], Settings& settings);

// Writes every key, changed or not, in the file's order; profile sections are not touched.
void WriteSettings(const TypedIni& ini, const Settings& settings);
