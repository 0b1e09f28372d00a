// Moving the settings record and the COM switch configuration between memory and the INI
// file, every key with its default and encoding.
#pragma once

#include "settings_record.h"
#include "typed_ini.h"

// devicePresent[i]: MIDI device i exists and has a name; only those can be enabled.
void LoadSettings(const TypedIni& ini, const bool (&devicePresent)[kMidiDeviceCount],
                  SettingsRecord& settings, ComSwitchConfig& com);

// Writes every key, changed or not, in the file's order; profile sections are not touched.
void SaveSettings(const TypedIni& ini, const SettingsRecord& settings, const ComSwitchConfig& com);
