// The text prompt on its own template, played by a timer as a user would in one session: its
// texts from the string table, a longer initial text refused, typing stopped at 80 characters,
// and OK taking the text without the blanks around it. Cancel ends it as it ends any dialog of
// the framework (the end-to-end settings test).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "res/resource.h"
#include "tests/support/kvmidi_process.h"
#include "ui/generic_string_dlg.h"

namespace {
std::function<void()> g_tick;
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) { g_tick(); }

TEST(Prompt, ShowsItsTextsRefusesALongerTextStopsTypingAtEightyAndTakesTheTrimmedText)
{
    CGenericStringDlg dialog;
    dialog.m_nCaptionId = IDS_SET_PROFILE_NAME;
    dialog.m_nPromptId = IDS_RENAME_PROFILE;
    dialog.m_strText = std::string(90, 'n');
    std::string shown, refusal, kept, typed;
    int ticks = 0;
    g_tick = [&] {
        HWND prompt = dialog.GetSafeHwnd();
        if (!prompt || !::IsWindowVisible(prompt) || !typed.empty())
            return;
        HWND edit = ::GetDlgItem(prompt, IDC_PROMPT_EDIT);
        HWND box = FindProcessWindowIf(::GetCurrentProcessId(), [&](HWND w) {
            return w != prompt && WindowClassName(w) == "#32770" && ::IsWindowVisible(w);
        });
        if (++ticks > 600) {   // a step that never happens must not hang the run: 20 s
            ::PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
        } else if (ticks == 1) {
            shown = WindowText(prompt) + '|' + WindowText(::GetDlgItem(prompt, IDC_PROMPT_TEXT)) + '|' + WindowText(edit);
            ::PostMessageA(::GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        } else if (box) {
            refusal = WindowText(::GetDlgItem(box, 0xFFFF));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        } else if (!refusal.empty()) {
            kept = WindowText(edit);
            ::SetWindowTextA(edit, "");
            for (int i = 0; i < 100; ++i)
                ::SendMessageA(edit, WM_CHAR, 'k', 0);
            typed = WindowText(edit);
            ::SetWindowTextA(edit, "  Live set\t ");
            ::PostMessageA(::GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        }
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTick);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(shown, "Set profile name...|Enter a name  for this profile (or empty to delete it)|" + std::string(90, 'n'));
    EXPECT_EQ(refusal, "Please enter no more than 80 characters.");
    EXPECT_EQ(kept, std::string(90, 'n'));
    EXPECT_EQ(typed, std::string(80, 'k'));
    EXPECT_EQ(dialog.m_strText, "Live set");
}
}
