// The eight profile slots: loading, finding, labelling, saving, renaming and deleting.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
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

class Profiles : public testing::Test {
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

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
};

const char kLive[] = "Live|127.0.1.255|4000|LOG|CMD|Room 2";

TEST_F(Profiles, LoadTakesTheFiveValuesOfANamedSlotWithTheLoadDefaults)
{
    Store(4, kLive);
    Store(1, "Bare|~|~|~|~|~");
    Store(2, "Lettered port|127.10.255.255|abc|~|~|~");
    Store(3, "~|127.0.1.255|4000|LOG|CMD|Room 2");
    Store(5, "|127.0.1.255|4000|LOG|CMD|Room 2");
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
    // The dialog's Load button reads a slot without looking at its name.
    SettingsRecord fields = Running(before);
    ReadProfileValues(ini, 3, fields);
    EXPECT_TRUE(fields == Running("127.0.1.255|4000|LOG|CMD|Room 2"));
}

TEST_F(Profiles, ByNameMatchesExactlyWithLetterCase)
{
    Store(2, "live");
    Store(5, "Live");
    Store(7, "Live");
    struct Case { const char* name; int slot; };
    const Case cases[] = { { "live", 2 }, { "Live", 5 }, { "LIVE", 0 }, { "Live ", 0 },
                           { "Liv", 0 },  { "", 0 },     { "Profile1", 0 } };
    for (const Case& c : cases)
        EXPECT_EQ(FindProfileByName(ini, c.name), c.slot) << '"' << c.name << '"';
}

TEST_F(Profiles, CurrentIsTheLowestUsedSlotEqualInAllFiveValuesAMissingPortBeingZero)
{
    Store(1, "~|127.0.1.255|4000|LOG|CMD|Room 2");
    Store(3, kLive);
    Store(6, kLive);
    Store(8, "No port|127.0.1.255|~|LOG|CMD|");
    struct Case { const char* settings; int current; };
    const Case cases[] = {
        { "127.0.1.255|4000|LOG|CMD|Room 2", 3 }, { "127.0.1.254|4000|LOG|CMD|Room 2", 0 },
        { "127.0.1.255|4001|LOG|CMD|Room 2", 0 }, { "127.0.1.255|4000|log|CMD|Room 2", 0 },
        { "127.0.1.255|4000|LOG|CMDX|Room 2", 0 }, { "127.0.1.255|4000|LOG|CMD|Room 3", 0 },
        { "127.0.1.255|0|LOG|CMD|", 8 },
        // What loading slot 8 gives: a profile without Port is not current right after its load.
        { "127.0.1.255|9871|LOG|CMD|", 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindCurrentProfile(ini, Running(c.settings)), c.current) << c.settings;
}

TEST_F(Profiles, MenuAndButtonsShowNamesAsTypedOrTheSlotNumber)
{
    Store(3, "Studio & Stage");
    Store(5, "Live");
    for (int current : { 0, 4, 5 }) {
        auto items = ProfileMenuItems(ini, current);
        auto labels = ProfileButtonLabels(ini, "Profile %d");
        for (int n = 1; n <= kProfileCount; ++n) {
            const ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
            const ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
            bool used = n == 3 || n == 5;
            // "&&" shows one "&" rather than underlining the next letter.
            std::string text = n == 3 ? "Studio && Stage" : n == 5 ? "Live" : "Profile " + std::to_string(n);
            EXPECT_EQ(std::tuple(item.commandId, item.text, item.enabled, item.checked, label.loadButtonId, label.saveButtonId,
                                 label.text, label.loadEnabled),
                      std::tuple(ID_PROFILE_1 - 1 + n, text, used, used && n == current, IDC_LOAD_PROFILE_1 - 1 + n,
                                 IDC_SAVE_PROFILE_1 - 1 + n, text, used)) << current << ' ' << n;
        }
    }
    EXPECT_EQ(ReadProfileName(ini, 3), "Studio & Stage");
}

// The user's side of the dialog: answers given in advance, every question recorded.
struct FakePrompts : ProfilePrompts {
    std::optional<std::string> AskProfileName(int, int promptId, const std::string& initialText) override
    {
        return Record("ask " + std::to_string(promptId) + " '" + initialText + "'"), nameAnswer;
    }
    void ShowProfileError(int messageId) override { Record("error " + std::to_string(messageId)); }
    bool ConfirmProfileQuestion(int messageId) override { return Record("question " + std::to_string(messageId)), yes; }
    void Record(const std::string& event) { events += event + "; "; }

    std::optional<std::string> nameAnswer;
    bool yes = false;
    std::string events;
};

TEST_F(Profiles, SaveAsAndShiftClickEditTheSlotAfterTheUsersAnswers)
{
    const std::string askNew = "ask " + std::to_string(IDS_ENTER_PROFILE_NAME) + " ''; ";
    const std::string askRename = "ask " + std::to_string(IDS_RENAME_PROFILE) + " 'Live'; ";
    const std::string confirmDelete = "question " + std::to_string(IDS_CONFIRM_DELETE_PROFILE) + "; ";
    const std::string fields = "BroadcastAddress=127.0.0.255\nPort=5000\nApplicationId=MIDI\nTextCmd=AUXMIDI\nDestination=Desk\n";
    const std::string live = "BroadcastAddress=127.0.1.255\nPort=4000\nApplicationId=LOG\nTextCmd=CMD\nDestination=Room 2\n";
    const std::string take = "take fields; ";
    // n: slot 4 holds Live at the start; refused: the dialog's data exchange fails.
    struct Case { const char* rule; int n; bool shift; std::optional<std::string> name; bool yes, refused; ProfileEdit edit; std::string fileAfter, events; };
    using E = ProfileEdit;
    const Case cases[] = {
        { "an empty slot is named first, the name trimmed", 2, false, "  Live  ", false, false, E::Saved,
          "[Profile2]\nName=Live\n" + fields, askNew + take },
        { "cancelled naming writes nothing", 2, false, std::nullopt, false, false, E::Unchanged, "", askNew },
        { "a name of blanks writes nothing", 2, false, " \t ", false, false, E::Unchanged, "", askNew },
        { "refused fields write not even the name", 2, false, "New", false, true, E::Unchanged, "", askNew + take },
        { "a used slot is overwritten without a question", 4, false, std::nullopt, false, false, E::Saved,
          "[Profile4]\nName=Live\n" + fields, take },
        { "refused fields leave a used slot as it was", 4, false, std::nullopt, false, true, E::Unchanged,
          "[Profile4]\nName=Live\n" + live, take },
        { "shift on an empty slot only tells to save first", 3, true, "X", true, false, E::Unchanged, "",
          "error " + std::to_string(IDS_SAVE_PROFILE_FIRST) + "; " },
        { "rename writes only the new name", 4, true, " Studio ", false, false, E::Renamed,
          "[Profile4]\nName=Studio\n" + live, askRename },
        { "rename cancelled", 4, true, std::nullopt, true, false, E::Unchanged, "[Profile4]\nName=Live\n" + live, askRename },
        { "an empty name and No keep the slot", 4, true, "", false, false, E::Unchanged, "[Profile4]\nName=Live\n" + live,
          askRename + confirmDelete },
        { "an empty name and Yes delete the section", 4, true, "", true, false, E::Deleted, "", askRename + confirmDelete },
        { "slot 0 is never touched", 0, false, "Live", true, false, E::Unchanged, "", "" },
        { "nor slot 9", 9, true, "Live", true, false, E::Unchanged, "", "" },
    };
    for (const Case& c : cases) {
        file = MemoryProfile();
        if (c.n == 4)
            Store(4, kLive);
        FakePrompts prompts;
        prompts.nameAnswer = c.name;
        prompts.yes = c.yes;
        SettingsRecord dialogFields = Running("127.0.0.255|5000|MIDI|AUXMIDI|Desk");
        ProfileEdit edit = SaveProfileFromDialog(ini, c.n, c.shift, prompts, [&]() -> const SettingsRecord* {
            prompts.Record("take fields");
            return c.refused ? nullptr : &dialogFields;
        });
        EXPECT_EQ(edit, c.edit) << c.rule;
        EXPECT_EQ(file.Text(), c.fileAfter) << c.rule;
        EXPECT_EQ(prompts.events, c.events) << c.rule;
    }
}
}
