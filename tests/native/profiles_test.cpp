#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/profiles.h"
#include "config/profiles_edit.h"
#include "memory_profile.h"
#include "res/resource.h"

namespace {
struct StoredProfile {
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

    // Writes only the keys given (null leaves a key out), as a hand-edited file would.
    void Store(int n, const StoredProfile& p)
    {
        const std::string section = "Profile" + std::to_string(n);
        const std::pair<const char*, const char*> keys[] = {
            { "Name", p.name },          { "BroadcastAddress", p.address },
            { "Port", p.port },          { "ApplicationId", p.applicationId },
            { "TextCmd", p.textCommand }, { "Destination", p.destination },
        };
        for (const auto& [key, value] : keys)
            if (value)
                file.WriteString(section, key, value);
    }

    const StoredProfile kLive{ "Live", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" };

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
};

TEST_F(Profiles, SlotsAreTheSectionsProfile1ToProfile8)
{
    for (int n = 1; n <= kProfileCount; ++n)
        EXPECT_EQ(ProfileSectionName(n), "Profile" + std::to_string(n));
    EXPECT_EQ(ProfileSectionName(0), "");
    EXPECT_EQ(ProfileSectionName(9), "");
    EXPECT_EQ(ProfileSectionName(-1), "");
}

TEST_F(Profiles, LoadReplacesTheFiveValuesAndNothingElse)
{
    Store(4, kLive);
    SettingsRecord settings = Running("127.10.255.255", 9871, "MIDI", "AUXMIDI", "");
    settings.m_bFilterNoteOff = 1;
    settings.m_bDeviceEnabled[2] = 1;
    settings.m_bComEnabled = 1;

    ASSERT_TRUE(LoadProfile(ini, 4, settings));

    EXPECT_EQ(settings.m_strBroadcastAddress, "127.0.1.255");
    EXPECT_EQ(settings.m_nPort, 4000);
    EXPECT_EQ(settings.m_strApplicationId, "LOG");
    EXPECT_EQ(settings.m_strTextCommand, "CMD");
    EXPECT_EQ(settings.m_strDestination, "Room 2");
    EXPECT_EQ(settings.m_bFilterNoteOff, 1);
    EXPECT_EQ(settings.m_bDeviceEnabled[2], 1);
    EXPECT_EQ(settings.m_bComEnabled, 1);
}

TEST_F(Profiles, LoadGivesMissingKeysTheirLoadDefaults)
{
    Store(1, { "Bare", nullptr, nullptr, nullptr, nullptr, nullptr });
    Store(2, { "Lettered port", "127.10.255.255", "abc", nullptr, nullptr, nullptr });
    SettingsRecord settings = Running("127.10.255.255", 4000, "MIDI", "AUXMIDI", "Desk");

    ASSERT_TRUE(LoadProfile(ini, 1, settings));
    EXPECT_EQ(settings.m_strBroadcastAddress, "127.255.255.255");
    EXPECT_EQ(settings.m_nPort, 9871);
    EXPECT_EQ(settings.m_strApplicationId, "");
    EXPECT_EQ(settings.m_strTextCommand, "");
    EXPECT_EQ(settings.m_strDestination, "");

    ASSERT_TRUE(LoadProfile(ini, 2, settings));
    EXPECT_EQ(settings.m_nPort, 0);
}

TEST_F(Profiles, LoadOfAnEmptySlotOrABadNumberChangesNothing)
{
    Store(3, { nullptr, "127.0.1.255", "4000", "LOG", "CMD", "Room 2" });
    Store(5, { "", "127.0.1.255", "4000", "LOG", "CMD", "Room 2" });
    const SettingsRecord before = Running("127.10.255.255", 9871, "MIDI", "AUXMIDI", "");
    for (int n : { 0, 3, 5, 6, 9, -1 }) {
        SettingsRecord settings = before;
        EXPECT_FALSE(LoadProfile(ini, n, settings)) << n;
        EXPECT_EQ(settings.m_strBroadcastAddress, before.m_strBroadcastAddress) << n;
        EXPECT_EQ(settings.m_nPort, before.m_nPort) << n;
    }
}

TEST_F(Profiles, TheDialogLoadReadsASlotWithoutLookingAtItsName)
{
    Store(6, { nullptr, "127.0.1.255", nullptr, "LOG", nullptr, nullptr });
    SettingsRecord fields = Running("127.10.255.255", 4000, "MIDI", "AUXMIDI", "Desk");
    ReadProfileValues(ini, 6, fields);
    EXPECT_EQ(fields.m_strBroadcastAddress, "127.0.1.255");
    EXPECT_EQ(fields.m_nPort, 9871);
    EXPECT_EQ(fields.m_strApplicationId, "LOG");
    EXPECT_EQ(fields.m_strTextCommand, "");
    EXPECT_EQ(fields.m_strDestination, "");
}

TEST_F(Profiles, ByNameMatchesExactlyWithLetterCase)
{
    Store(2, { "live", "127.10.255.255", "1", "", "", "" });
    Store(5, { "Live", "127.10.255.255", "2", "", "", "" });
    Store(7, { "Live", "127.10.255.255", "3", "", "", "" });
    struct Case { const char* name; int slot; };
    const Case cases[] = {
        { "live", 2 }, { "Live", 5 }, { "LIVE", 0 }, { "Live ", 0 }, { "Liv", 0 }, { "", 0 }, { "Profile1", 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindProfileByName(ini, c.name), c.slot) << '"' << c.name << '"';
}

TEST_F(Profiles, CurrentIsTheLowestUsedSlotEqualInAllFiveValues)
{
    Store(1, { nullptr, "127.0.1.255", "4000", "LOG", "CMD", "Room 2" });
    Store(3, kLive);
    Store(6, kLive);
    Store(8, { "Sparse", nullptr, "9871", nullptr, nullptr, nullptr });
    EXPECT_EQ(FindCurrentProfile(ini, Running("127.0.1.255", 4000, "LOG", "CMD", "Room 2")), 3);
    EXPECT_EQ(FindCurrentProfile(ini, Running("", 9871, "", "", "")), 8);

    struct Case { SettingsRecord settings; const char* differs; };
    const Case cases[] = {
        { Running("127.0.1.254", 4000, "LOG", "CMD", "Room 2"), "address" },
        { Running("127.0.1.255", 4001, "LOG", "CMD", "Room 2"), "port" },
        { Running("127.0.1.255", 4000, "log", "CMD", "Room 2"), "application id" },
        { Running("127.0.1.255", 4000, "LOG", "CMDX", "Room 2"), "text command" },
        { Running("127.0.1.255", 4000, "LOG", "CMD", "Room 3"), "destination" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindCurrentProfile(ini, c.settings), 0) << c.differs;
}

TEST_F(Profiles, MissingPortComparesAsZeroButLoadsAs9871)
{
    Store(2, { "No port", "127.0.1.255", nullptr, "LOG", "CMD", "" });
    EXPECT_EQ(FindCurrentProfile(ini, Running("127.0.1.255", 9871, "LOG", "CMD", "")), 0);
    EXPECT_EQ(FindCurrentProfile(ini, Running("127.0.1.255", 0, "LOG", "CMD", "")), 2);

    SettingsRecord settings;
    ASSERT_TRUE(LoadProfile(ini, 2, settings));
    EXPECT_EQ(settings.m_nPort, 9871);
    // Hence a profile without Port is not current right after it was loaded.
    EXPECT_EQ(FindCurrentProfile(ini, settings), 0);
}

TEST_F(Profiles, FreshFileMenuShowsEightGreyNumberedItems)
{
    auto items = ProfileMenuItems(ini, 0);
    for (int n = 1; n <= kProfileCount; ++n) {
        const ProfileMenuItem& item = items[static_cast<size_t>(n - 1)];
        EXPECT_EQ(item.commandId, 33000 + n);
        EXPECT_EQ(item.text, "Profile " + std::to_string(n));
        EXPECT_FALSE(item.enabled);
        EXPECT_FALSE(item.checked);
    }
}

TEST_F(Profiles, MenuShowsNamesVerbatimAndChecksOnlyTheCurrentSlot)
{
    Store(3, { "Studio & Stage", "127.10.255.255", "1", "", "", "" });
    Store(5, { "Live", "127.10.255.255", "1", "", "", "" });
    struct Case { int current; int checkedSlot; };
    const Case cases[] = { { 3, 3 }, { 5, 5 }, { 0, 0 }, { 4, 0 }, { 9, 0 } };
    for (const Case& c : cases) {
        auto items = ProfileMenuItems(ini, c.current);
        for (int n = 1; n <= kProfileCount; ++n)
            EXPECT_EQ(items[static_cast<size_t>(n - 1)].checked, n == c.checkedSlot) << c.current << ' ' << n;
    }
    auto items = ProfileMenuItems(ini, 3);
    EXPECT_EQ(items[2].text, "Studio & Stage");
    EXPECT_TRUE(items[2].enabled);
    EXPECT_EQ(items[4].text, "Live");
    EXPECT_TRUE(items[4].enabled);
    EXPECT_EQ(items[3].text, "Profile 4");
    EXPECT_FALSE(items[3].enabled);
}

TEST_F(Profiles, ButtonsCarryTheNameOrTheNumberAndLoadOnlyUsedSlots)
{
    Store(2, kLive);
    auto labels = ProfileButtonLabels(ini, "Profile %d");
    for (int n = 1; n <= kProfileCount; ++n) {
        const ProfileButtonLabel& label = labels[static_cast<size_t>(n - 1)];
        EXPECT_EQ(label.loadButtonId, 1500 + n);
        EXPECT_EQ(label.saveButtonId, 1600 + n);
        EXPECT_EQ(label.text, n == 2 ? "Live" : "Profile " + std::to_string(n));
        EXPECT_EQ(label.loadEnabled, n == 2);
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

class ProfileEditing : public Profiles {
protected:
    ProfileEdit Save(int n, bool shiftDown = false)
    {
        return SaveProfileFromDialog(ini, n, shiftDown, prompts, [this]() -> const SettingsRecord& {
            prompts.events.push_back("take fields");
            return fields;
        });
    }

    FakePrompts prompts;
    SettingsRecord fields = Running("127.0.0.255", 5000, "MIDI", "AUXMIDI", "Desk");
    const std::string kFieldsAsStored =
        "BroadcastAddress=127.0.0.255\nPort=5000\nApplicationId=MIDI\nTextCmd=AUXMIDI\nDestination=Desk\n";
};

TEST_F(ProfileEditing, SavingAnEmptySlotAsksANameThenTakesTheFields)
{
    prompts.nameAnswer = "  Live  ";
    EXPECT_EQ(Save(2), ProfileEdit::Saved);
    EXPECT_EQ(file.Text(), "[Profile2]\nName=Live\n" + kFieldsAsStored);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{ "ask 112 113 ''", "take fields" }));
}

TEST_F(ProfileEditing, SavingAnEmptySlotWithoutANameWritesNothing)
{
    const std::optional<std::string> answers[] = { std::nullopt, std::string(), std::string("   "),
                                                    std::string(" \t ") };
    for (const auto& answer : answers) {
        prompts.nameAnswer = answer;
        prompts.events.clear();
        EXPECT_EQ(Save(1), ProfileEdit::Unchanged);
        EXPECT_EQ(file.Text(), "");
        EXPECT_EQ(prompts.events, (std::vector<std::string>{ "ask 112 113 ''" }));
    }
}

TEST_F(ProfileEditing, SavingAUsedSlotOverwritesWithoutAQuestionAndKeepsTheName)
{
    Store(4, kLive);
    EXPECT_EQ(Save(4), ProfileEdit::Saved);
    EXPECT_EQ(file.Text(), "[Profile4]\nName=Live\n" + kFieldsAsStored);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{ "take fields" }));
}

TEST_F(ProfileEditing, ShiftClickOnAnEmptySlotOnlyTellsToSaveFirst)
{
    Store(3, { nullptr, "127.10.255.255", "1", "", "", "" });
    const std::string before = file.Text();
    EXPECT_EQ(Save(3, true), ProfileEdit::Unchanged);
    EXPECT_EQ(file.Text(), before);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{ "error " + std::to_string(IDS_SAVE_PROFILE_FIRST) }));
}

TEST_F(ProfileEditing, RenameWritesOnlyTheNewName)
{
    Store(5, kLive);
    prompts.nameAnswer = " Studio ";
    EXPECT_EQ(Save(5, true), ProfileEdit::Renamed);
    EXPECT_EQ(file.Text(), "[Profile5]\nName=Studio\nBroadcastAddress=127.0.1.255\nPort=4000\n"
                           "ApplicationId=LOG\nTextCmd=CMD\nDestination=Room 2\n");
    EXPECT_EQ(prompts.events, (std::vector<std::string>{ "ask 112 115 'Live'" }));
}

TEST_F(ProfileEditing, RenameCancelledChangesNothing)
{
    Store(5, kLive);
    const std::string before = file.Text();
    prompts.nameAnswer = std::nullopt;
    EXPECT_EQ(RenameOrDeleteProfile(ini, 5, prompts), ProfileEdit::Unchanged);
    EXPECT_EQ(file.Text(), before);
}

TEST_F(ProfileEditing, EmptyNameDeletesTheSectionOnlyAfterYes)
{
    Store(1, { "Other", "127.10.255.255", "1", "", "", "" });
    Store(5, kLive);
    const std::string before = file.Text();
    prompts.nameAnswer = "";

    prompts.yesAnswer = false;
    EXPECT_EQ(RenameOrDeleteProfile(ini, 5, prompts), ProfileEdit::Unchanged);
    EXPECT_EQ(file.Text(), before);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{
                                  "ask 112 115 'Live'", "question " + std::to_string(IDS_CONFIRM_DELETE_PROFILE) }));

    prompts.yesAnswer = true;
    EXPECT_EQ(RenameOrDeleteProfile(ini, 5, prompts), ProfileEdit::Deleted);
    EXPECT_EQ(file.Text(), "[Profile1]\nName=Other\nBroadcastAddress=127.10.255.255\nPort=1\n"
                           "ApplicationId=\nTextCmd=\nDestination=\n");
    const ProfileButtonLabel label = ProfileButtonLabels(ini, "Profile %d")[4];
    EXPECT_EQ(label.text, "Profile 5");
    EXPECT_FALSE(label.loadEnabled);
}

TEST_F(ProfileEditing, SlotsOutsideOneToEightAreNeverTouched)
{
    prompts.nameAnswer = "Live";
    prompts.yesAnswer = true;
    for (int n : { 0, 9 }) {
        EXPECT_EQ(Save(n), ProfileEdit::Unchanged);
        EXPECT_EQ(Save(n, true), ProfileEdit::Unchanged);
    }
    EXPECT_EQ(file.Text(), "");
    EXPECT_TRUE(prompts.events.empty());
}
}
