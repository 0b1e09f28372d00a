// The settings in the INI file: the device lists, every key in its order, the defaults, and
// values as a hand-edited file may hold them; and the eight profile slots: loading, finding,
// labelling, saving, renaming and deleting.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "config/device_list.h"
#include "config/profiles.h"
#include "config/profiles_edit.h"
#include "config/settings_io.h"
#include "config/typed_ini.h"
#include "memory_profile.h"
#include "res/resource.h"
#include "res/settings_ids.h"

namespace {
class SettingsFile : public testing::Test {
protected:
    SettingsFile() { names.BuildSettingNameTable(); }
    Settings Read(const bool (&present)[kMidiDeviceCount] = { true, true, true, true, true })
    {
        Settings settings;
        settings.m_bDeviceEnabled[2] = settings.m_comConfig.Cts = 1;
        ReadSettings(ini, present, settings);
        return settings;
    }

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
};

TEST(DeviceList, ParsesOnlyPresentDevicesAndStopsAtAnEmptyTokenAndNamesKeepAnyText)
{
    struct Case { const char* text; bool present[kMidiDeviceCount]; int expected[kMidiDeviceCount]; };
    const Case cases[] = {
        { "0 3 ", { 1, 1, 1, 0, 0 }, { 1, 0, 0, 0, 0 } }, { "1  3", { 1, 1, 1, 1, 1 }, { 0, 1, 0, 0, 0 } },
        { "abc 2", { 1, 1, 1, 0, 0 }, { 1, 0, 1, 0, 0 } }, { "-1 5 9", { 1, 1, 1, 1, 1 }, {} },
    };
    for (const Case& c : cases) {
        int enabled[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };
        ParseDeviceList(c.text, c.present, enabled);
        EXPECT_TRUE(std::equal(enabled, enabled + kMidiDeviceCount, c.expected)) << '"' << c.text << '"';
    }
    const std::vector<MidiDeviceChoice> odd = { { 4, " \"Pa,d%s\" " }, { 0, "K\xE9ys:2\n~\xFF" } };
    EXPECT_EQ(FormatDeviceNames(odd), "4:%20%22Pa%2Cd%25s%22%20,0:K%E9ys:2%0A~%FF");
    EXPECT_TRUE(ParseDeviceNames(FormatDeviceNames(odd)) == odd);
    const std::vector<MidiDeviceChoice> read = { { 1, "a%4" }, { 2, "%zzb" }, { 0, "Jo" } };   // "%4a%6f" is "Jo"
    EXPECT_TRUE(ParseDeviceNames("1:a%4,,x,5:e,-1:f,3:,2:%zzb,0x:%4a%6f") == read);
}

TEST_F(SettingsFile, SavesEveryKeyInTheFileOrderAndLoadsItBackUnchanged)
{
    // Wind (4) is gone: "Devices" keeps its number.
    const Settings saved{ { "127.255.255.255", -5, "APP", "Dest", 1, "CMD", { 1 }, 1 },
                          { "COM3", 12, 0, 1, 0, 0, 0, 0, 0, 1, 1, 1 },
                          { { 0, "Pads" }, { 4, "Wind" } } };
    WriteSettings(ini, saved);
    EXPECT_EQ(file.Text(),
              "[Network]\nBroadcastAddress=127.255.255.255\nPort=-5\nApplicationId=APP\n[RemoteCmd]\nDestination=Dest\n"
              "[Midi]\nFilterNoteOff=1\nTextCmd=CMD\nDevices=0 4 \nDeviceNames=0:Pads,4:Wind\n"
              "[Com]\nEnable=1\nPort=COM3\nDevice=12\nCts=0\nCtsMute=0\nDcd=1\nDcdMute=0\nDsr=0\n"
              "DsrMute=0\nRi=0\nRiMute=1\nRtsOn=1\nDtrOn=1\n");
    EXPECT_TRUE(Read({ true, true, true, true, false }) == saved);
    WriteSettings(ini, { saved, saved.m_comConfig, {} });   // no choice kept: "Devices" lists the enabled devices
    EXPECT_NE(file.Text().find("Devices=0 \nDeviceNames=\n"), std::string::npos);
}

TEST_F(SettingsFile, DeviceNamesCountOnlyWhileTheyNameTheDevicesOfDevices)
{
    struct Case { const char *devices, *names, *choice; };
    const Case cases[] = {
        { "2 ", "2:Keys", "2:Keys " }, { "0 2 ", "2:Keys,0:Pads", "2:Keys 0:Pads " },
        { "1 3 4 ", "4:Wind,3:Pedal,1:Pads", "4:Wind 3:Pedal 1:Pads " },   // names count for absent devices too
        // "Devices" changed by a program that knows only it: the numbers count, as they are read.
        { "0 1 ", "2:Keys", "0: 1: " }, { "2 ", "2:Keys,0:Pads", "2: " }, { "3 ", "", "" },
    };
    for (const Case& c : cases) {
        file.WriteString("Midi", "Devices", c.devices);
        file.WriteString("Midi", "DeviceNames", c.names);
        std::string choice;
        for (const MidiDeviceChoice& entry : Read({ true, true, true, false, false }).m_midiChoice)
            choice += std::to_string(entry.number) + ":" + entry.name + " ";
        EXPECT_EQ(choice, c.choice) << c.devices << "/" << c.names;
    }
}

TEST_F(SettingsFile, MissingKeysTakeTheirDefaultsAndMalformedValuesAreTakenAsTheyCome)
{
    Settings defaults = Read();   // of an empty file
    EXPECT_EQ(std::pair(defaults.m_nPort, defaults.m_comConfig.Device), std::pair(9871, 10));
    const std::string longText(1100, 'd');   // a read passes 1023 as the buffer's size: 1022 characters come
    const char* values[][3] = { { "Network", "Port", "4000xyz" }, { "Midi", "FilterNoteOff", "" }, { "Com", "Enable", "yes" },
                                { "Com", "Device", "letters" }, { "Com", "Cts", "0" }, { "Com", "Dsr", "00" },
                                { "RemoteCmd", "Destination", longText.c_str() } };
    for (auto& value : values)
        file.WriteString(value[0], value[1], value[2]);
    const Settings expected{ { "", 4000, "MIDI", longText.substr(0, 1022), 1, "AUXMIDI", {}, 1 }, { "", 0, 0, 0, 1 }, {} };
    EXPECT_TRUE(Read() == expected);
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, (end = text.find('|', start)) - start));
    return parts;
}

// "address|port|applicationId|textCommand|destination", with the filter, device 2 and the COM
// switch on, which a profile never holds.
SettingsRecord Running(const std::string& values)
{
    std::vector<std::string> v = Split(values);
    return { v[0], std::stoi(v[1]), v[2], v[4], 1, v[3], { 0, 0, 1 }, 1 };
}

// Slot n as a hand-edited file may hold it: "Name|" and the five values, "~" leaves a key out;
// "" writes nothing.
void Store(MemoryProfile& file, int n, const std::string& values)
{
    const char* const keys[] = { "Name", "BroadcastAddress", "Port", "ApplicationId", "TextCmd", "Destination" };
    std::vector<std::string> v = Split(values);
    for (std::size_t i = 0; i < v.size() && !values.empty(); ++i)
        if (v[i] != "~")
            file.WriteString("Profile" + std::to_string(n), keys[i], v[i]);
}

const char kLive[] = "127.0.1.255|4000|LOG|CMD|Room 2", kLiveSlot[] = "Live|127.0.1.255|4000|LOG|CMD|Room 2";

class Profiles : public SettingsFile, public ProfilePrompts {
protected:
    // Slot 7 has no section; a section of a slot that does not exist is ignored.
    Profiles()
    {
        const char* slots[] = { kLiveSlot, "live", "Lettered port|127.10.255.255|abc|~|~|~",
                                "Studio & Stage|127.0.1.255|4000|LOG|CMD|Room 2", "~|127.0.1.255|4000|LOG|CMD|Room 2",
                                kLiveSlot, "|127.0.1.255|4000|LOG|CMD|Room 2", "~", "No port|127.0.1.255|~|LOG|CMD|" };
        for (int n = 0; n <= 8; ++n)
            Store(file, n, slots[n]);
    }
    // The user's side of the dialog, answered in advance: a for the naming question, r for the
    // renaming one (which shows the slot's name), q for the delete question, e for an error; t
    // when the fields are taken.
    std::optional<std::string> AskProfileName(int, int promptId, const std::string& initial) override
    {
        bool asked = promptId == IDS_ENTER_PROFILE_NAME && initial.empty();
        events += asked ? "a" : promptId == IDS_RENAME_PROFILE && initial == "Live" ? "r" : "?";
        return nameAnswer;
    }
    void ShowProfileError(int messageId) override { events += messageId == IDS_SAVE_PROFILE_FIRST ? "e" : "?"; }
    bool ConfirmProfileQuestion(int messageId) override { return events += messageId == IDS_CONFIRM_DELETE_PROFILE ? "q" : "?", yes; }

    std::optional<std::string> nameAnswer;
    bool yes = false;
    std::string events;
};

TEST_F(Profiles, LoadTakesTheFiveValuesOfANamedSlotWithTheLoadDefaults)
{
    const char before[] = "127.10.255.255|9871|MIDI|AUXMIDI|Desk";
    const std::pair<int, const char*> cases[] = {
        { 5, kLive }, { 1, "127.255.255.255|9871|||" }, { 2, "127.10.255.255|0|||" },
        { 4, nullptr }, { 6, nullptr }, { 7, nullptr }, { 0, nullptr }, { 9, nullptr },
    };
    for (auto [n, after] : cases) {
        SettingsRecord settings = Running(before);
        EXPECT_EQ(ApplyProfile(ini, n, settings), after != nullptr) << n;
        EXPECT_TRUE(settings == Running(after ? after : before)) << n;
    }
}

// A missing Port counts as 0, so a profile without one is not current right after its load.
TEST_F(Profiles, ByNameMatchesExactlyAndCurrentIsTheLowestNamedSlotEqualInAllFiveValues)
{
    for (auto [name, slot] : { std::pair{ "live", 1 }, { "Live", 5 }, { "No port", 8 }, { "LIVE", 0 }, { "Live ", 0 }, { "", 0 },
                               { "Profile1", 0 } })
        EXPECT_EQ(FindProfileByName(ini, name), slot) << '"' << name << '"';
    for (auto [settings, current] : { std::pair{ kLive, 3 }, { "127.0.1.255|4000|log|CMD|Room 2", 0 },
                                      { "127.0.1.255|4000|LOG|CMD|Room 3", 0 }, { "127.0.1.255|0|LOG|CMD|", 8 },
                                      { "127.0.1.255|9871|LOG|CMD|", 0 }, { "|0|||", 1 } })
        EXPECT_EQ(FindCurrentProfile(ini, Running(settings)), current) << settings;
}

// "&&" shows one "&" rather than underlining the next letter; an unused slot shows its number.
// Slot n is command 33000 + n and the buttons 1500 + n and 1600 + n.
TEST_F(Profiles, MenuAndButtonsShowNamesAsTypedOrTheSlotNumber)
{
    auto items = ProfileMenuItems(ini, 5);
    auto labels = ProfileButtonLabels(ini, "Slot %d");
    std::string menu, buttons;   // "-" for a disabled entry, "*" for the checked one
    for (int n = 1; n <= 8; ++n) {
        const ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
        const ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
        menu += (item.enabled ? "" : "-") + std::string(item.checked ? "*" : "") + item.text + ";";
        buttons += (label.loadEnabled ? "" : "-") + label.text + ";";
        EXPECT_EQ(std::tuple(item.commandId, label.loadButtonId, label.saveButtonId), std::tuple(33000 + n, 1500 + n, 1600 + n));
    }
    EXPECT_EQ(menu, "live;Lettered port;Studio && Stage;-Profile 4;*Live;-Profile 6;-Profile 7;No port;");
    EXPECT_EQ(buttons, "live;Lettered port;Studio && Stage;-Slot 4;Live;-Slot 6;-Slot 7;No port;");
}

TEST_F(Profiles, SaveAsAndShiftClickEditTheSlotAfterTheUsersAnswers)
{
    const char fields[] = "127.0.0.255|5000|MIDI|AUXMIDI|Desk", saved[] = "Live|127.0.0.255|5000|MIDI|AUXMIDI|Desk";
    // n: slot 4 holds Live at the start; refused: the dialog's data exchange fails; after: the
    // slot at the end as Store takes it, "" for none.
    struct Case {
        int n;
        bool shift;
        std::optional<std::string> name;
        bool yes, refused;
        ProfileEdit edit;
        const char *after, *events;
    };
    using E = ProfileEdit;
    const Case cases[] = {
        { 2, false, "  Live  ", false, false, E::Saved, saved, "at" },   // named first, trimmed
        { 2, false, std::nullopt, false, false, E::Unchanged, "", "a" }, { 2, false, " \t ", false, false, E::Unchanged, "", "a" },
        { 2, false, "New", false, true, E::Unchanged, "", "at" },   // refused fields: not even the name
        { 4, false, std::nullopt, false, false, E::Saved, saved, "t" },   // a used slot: no question, its name kept
        { 4, false, std::nullopt, false, true, E::Unchanged, kLiveSlot, "t" },
        { 3, true, "X", true, false, E::Unchanged, "", "e" },   // shift on an empty slot: save it first
        { 4, true, " Studio ", false, false, E::Renamed, "Studio|127.0.1.255|4000|LOG|CMD|Room 2", "r" },
        { 4, true, std::nullopt, true, false, E::Unchanged, kLiveSlot, "r" },
        { 4, true, "", false, false, E::Unchanged, kLiveSlot, "rq" }, { 4, true, "", true, false, E::Deleted, "", "rq" },
        { 9, false, "X", true, false, E::Unchanged, "", "" }, { 9, true, "X", true, false, E::Unchanged, "", "" },   // no slot
    };
    for (const Case& c : cases) {
        MemoryProfile after;
        Store(after, c.n, c.after);
        file = MemoryProfile();
        Store(file, c.n, c.n == 4 ? kLiveSlot : "");
        std::tie(nameAnswer, yes, events) = std::tuple(c.name, c.yes, "");
        const SettingsRecord dialogFields = Running(fields);
        auto takeFields = [&] { return events += "t", c.refused ? nullptr : &dialogFields; };
        ProfileEdit edit = SaveProfileFromDialog(ini, c.n, c.shift, *this, takeFields);
        EXPECT_EQ(std::tuple(edit, file.Text(), events), std::tuple(c.edit, after.Text(), c.events))
            << c.n << c.name.value_or("-");
    }
}
}
