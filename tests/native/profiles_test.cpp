// The eight profile slots: loading, finding, labelling, saving, renaming and deleting.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/profiles.h"
#include "config/profiles_edit.h"
#include "memory_profile.h"
#include "res/resource.h"
#include "res/settings_ids.h"

namespace {
std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, (end = text.find('|', start)) - start));
    return parts;
}

// "address|port|applicationId|textCommand|destination"
SettingsRecord Running(const std::string& values)
{
    std::vector<std::string> v = Split(values);
    SettingsRecord settings;
    settings.m_strBroadcastAddress = v[0];
    settings.m_nPort = std::stoi(v[1]);
    settings.m_strApplicationId = v[2];
    settings.m_strTextCommand = v[3];
    settings.m_strDestination = v[4];
    return settings;
}

const char kLive[] = "Live|127.0.1.255|4000|LOG|CMD|Room 2";

class Profiles : public testing::Test, public ProfilePrompts {
protected:
    Profiles() { names.BuildSettingNameTable(); }

    // Slot n as a hand-edited file may hold it: "Name|" and the five values, "~" leaves a key out.
    void Store(int n, const std::string& values)
    {
        const char* const keys[] = { "Name", "BroadcastAddress", "Port", "ApplicationId", "TextCmd", "Destination" };
        std::vector<std::string> v = Split(values);
        for (std::size_t i = 0; i < v.size(); ++i)
            if (v[i] != "~")
                file.WriteString("Profile" + std::to_string(n), keys[i], v[i]);
    }
    // The user's side of the dialog, answered in advance: a for the naming question, r for the
    // renaming one, q for the delete question, e for an error; t when the fields are taken.
    std::optional<std::string> AskProfileName(int, int promptId, const std::string& initial) override
    {
        events += promptId == IDS_ENTER_PROFILE_NAME && initial.empty() ? "a" : promptId == IDS_RENAME_PROFILE ? "r" : "?";
        return nameAnswer;
    }
    void ShowProfileError(int messageId) override { events += messageId == IDS_SAVE_PROFILE_FIRST ? "e" : "?"; }
    bool ConfirmProfileQuestion(int messageId) override { return events += messageId == IDS_CONFIRM_DELETE_PROFILE ? "q" : "?", yes; }

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
    std::optional<std::string> nameAnswer;
    bool yes = false;
    std::string events;
};

TEST_F(Profiles, LoadTakesTheFiveValuesOfANamedSlotWithTheLoadDefaults)
{
    Store(4, kLive);
    Store(1, "Bare|~|~|~|~|~");
    Store(2, "Lettered port|127.10.255.255|abc|~|~|~");
    Store(3, "~|127.0.1.255|4000|LOG|CMD|Room 2");
    Store(5, "|127.0.1.255|4000|LOG|CMD|Room 2");
    Store(0, kLive);   // a section of a slot that does not exist
    const char before[] = "127.10.255.255|9871|MIDI|AUXMIDI|Desk";
    struct Case { int n; const char* after; };   // after: null when nothing is loaded
    const Case cases[] = { { 4, "127.0.1.255|4000|LOG|CMD|Room 2" }, { 1, "127.255.255.255|9871|||" },
                           { 2, "127.10.255.255|0|||" }, { 3, nullptr }, { 5, nullptr }, { 6, nullptr },
                           { 0, nullptr }, { 9, nullptr } };
    // A profile never holds the device choice, the filter or the COM switch.
    auto withOthers = [](SettingsRecord s) {
        s.m_bFilterNoteOff = s.m_bDeviceEnabled[2] = s.m_bComEnabled = 1;
        return s;
    };
    for (const Case& c : cases) {
        SettingsRecord settings = withOthers(Running(before));
        EXPECT_EQ(ApplyProfile(ini, c.n, settings), c.after != nullptr) << c.n;
        EXPECT_TRUE(settings == withOthers(Running(c.after ? c.after : before))) << c.n;
    }
}

TEST_F(Profiles, ByNameMatchesExactlyAndCurrentIsTheLowestSlotEqualInAllFiveValues)
{
    Store(1, "live");
    Store(5, "Live");
    Store(7, kLive);
    Store(8, "No port|127.0.1.255|~|LOG|CMD|");
    for (auto [name, slot] : { std::pair{ "live", 1 }, { "Live", 5 }, { "No port", 8 }, { "LIVE", 0 }, { "Live ", 0 }, { "", 0 },
                               { "Profile1", 0 } })
        EXPECT_EQ(FindProfileByName(ini, name), slot) << '"' << name << '"';
    Store(2, "~|127.0.1.255|4000|LOG|CMD|Room 2");
    Store(3, kLive);
    const std::pair<const char*, int> cases[] = {
        { "127.0.1.255|4000|LOG|CMD|Room 2", 3 }, { "127.0.1.255|4000|log|CMD|Room 2", 0 },
        { "127.0.1.255|4000|LOG|CMD|Room 3", 0 },
        // A missing Port counts as 0, so a profile without one is not current right after its load.
        { "127.0.1.255|0|LOG|CMD|", 8 }, { "127.0.1.255|9871|LOG|CMD|", 0 }, { "|0|||", 1 },
    };
    for (auto [settings, current] : cases)
        EXPECT_EQ(FindCurrentProfile(ini, Running(settings)), current) << settings;
}

// "&&" shows one "&" rather than underlining the next letter; an unused slot shows its number.
// Slot n is command 33000 + n and the buttons 1500 + n and 1600 + n.
TEST_F(Profiles, MenuAndButtonsShowNamesAsTypedOrTheSlotNumber)
{
    Store(3, "Studio & Stage");
    Store(5, "Live");
    Store(8, "Last");
    auto items = ProfileMenuItems(ini, 5);
    auto labels = ProfileButtonLabels(ini, "Profile %d");
    for (auto [n, text, used] : { std::tuple{ 1, "Profile 1", false }, { 3, "Studio && Stage", true }, { 5, "Live", true },
                                  { 8, "Last", true } }) {
        const ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
        const ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
        EXPECT_EQ(std::tuple(item.text, item.enabled, item.checked, label.text, label.loadEnabled),
                  std::tuple(text, used, n == 5, text, used)) << n;
        EXPECT_EQ(std::tuple(item.commandId, label.loadButtonId, label.saveButtonId), std::tuple(33000 + n, 1500 + n, 1600 + n));
    }
}

TEST_F(Profiles, SaveAsAndShiftClickEditTheSlotAfterTheUsersAnswers)
{
    auto slot = [](int n, const char* name, const char* values) {
        std::vector<std::string> v = Split(values);
        return "[Profile" + std::to_string(n) + "]\nName=" + name + "\nBroadcastAddress=" + v[0] + "\nPort=" + v[1] +
               "\nApplicationId=" + v[2] + "\nTextCmd=" + v[3] + "\nDestination=" + v[4] + "\n";
    };
    const char fields[] = "127.0.0.255|5000|MIDI|AUXMIDI|Desk", live[] = "127.0.1.255|4000|LOG|CMD|Room 2";
    // n: slot 4 holds Live at the start; refused: the dialog's data exchange fails.
    struct Case { int n; bool shift; std::optional<std::string> name; bool yes, refused; ProfileEdit edit; std::string fileAfter, events; };
    using E = ProfileEdit;
    const Case cases[] = {
        { 2, false, "  Live  ", false, false, E::Saved, slot(2, "Live", fields), "at" },   // named first, trimmed
        { 2, false, std::nullopt, false, false, E::Unchanged, "", "a" }, { 2, false, " \t ", false, false, E::Unchanged, "", "a" },
        { 2, false, "New", false, true, E::Unchanged, "", "at" },   // refused fields: not even the name
        { 4, false, std::nullopt, false, true, E::Unchanged, slot(4, "Live", live), "t" },   // a used slot: no question
        { 3, true, "X", true, false, E::Unchanged, "", "e" },   // shift on an empty slot: save it first
        { 4, true, " Studio ", false, false, E::Renamed, slot(4, "Studio", live), "r" },
        { 4, true, std::nullopt, true, false, E::Unchanged, slot(4, "Live", live), "r" },
        { 4, true, "", false, false, E::Unchanged, slot(4, "Live", live), "rq" },
        { 4, true, "", true, false, E::Deleted, "", "rq" },
        { 9, false, "X", true, false, E::Unchanged, "", "" }, { 9, true, "X", true, false, E::Unchanged, "", "" },   // no slot
    };
    for (const Case& c : cases) {
        file = MemoryProfile();
        if (c.n == 4)
            Store(4, kLive);
        nameAnswer = c.name;
        yes = c.yes;
        events.clear();
        SettingsRecord dialogFields = Running(fields);
        ProfileEdit edit = SaveProfileFromDialog(ini, c.n, c.shift, *this, [&]() -> const SettingsRecord* {
            events += "t";
            return c.refused ? nullptr : &dialogFields;
        });
        EXPECT_EQ(std::tuple(edit, file.Text(), events), std::tuple(c.edit, c.fileAfter, c.events)) << c.n << c.name.value_or("-");
    }
}
}
