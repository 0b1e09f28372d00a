// The eight profile slots: named sets of the network and remote-command settings, each in an
// INI section "Profile1" … "Profile8". A slot is used exactly when its Name is not empty.
// Reading, loading, finding and labelling here; saving, renaming and deleting in
// profiles_edit.h.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings_record.h"
#include "typed_ini.h"

constexpr int kProfileCount = 8;

// The text of an empty slot in the tray menu; the settings dialog takes the same text from
// its string table.
inline constexpr std::string_view kEmptyProfileLabel = "Profile %d";

bool IsProfileNumber(int n);

// "Profile%d" for 1–8; empty for any other number, which every TypedIni call ignores.
std::string ProfileSectionName(int n);

std::string ReadProfileName(const TypedIni& ini, int n);

// The pattern with its "%d" replaced by n (never used as a format string).
std::string FormatProfileNumber(std::string_view pattern, int n);

// The five values of slot n into the fields, with the defaults of a load (address
// "127.255.255.255", port 9871, the texts empty); the Name is not looked at. This is the
// dialog's Load button.
void ReadProfileValues(const TypedIni& ini, int n, SettingsRecord& fields);

// Slot n into the running settings when n is 1–8 and the slot is used; false, and the
// settings untouched, otherwise. The caller then saves the settings and marks n as current.
bool ApplyProfile(const TypedIni& ini, int n, SettingsRecord& settings);

// The first slot whose Name equals name byte for byte, case included; 0 for none or an empty
// name.
int FindProfileByName(const TypedIni& ini, const std::string& name);

// The lowest used slot whose five stored values equal the settings; 0 for none. A missing key
// compares as empty text, so a missing Port equals only a port of 0.
int FindCurrentProfile(const TypedIni& ini, const SettingsRecord& settings);

// The Profiles submenu of the tray, item by item (commands 33001–33008). A name's "&" is
// doubled here and in the button labels below, so that it shows as typed rather than as a
// mnemonic; the file keeps the name as typed.
struct ProfileMenuItem {
    int commandId;
    std::string text;
    bool enabled;
    bool checked;
};
std::array<ProfileMenuItem, kProfileCount> ProfileMenuItems(const TypedIni& ini, int currentProfile);

// The settings dialog's Load (1501–1508) and Save-as (1601–1608) buttons; both of a slot
// carry the same text, the Save-as button stays enabled. emptySlotPattern is string 116.
struct ProfileButtonLabel {
    int loadButtonId;
    int saveButtonId;
    std::string text;
    bool loadEnabled;
};
std::array<ProfileButtonLabel, kProfileCount> ProfileButtonLabels(const TypedIni& ini,
                                                                  std::string_view emptySlotPattern);
