// The text prompt on its own template, played by a timer as a user would: its texts from the
// string table, typing, OK, the ways of cancelling, and the 80-character limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "res/resource.h"
#include "tests/support/kvmidi_process.h"
#include "ui/generic_string_dlg.h"

namespace {
// The user's part: called on every tick with the shown prompt and the tick's number until it
// says it is done.
using Play = std::function<bool(HWND prompt, int tick)>;
std::function<void()> g_tick;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) { g_tick(); }

INT_PTR RunPrompt(CGenericStringDlg& dialog, const Play& play)
{
    int tick = 0;
    bool done = false;
    g_tick = [&] {
        HWND prompt = dialog.GetSafeHwnd();
        if (!prompt || !::IsWindowVisible(prompt) || done)
            return;
        // A step that never happens must not hang the run: after 20 s the prompt is cancelled.
        if (++tick > 600)
            ::PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
        else
            done = play(prompt, tick);
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTick);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    return done ? result : -1;
}

// Typing stops at 80 characters; OK takes the text without the blanks around it, Cancel and
// Escape keep the initial text.
TEST(Prompt, TypingStopsAtEightyOkTakesTheTrimmedTextAndCancelOrEscapeKeepsTheInitialText)
{
    struct Case { int control; UINT message; WPARAM wParam; INT_PTR result; const char* text; };
    const Case cases[] = { { IDOK, BM_CLICK, 0, IDOK, "Live set" }, { IDCANCEL, BM_CLICK, 0, IDCANCEL, "Live" },
                           { IDC_PROMPT_EDIT, WM_KEYDOWN, VK_ESCAPE, IDCANCEL, "Live" } };
    for (const Case& c : cases) {
        CGenericStringDlg dialog;
        dialog.m_nCaptionId = IDS_SET_PROFILE_NAME;
        dialog.m_nPromptId = IDS_RENAME_PROFILE;
        dialog.m_strText = "Live";
        std::string shown, typed;
        EXPECT_EQ(RunPrompt(dialog, [&](HWND p, int) {
            HWND edit = ::GetDlgItem(p, IDC_PROMPT_EDIT);
            shown = WindowText(p) + '|' + WindowText(::GetDlgItem(p, IDC_PROMPT_TEXT)) + '|' + WindowText(edit);
            ::SetWindowTextA(edit, "");
            for (int i = 0; i < 100; ++i)
                ::SendMessageA(edit, WM_CHAR, 'k', 0);
            typed = WindowText(edit);
            ::SetWindowTextA(edit, "  Live set\t ");
            ::PostMessageA(::GetDlgItem(p, c.control), c.message, c.wParam, 0);
            return true;
        }), c.result) << c.control;
        EXPECT_EQ(dialog.m_strText, c.text) << c.control;
        EXPECT_EQ(shown, "Set profile name...|Enter a name  for this profile (or empty to delete it)|Live");
        EXPECT_EQ(typed, std::string(80, 'k'));
    }
}

TEST(Prompt, ALongerTextShowsWholeButOkOnlyShowsTheRefusal)
{
    CGenericStringDlg dialog;
    dialog.m_strText = std::string(90, 'n');
    std::string refusal, kept;
    EXPECT_EQ(RunPrompt(dialog, [&](HWND p, int tick) {
        if (tick == 1)
            ::PostMessageA(::GetDlgItem(p, IDOK), BM_CLICK, 0, 0);
        HWND box = FindProcessWindowIf(::GetCurrentProcessId(), [&](HWND w) {
            return w != p && WindowClassName(w) == "#32770" && ::IsWindowVisible(w);
        });
        if (box) {
            refusal = WindowText(::GetDlgItem(box, 0xFFFF));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        if (box || refusal.empty())
            return false;
        kept = WindowText(::GetDlgItem(p, IDC_PROMPT_EDIT));
        ::PostMessageA(p, WM_COMMAND, IDCANCEL, 0);
        return true;
    }), IDCANCEL);
    EXPECT_EQ(refusal, "Please enter no more than 80 characters.");
    EXPECT_EQ(kept, std::string(90, 'n'));
}
}
