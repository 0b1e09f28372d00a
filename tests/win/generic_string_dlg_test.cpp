// The text prompt on its own template, played by a timer as a user would: its texts from the
// string table, typing, OK, the ways of cancelling, and the message of the length check.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "res/resource.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/program_resources.h"
#include "ui/generic_string_dlg.h"

namespace {
// The user's part: called on every tick with the prompt's window and the tick's number since
// the prompt showed, until it says it is done.
using Play = std::function<bool(HWND prompt, int tick)>;

struct Player {
    CGenericStringDlg* dialog;
    Play play;
    int tick = 0;
    bool done = false;
};
Player* g_player = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND prompt = g_player ? g_player->dialog->GetSafeHwnd() : nullptr;
    if (!prompt || !::IsWindowVisible(prompt) || g_player->done)
        return;
    // A step that never happens must not hang the run: after 20 s the prompt is cancelled.
    if (++g_player->tick > 600)
        ::PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    else
        g_player->done = g_player->play(prompt, g_player->tick);
}

INT_PTR RunPrompt(CGenericStringDlg& dialog, const Play& play)
{
    Player player{ &dialog, play };
    g_player = &player;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTick);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_player = nullptr;
    return player.done ? result : -1;
}

void Post(HWND prompt, int button) { ::PostMessageA(::GetDlgItem(prompt, button), BM_CLICK, 0, 0); }

struct PromptCase {
    const char* what;
    const char* typed;   // replaces the initial text "Live"
    std::function<void(HWND)> leave;
    INT_PTR result;
    std::string text;
};

TEST(Prompt, OkTakesTheTextWithoutTheBlanksAroundAndEveryCancelKeepsTheInitialText)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded()) << "kvMidi.exe must sit beside the tests";
    const PromptCase cases[] = {
        { "OK", "  Live set\t ", [](HWND p) { Post(p, IDOK); }, IDOK, "Live set" },
        { "Cancel", "Other", [](HWND p) { Post(p, IDCANCEL); }, IDCANCEL, "Live" },
        { "Escape", "Other", [](HWND p) { ::PostMessageA(::GetDlgItem(p, IDC_PROMPT_EDIT), WM_KEYDOWN, VK_ESCAPE, 0); },
          IDCANCEL, "Live" },
        { "close box", "Other", [](HWND p) { ::PostMessageA(p, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL, "Live" },
    };
    for (const PromptCase& c : cases) {
        CGenericStringDlg dialog;
        dialog.m_nCaptionId = IDS_SET_PROFILE_NAME;
        dialog.m_nPromptId = IDS_RENAME_PROFILE;
        dialog.m_strText = "Live";
        std::string caption, prompt, shown;
        EXPECT_EQ(RunPrompt(dialog, [&](HWND p, int) {
            caption = WindowText(p);
            prompt = WindowText(::GetDlgItem(p, IDC_PROMPT_TEXT));
            shown = WindowText(::GetDlgItem(p, IDC_PROMPT_EDIT));
            ::SetWindowTextA(::GetDlgItem(p, IDC_PROMPT_EDIT), c.typed);
            c.leave(p);
            return true;
        }), c.result) << c.what;
        EXPECT_EQ(dialog.m_strText, c.text) << c.what;
        EXPECT_EQ(caption, "Set profile name...");
        EXPECT_EQ(prompt, "Enter a name  for this profile (or empty to delete it)");
        EXPECT_EQ(shown, "Live");
    }
}

TEST(Prompt, TypingStopsAtEightyCharactersAndALongerTextIsRefused)
{
    ProgramResources resources;
    ASSERT_TRUE(resources.IsLoaded());
    CGenericStringDlg typed;
    EXPECT_EQ(RunPrompt(typed, [](HWND p, int) {
        for (int i = 0; i < 100; ++i)
            ::SendMessageA(::GetDlgItem(p, IDC_PROMPT_EDIT), WM_CHAR, 'k', 0);
        Post(p, IDOK);
        return true;
    }), IDOK);
    EXPECT_EQ(typed.m_strText, std::string(80, 'k'));

    // A longer initial text shows whole, but OK only shows the message and the prompt stays.
    CGenericStringDlg longer;
    longer.m_strText = std::string(90, 'n');
    bool refused = false;
    EXPECT_EQ(RunPrompt(longer, [&](HWND p, int tick) {
        if (tick == 1)
            Post(p, IDOK);
        HWND box = FindProcessWindowIf(::GetCurrentProcessId(), [&](HWND w) {
            return w != p && WindowClassName(w) == "#32770" && ::IsWindowVisible(w);
        });
        if (!box)
            return false;
        refused = WindowText(::GetDlgItem(box, 0xFFFF)) == "Please enter no more than 80 characters.";
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        Post(p, IDCANCEL);
        return true;
    }), IDCANCEL);
    EXPECT_TRUE(refused);
    EXPECT_EQ(longer.m_strText, std::string(90, 'n'));
}
}
