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
struct Run { CGenericStringDlg* dialog; Play play; int tick = 0; bool done = false; };
Run* g_run = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND prompt = g_run->dialog->GetSafeHwnd();
    if (!prompt || !::IsWindowVisible(prompt) || g_run->done)
        return;
    // A step that never happens must not hang the run: after 20 s the prompt is cancelled.
    if (++g_run->tick > 600)
        ::PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    else
        g_run->done = g_run->play(prompt, g_run->tick);
}

INT_PTR RunPrompt(CGenericStringDlg& dialog, const Play& play)
{
    Run run{ &dialog, play };
    g_run = &run;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTick);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    return run.done ? result : -1;
}

void Click(HWND prompt, int button) { ::PostMessageA(::GetDlgItem(prompt, button), BM_CLICK, 0, 0); }

TEST(Prompt, OkTakesTheTextWithoutTheBlanksAroundAndEveryCancelKeepsTheInitialText)
{
    struct Case { UINT message; WPARAM wParam; INT_PTR result; const char* text; };
    const Case cases[] = {
        { BM_CLICK, IDOK, IDOK, "Live set" },
        { BM_CLICK, IDCANCEL, IDCANCEL, "Live" },
        { WM_KEYDOWN, VK_ESCAPE, IDCANCEL, "Live" },   // to the edit box
        { WM_SYSCOMMAND, SC_CLOSE, IDCANCEL, "Live" },
    };
    for (const Case& c : cases) {
        CGenericStringDlg dialog;
        dialog.m_nCaptionId = IDS_SET_PROFILE_NAME;
        dialog.m_nPromptId = IDS_RENAME_PROFILE;
        dialog.m_strText = "Live";
        std::string shown;
        EXPECT_EQ(RunPrompt(dialog, [&](HWND p, int) {
            shown = WindowText(p) + '|' + WindowText(::GetDlgItem(p, IDC_PROMPT_TEXT)) + '|' +
                    WindowText(::GetDlgItem(p, IDC_PROMPT_EDIT));
            HWND edit = ::GetDlgItem(p, IDC_PROMPT_EDIT);
            ::SetWindowTextA(edit, "  Live set\t ");
            if (c.message == BM_CLICK)
                Click(p, static_cast<int>(c.wParam));
            else
                ::PostMessageA(c.message == WM_KEYDOWN ? edit : p, c.message, c.wParam, 0);
            return true;
        }), c.result) << c.message << ' ' << c.wParam;
        EXPECT_EQ(dialog.m_strText, c.text) << c.message << ' ' << c.wParam;
        EXPECT_EQ(shown, "Set profile name...|Enter a name  for this profile (or empty to delete it)|Live");
    }
}

TEST(Prompt, ALongerTextIsRefusedAndTypingStopsAtEightyCharacters)
{
    // A longer initial text shows whole, but OK only shows the message and keeps the text.
    CGenericStringDlg dialog;
    dialog.m_strText = std::string(90, 'n');
    std::string refusal, kept;
    EXPECT_EQ(RunPrompt(dialog, [&](HWND p, int tick) {
        if (tick == 1)
            Click(p, IDOK);
        HWND box = FindProcessWindowIf(::GetCurrentProcessId(), [&](HWND w) {
            return w != p && WindowClassName(w) == "#32770" && ::IsWindowVisible(w);
        });
        if (box) {
            refusal = WindowText(::GetDlgItem(box, 0xFFFF));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        if (box || refusal.empty())
            return false;
        kept = dialog.m_strText;
        ::SetDlgItemTextA(p, IDC_PROMPT_EDIT, "");
        for (int i = 0; i < 100; ++i)
            ::SendMessageA(::GetDlgItem(p, IDC_PROMPT_EDIT), WM_CHAR, 'k', 0);
        Click(p, IDOK);
        return true;
    }), IDOK);
    EXPECT_EQ(refusal, "Please enter no more than 80 characters.");
    EXPECT_EQ(kept, std::string(90, 'n'));
    EXPECT_EQ(dialog.m_strText, std::string(80, 'k'));
}
}
