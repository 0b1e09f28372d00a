// Profiles in the real kvMidi.exe: saved, renamed and deleted in the settings dialog, loaded
// from the tray menu and by name from the command line.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
#include "tests/support/settings_driver.h"
#include "tests/support/tray_profile_menu.h"
#include "tests/support/ui_driver.h"

namespace {
int LoadButton(int n) { return IDC_LOAD_PROFILE_1 + n - 1; }
int SaveButton(int n) { return IDC_SAVE_PROFILE_1 + n - 1; }

// A used slot as the file holds it; every address is the loopback broadcast.
std::string ProfileLines(int n, const std::string& name, unsigned short port, const std::string& applicationId,
                         const std::string& textCommand, const std::string& destination)
{
    return "[Profile" + std::to_string(n) + "]\r\nName=" + name + "\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
           std::to_string(port) + "\r\nApplicationId=" + applicationId + "\r\nTextCmd=" + textCommand +
           "\r\nDestination=" + destination + "\r\n";
}

std::vector<IniEntry> ProfileEntries(const std::string& section, const std::string& name, unsigned short port,
                                     const std::string& applicationId, const std::string& textCommand,
                                     const std::string& destination)
{
    return { { section, "Name", name }, { section, "BroadcastAddress", "127.255.255.255" },
             { section, "Port", std::to_string(port) }, { section, "ApplicationId", applicationId },
             { section, "TextCmd", textCommand }, { section, "Destination", destination } };
}

class ProfilesInTheDialog : public testing::Test {
protected:
    void Open(const std::string& iniLines)
    {
        ASSERT_TRUE(run.Start(iniLines));
        dialog = run.OpenSettings();
        ASSERT_TRUE(dialog.IsOpen());
        pid = run.Program().ProcessId();
    }

    // Every handler the dialog was given has run to its end once a line event that came
    // after it has reached the network.
    void WaitForTheDialogToCatchUp()
    {
        run.PostLineEvent(0, 0);
        ASSERT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/10/144/0/0"));
    }

    void ExpectLabels(int n, const std::string& label, bool loadEnabled)
    {
        EXPECT_EQ(dialog.Text(LoadButton(n)), label);
        EXPECT_EQ(dialog.Text(SaveButton(n)), label);
        EXPECT_EQ(dialog.IsEnabled(LoadButton(n)), loadEnabled) << "Load button of slot " << n;
        EXPECT_TRUE(dialog.IsEnabled(SaveButton(n))) << "Save-as button of slot " << n;
    }

    SettingsRun run;
    SettingsDialog dialog;
    DWORD pid = 0;
};

TEST_F(ProfilesInTheDialog, AFreshFileLabelsEverySlotByItsNumber)
{
    ASSERT_NO_FATAL_FAILURE(Open(""));
    for (int n = 1; n <= 8; ++n)
        ExpectLabels(n, "Profile " + std::to_string(n), false);
}

TEST_F(ProfilesInTheDialog, SavingIntoAnEmptySlotAsksForItsNameAndStoresTheFields)
{
    ASSERT_NO_FATAL_FAILURE(Open(""));
    dialog.SetText(IDC_APPLICATION_ID, "SAVED");
    dialog.SetText(IDC_TEXT_COMMAND, "KEYS");
    dialog.SetText(IDC_DESTINATION, "Room 1");
    dialog.Click(SaveButton(2));
    HWND prompt = WaitForTextPrompt(pid);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(WindowCaption(prompt), "Set profile name...");
    EXPECT_EQ(WindowText(::GetDlgItem(prompt, IDC_PROMPT_TEXT)), "Enter a name for this profile:");
    EXPECT_EQ(WindowText(::GetDlgItem(prompt, IDC_PROMPT_EDIT)), "");
    ASSERT_TRUE(AnswerTextPrompt(prompt, "Studio"));

    auto expected = ProfileEntries("Profile2", "Studio", run.Listener().Port(), "SAVED", "KEYS", "Room 1");
    EXPECT_TRUE(WaitUntil([&] { return IniSection(run.IniPath(), "Profile2") == expected; }, kSettingsDeadline))
        << ReadWholeFile(run.IniPath());
    EXPECT_TRUE(WaitUntil([&] { return dialog.FocusedControl() == IDC_APPLY; }, kSettingsDeadline));
    ExpectLabels(2, "Studio", true);
    // Saving hands nothing to the running program.
    WaitForTheDialogToCatchUp();
}

struct NoNameCase {
    const char* what;
    std::optional<std::string> answer;
};

TEST_F(ProfilesInTheDialog, ANameOfBlanksOrACancelledPromptWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open(""));
    const NoNameCase cases[] = { { "blanks", std::string("   ") }, { "cancelled", std::nullopt } };
    std::string before = ReadWholeFile(run.IniPath());
    for (const NoNameCase& c : cases) {
        dialog.Click(SaveButton(3));
        ASSERT_TRUE(AnswerTextPrompt(WaitForTextPrompt(pid), c.answer)) << c.what;
        WaitForTheDialogToCatchUp();
        EXPECT_EQ(ReadWholeFile(run.IniPath()), before) << c.what;
        ExpectLabels(3, "Profile 3", false);
    }
}

TEST_F(ProfilesInTheDialog, SavingIntoAUsedSlotOverwritesItWithoutAPrompt)
{
    unsigned short port = run.Listener().Port();
    ASSERT_NO_FATAL_FAILURE(Open(ProfileLines(4, "Live", port, "OLD", "OLD", "Old")));
    ExpectLabels(4, "Live", true);
    dialog.SetText(IDC_APPLICATION_ID, "NEWER");
    dialog.SetText(IDC_TEXT_COMMAND, "PADS");
    dialog.SetText(IDC_DESTINATION, "Stage");
    dialog.Click(SaveButton(4));

    auto expected = ProfileEntries("Profile4", "Live", port, "NEWER", "PADS", "Stage");
    EXPECT_TRUE(WaitUntil([&] { return IniSection(run.IniPath(), "Profile4") == expected; }, kSettingsDeadline))
        << ReadWholeFile(run.IniPath());
    EXPECT_EQ(WaitForTextPrompt(pid, std::chrono::milliseconds(0)), nullptr);
    ExpectLabels(4, "Live", true);
}

TEST_F(ProfilesInTheDialog, ShiftClickGivesAUsedSlotANewName)
{
    unsigned short port = run.Listener().Port();
    ASSERT_NO_FATAL_FAILURE(Open(ProfileLines(5, "Old", port, "APP", "CMD", "Dest")));
    HWND prompt = nullptr;
    ASSERT_TRUE(dialog.ShiftClick(SaveButton(5), [&] { return (prompt = WaitForTextPrompt(pid, {})) != nullptr; }));
    EXPECT_EQ(WindowCaption(prompt), "Set profile name...");
    EXPECT_EQ(WindowText(::GetDlgItem(prompt, IDC_PROMPT_TEXT)), "Enter a name  for this profile (or empty to delete it)");
    EXPECT_EQ(WindowText(::GetDlgItem(prompt, IDC_PROMPT_EDIT)), "Old");
    ASSERT_TRUE(AnswerTextPrompt(prompt, "New"));

    auto expected = ProfileEntries("Profile5", "New", port, "APP", "CMD", "Dest");
    EXPECT_TRUE(WaitUntil([&] { return IniSection(run.IniPath(), "Profile5") == expected; }, kSettingsDeadline))
        << ReadWholeFile(run.IniPath());
    EXPECT_TRUE(WaitUntil([&] { return dialog.Text(SaveButton(5)) == "New"; }, kSettingsDeadline));
    ExpectLabels(5, "New", true);
}

struct DeleteCase {
    int answer;
    bool removed;
};

TEST_F(ProfilesInTheDialog, ShiftClickWithAnEmptyNameDeletesTheSlotOnlyAfterYes)
{
    unsigned short port = run.Listener().Port();
    ASSERT_NO_FATAL_FAILURE(Open(ProfileLines(6, "Spare", port, "APP", "CMD", "Dest")));
    const DeleteCase cases[] = { { IDNO, false }, { IDYES, true } };
    for (const DeleteCase& c : cases) {
        std::string before = ReadWholeFile(run.IniPath());
        HWND prompt = nullptr;
        ASSERT_TRUE(dialog.ShiftClick(SaveButton(6), [&] { return (prompt = WaitForTextPrompt(pid, {})) != nullptr; }));
        ASSERT_TRUE(AnswerTextPrompt(prompt, ""));
        ASSERT_TRUE(AnswerMessageBox(pid, "Do you really want to delete this profile?", c.answer));
        WaitForTheDialogToCatchUp();
        if (c.removed) {
            EXPECT_FALSE(HasIniSection(run.IniPath(), "Profile6")) << ReadWholeFile(run.IniPath());
            ExpectLabels(6, "Profile 6", false);
        } else {
            EXPECT_EQ(ReadWholeFile(run.IniPath()), before);
            ExpectLabels(6, "Spare", true);
        }
    }
}

TEST_F(ProfilesInTheDialog, ShiftClickOnAnEmptySlotOnlyAsksToSaveItFirst)
{
    ASSERT_NO_FATAL_FAILURE(Open(""));
    std::string before = ReadWholeFile(run.IniPath());
    HWND box = nullptr;
    ASSERT_TRUE(dialog.ShiftClick(SaveButton(7), [&] {
        return (box = WaitForMessageBox(pid, "You need to create a profile by saving it before renaming.", {})) != nullptr;
    }));
    EXPECT_EQ(WaitForTextPrompt(pid, {}), nullptr);
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    WaitForTheDialogToCatchUp();
    EXPECT_EQ(ReadWholeFile(run.IniPath()), before);
    ExpectLabels(7, "Profile 7", false);
}

TEST(ProfilesFromTheTray, LoadingProfile3ChecksItAloneStoresItAndMovesTheNetworkToItsPort)
{
    SettingsRun run;
    UdpListener third("127.255.255.255");
    ASSERT_TRUE(third.IsOpen());
    unsigned short port = run.Listener().Port();
    ASSERT_TRUE(run.Start(ProfileLines(1, "One", port, "ONE", "UNO", "First") +
                          ProfileLines(3, "Three", third.Port(), "THREE", "TRI", "Hall")));
    EXPECT_EQ(ShownProfileChecks(run.Program().ProcessId()), std::vector<bool>(8, false));
    ::PostMessageA(run.Controller(), WM_COMMAND, ID_PROFILE_3, 0);

    // The event is handled once the load is through, saving included: the file holds still.
    run.PostLineEvent(2, 1);
    EXPECT_EQ(third.Receive(20000).value_or("<none>"), RemoteLine("THREE", "Hall", "TRI/10/144/2/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "BroadcastAddress"), "127.255.255.255");
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(third.Port()));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "ApplicationId"), "THREE");
    EXPECT_EQ(IniValue(run.IniPath(), "RemoteCmd", "Destination"), "Hall");
    EXPECT_EQ(IniValue(run.IniPath(), "Midi", "TextCmd"), "TRI");
    EXPECT_EQ(IniSection(run.IniPath(), "Profile3"), ProfileEntries("Profile3", "Three", third.Port(), "THREE", "TRI", "Hall"));

    std::vector<bool> onlyThird(8, false);
    onlyThird[2] = true;
    EXPECT_EQ(ShownProfileChecks(run.Program().ProcessId()), onlyThird);
}

struct StartProfileCase {
    const char* argument;
    bool loaded;
};

TEST(ProfilesAtStart, AProfileNamedOnTheCommandLineLoadsOnlyWithItsExactLetterCase)
{
    const StartProfileCase cases[] = { { "Studio", true }, { "STUDIO", false } };
    for (const StartProfileCase& c : cases) {
        SettingsRun run;
        UdpListener studio("127.255.255.255");
        ASSERT_TRUE(studio.IsOpen());
        std::string mainPort = std::to_string(run.Listener().Port());
        ASSERT_TRUE(run.Start(ProfileLines(2, "Studio", studio.Port(), "STUDIO", "REC", "Booth"), "-p " + std::string(c.argument)));
        run.PostLineEvent(0, 1);
        if (c.loaded) {
            EXPECT_EQ(studio.Receive(20000).value_or("<none>"), RemoteLine("STUDIO", "Booth", "REC/10/144/0/127"));
            EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(studio.Port()));
            EXPECT_EQ(IniValue(run.IniPath(), "Network", "ApplicationId"), "STUDIO");
        } else {
            EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/10/144/0/127")) << c.argument;
            EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), mainPort) << c.argument;
            EXPECT_FALSE(IniValue(run.IniPath(), "Network", "ApplicationId").has_value()) << c.argument;
        }
        EXPECT_TRUE(run.End());
    }
}
}
