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
// A slot as a hand-edited file may hold it: null leaves a key out.
struct Stored {
    int n;
    const char* name;
    const char* address;
    const char* port;
    const char* applicationId;
    const char* textCommand;
    const char* destination;
};

SettingsRecord Running(const char* address, int port, const char* applicationId, const char* textCommand,
                       const char* destination)
{
    SettingsRecord settings;
    settings.m_strBroadcastAddress = address;
    settings.m_nPort = port;
    settings.m_strApplicationId = applicationId;
    settings.m_strTextCommand = textCommand;
    settings.m_strDestination = destination;
    return settings;
}

class Profiles : public testing::Test {
protected:
    Profiles() { names.BuildSettingNameTable(); }

    void Store(const std::vector<Stored>& slots)
    {
        for (const Stored& p : slots) {
            const std::pair<const char*, const char*> keys[] = {
                { "Name", p.name },           { "BroadcastAddress", p.address }, { "Port", p.port },
                { "ApplicationId", p.applicationId }, { "TextCmd", p.textCommand }, { "Destination", p.destination },
            };
            for (const auto& [key, value] : keys)
                if (value)
                    file.WriteString("Profile" + std::to_string(p.n), key, value);
        }
    }

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
};

const Stored kLive{ 4, "Live", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" };

TEST_F(Profiles, LoadTakesTheFiveValuesOfANamedSlotWithTheLoadDefaults)
{
    Store({ kLive, { 1, "Bare", nullptr, nullptr, nullptr, nullptr, nullptr },
            { 2, "Lettered port", "127.10.255.255", "abc", nullptr, nullptr, nullptr },
            { 3, nullptr, "127.0.1.255", "4000", "LOG", "CMD", "Room 2" },
            { 5, "", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" } });
    const SettingsRecord before = Running("127.10.255.255", 9871, "MIDI", "AUXMIDI", "Desk");
    struct Case { int n; bool loaded; SettingsRecord after; };
    const Case cases[] = {
        { 4, true, Running("127.0.1.255", 4000, "LOG", "CMD", "Room 2") },
        { 1, true, Running("127.255.255.255", 9871, "", "", "") },
        { 2, true, Running("127.10.255.255", 0, "", "", "") },
        { 3, false, before }, { 5, false, before }, { 6, false, before }, { 0, false, before }, { 9, false, before },
    };
    for (const Case& c : cases) {
        SettingsRecord settings = before;
        settings.m_bFilterNoteOff = 1;
        settings.m_bDeviceEnabled[2] = 1;
        settings.m_bComEnabled = 1;
        SettingsRecord expected = c.after;
        expected.m_bFilterNoteOff = 1;
        expected.m_bDeviceEnabled[2] = 1;
        expected.m_bComEnabled = 1;
        EXPECT_EQ(ApplyProfile(ini, c.n, settings), c.loaded) << c.n;
        EXPECT_TRUE(settings == expected) << c.n;
    }
    // The dialog's Load button reads a slot without looking at its name.
    SettingsRecord fields = before;
    ReadProfileValues(ini, 3, fields);
    EXPECT_TRUE(fields == Running("127.0.1.255", 4000, "LOG", "CMD", "Room 2"));
}

TEST_F(Profiles, ByNameMatchesExactlyWithLetterCase)
{
    Store({ { 2, "live", "a", "1", "", "", "" }, { 5, "Live", "a", "2", "", "", "" }, { 7, "Live", "a", "3", "", "", "" } });
    struct Case { const char* name; int slot; };
    const Case cases[] = {
        { "live", 2 }, { "Live", 5 }, { "LIVE", 0 }, { "Live ", 0 }, { "Liv", 0 }, { "", 0 }, { "Profile1", 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindProfileByName(ini, c.name), c.slot) << '"' << c.name << '"';
}

TEST_F(Profiles, CurrentIsTheLowestUsedSlotEqualInAllFiveValuesAMissingPortBeingZero)
{
    Store({ { 1, nullptr, "127.0.1.255", "4000", "LOG", "CMD", "Room 2" },
            { 3, "Live", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" },
            { 6, "Live", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" },
            { 8, "No port", "127.0.1.255", nullptr, "LOG", "CMD", "" } });
    struct Case { SettingsRecord settings; int current; };
    const Case cases[] = {
        { Running("127.0.1.255", 4000, "LOG", "CMD", "Room 2"), 3 },
        { Running("127.0.1.254", 4000, "LOG", "CMD", "Room 2"), 0 },
        { Running("127.0.1.255", 4001, "LOG", "CMD", "Room 2"), 0 },
        { Running("127.0.1.255", 4000, "log", "CMD", "Room 2"), 0 },
        { Running("127.0.1.255", 4000, "LOG", "CMDX", "Room 2"), 0 },
        { Running("127.0.1.255", 4000, "LOG", "CMD", "Room 3"), 0 },
        { Running("127.0.1.255", 0, "LOG", "CMD", ""), 8 },
        // What loading slot 8 gives: a profile without Port is not current right after its load.
        { Running("127.0.1.255", 9871, "LOG", "CMD", ""), 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindCurrentProfile(ini, c.settings), c.current) << c.settings.m_nPort;
}

TEST_F(Profiles, MenuAndButtonsShowNamesVerbatimOrTheSlotNumber)
{
    Store({ { 3, "Studio & Stage", "a", "1", "", "", "" }, { 5, "Live", "a", "1", "", "", "" } });
    for (int current : { 0, 3, 4, 5, 9 }) {
        auto items = ProfileMenuItems(ini, current);
        auto labels = ProfileButtonLabels(ini, "Profile %d");
        for (int n = 1; n <= kProfileCount; ++n) {
            const ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
            const ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
            bool used = n == 3 || n == 5;
            std::string text = n == 3 ? "Studio & Stage" : n == 5 ? "Live" : "Profile " + std::to_string(n);
            EXPECT_EQ(item.commandId, ID_PROFILE_1 - 1 + n);
            EXPECT_EQ(item.text, text);
            EXPECT_EQ(item.enabled, used);
            EXPECT_EQ(item.checked, used && n == current) << current << ' ' << n;
            EXPECT_EQ(label.loadButtonId, IDC_LOAD_PROFILE_1 - 1 + n);
            EXPECT_EQ(label.saveButtonId, IDC_SAVE_PROFILE_1 - 1 + n);
            EXPECT_EQ(label.text, text);
            EXPECT_EQ(label.loadEnabled, used);
        }
    }
}

// The user's side of the dialog: answers given in advance, every question recorded.
class FakePrompts : public ProfilePrompts {
public:
    std::optional<std::string> AskProfileName(int captionId, int promptId, const std::string& initialText) override
    {
        events.push_back("ask " + std::to_string(captionId) + " " + std::to_string(promptId) + " '" + initialText + "'");
        return nameAnswer;
    }
    void ShowProfileError(int messageId) override { events.push_back("error " + std::to_string(messageId)); }
    bool ConfirmProfileQuestion(int messageId) override
    {
        events.push_back("question " + std::to_string(messageId));
        return yesAnswer;
    }

    std::optional<std::string> nameAnswer;
    bool yesAnswer = false;
    std::vector<std::string> events;
};

TEST_F(Profiles, SaveAsAndShiftClickEditTheSlotAfterTheUsersAnswers)
{
    const std::string askNew = "ask " + std::to_string(IDS_SET_PROFILE_NAME) + " " + std::to_string(IDS_ENTER_PROFILE_NAME) + " ''";
    const std::string askRename = "ask " + std::to_string(IDS_SET_PROFILE_NAME) + " " + std::to_string(IDS_RENAME_PROFILE) + " 'Live'";
    const std::string saveFirst = "error " + std::to_string(IDS_SAVE_PROFILE_FIRST);
    const std::string confirmDelete = "question " + std::to_string(IDS_CONFIRM_DELETE_PROFILE);
    const std::string fields = "BroadcastAddress=127.0.0.255\nPort=5000\nApplicationId=MIDI\nTextCmd=AUXMIDI\nDestination=Desk\n";
    const std::string live = "[Profile4]\nName=Live\nBroadcastAddress=127.0.1.255\nPort=4000\nApplicationId=LOG\nTextCmd=CMD\nDestination=Room 2\n";
    struct Case {
        const char* rule;
        bool liveStored;
        int n;
        bool shift;
        std::optional<std::string> name;
        bool yes;
        ProfileEdit edit;
        std::string fileAfter;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        { "an empty slot is named first, the name trimmed", false, 2, false, "  Live  ", false, ProfileEdit::Saved,
          "[Profile2]\nName=Live\n" + fields, { askNew, "take fields" } },
        { "cancelled naming writes nothing", false, 2, false, std::nullopt, false, ProfileEdit::Unchanged, "", { askNew } },
        { "a name of blanks writes nothing", false, 2, false, " \t ", false, ProfileEdit::Unchanged, "", { askNew } },
        { "a used slot is overwritten without a question", true, 4, false, std::nullopt, false, ProfileEdit::Saved,
          "[Profile4]\nName=Live\n" + fields, { "take fields" } },
        { "shift on an empty slot only tells to save first", false, 3, true, "X", true, ProfileEdit::Unchanged, "",
          { saveFirst } },
        { "rename writes only the new name", true, 4, true, " Studio ", false, ProfileEdit::Renamed,
          "[Profile4]\nName=Studio\nBroadcastAddress=127.0.1.255\nPort=4000\nApplicationId=LOG\nTextCmd=CMD\nDestination=Room 2\n",
          { askRename } },
        { "rename cancelled", true, 4, true, std::nullopt, true, ProfileEdit::Unchanged, live, { askRename } },
        { "an empty name and No keep the slot", true, 4, true, "", false, ProfileEdit::Unchanged, live,
          { askRename, confirmDelete } },
        { "an empty name and Yes delete the section", true, 4, true, "", true, ProfileEdit::Deleted, "",
          { askRename, confirmDelete } },
        { "slot 0 is never touched", false, 0, false, "Live", true, ProfileEdit::Unchanged, "", {} },
        { "slot 9 is never touched", false, 9, true, "Live", true, ProfileEdit::Unchanged, "", {} },
    };
    for (const Case& c : cases) {
        MemoryProfile fresh;
        file = fresh;
        if (c.liveStored)
            Store({ kLive });
        FakePrompts prompts;
        prompts.nameAnswer = c.name;
        prompts.yesAnswer = c.yes;
        SettingsRecord dialogFields = Running("127.0.0.255", 5000, "MIDI", "AUXMIDI", "Desk");
        ProfileEdit edit = SaveProfileFromDialog(ini, c.n, c.shift, prompts, [&]() -> const SettingsRecord& {
            prompts.events.push_back("take fields");
            return dialogFields;
        });
        EXPECT_EQ(edit, c.edit) << c.rule;
        EXPECT_EQ(file.Text(), c.fileAfter) << c.rule;
        EXPECT_EQ(prompts.events, c.events) << c.rule;
    }
}
}
