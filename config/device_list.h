// The Midi / Devices value: the index of every enabled device in ascending order, each
// followed by one space ("0 3 "); none gives the empty text.
#pragma once

#include <string>
#include <string_view>

#include "settings_record.h"

std::string FormatDeviceList(const int (&enabled)[kMidiDeviceCount]);

// Clears all flags, then enables each listed index that is 0–4 and present. The text is split
// at single spaces; the first empty token ends the list, other unusable tokens are skipped.
void ParseDeviceList(std::string_view text, const bool (&present)[kMidiDeviceCount],
                     int (&enabled)[kMidiDeviceCount]);
