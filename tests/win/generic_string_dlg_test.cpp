// The text prompt on its own template, played by a timer as a user would: its texts from the
// string table, typing stopped at 80 characters, and OK taking the text without the blanks
// around it. Cancel ends it as it ends any dialog of the framework (the end-to-end settings
// test).
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

TEST(Prompt, ShowsItsTextsStopsTypingAtEightyAndTakesTheTrimmedText)
{
    CGenericStringDlg dialog;
    dialog.m_nCaptionId = IDS_SET_PROFILE_NAME;
    dialog.m_nPromptId = IDS_RENAME_PROFILE;
    dialog.m_strText = "Live";
    std::string shown, typed;
    int ticks = 0;
    g_tick = [&] {
        HWND prompt = dialog.GetSafeHwnd();
        if (++ticks > 600)   // a prompt that never shows must not hang the run: 20 s
            ::PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
        if (!prompt || !::IsWindowVisible(prompt) || !shown.empty())
            return;
        HWND edit = ::GetDlgItem(prompt, IDC_PROMPT_EDIT);
        shown = WindowText(prompt) + '|' + WindowText(::GetDlgItem(prompt, IDC_PROMPT_TEXT)) + '|' + WindowText(edit);
        ::SetWindowTextA(edit, "");
        for (int i = 0; i < 100; ++i)
            ::SendMessageA(edit, WM_CHAR, 'k', 0);
        typed = WindowText(edit);
        ::SetWindowTextA(edit, "  Live set\t ");
        ::PostMessageA(::GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTick);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(shown, "Set profile name...|Enter a name  for this profile (or empty to delete it)|Live");
    EXPECT_EQ(typed, std::string(80, 'k'));
    EXPECT_EQ(dialog.m_strText, "Live set");
}
}
