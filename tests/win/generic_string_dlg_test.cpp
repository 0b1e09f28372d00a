// The text prompt on its own template, played by a timer as a user would: typing, OK, Cancel,
// Escape, the close box, and the message of the length check.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/program_resources.h"
#include "tests/support/screenshot.h"
#include "tests/support/ui_driver.h"
#include "ui/generic_string_dlg.h"

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {
// The user's part: each step is tried on every tick until it reports that it has acted.
struct Script {
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    steady_clock::time_point started = steady_clock::now();
    bool timedOut = false;
    HWND dialog = nullptr;
};
Script* g_script = nullptr;

void CALLBACK PlayScript(HWND, UINT, UINT_PTR, DWORD)
{
    Script* script = g_script;
    if (!script)
        return;
    if (steady_clock::now() - script->started > 20s) {
        // A step that never happens must not hang the test run.
        script->timedOut = true;
        if (script->dialog)
            ::PostMessageA(script->dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (script->next < script->steps.size() && script->steps[script->next]())
        ++script->next;
}

INT_PTR RunPrompt(CGenericStringDlg& prompt, Script& script)
{
    g_script = &script;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &PlayScript);
    INT_PTR result = prompt.DoModal();
    ::KillTimer(nullptr, timer);
    g_script = nullptr;
    return result;
}

HWND Item(Script& script, int id) { return ::GetDlgItem(script.dialog, id); }

// The first step: the prompt is up and ready.
std::function<bool()> PromptShows(Script& script, CGenericStringDlg& prompt)
{
    return [&script, &prompt] {
        script.dialog = prompt.GetSafeHwnd();
        return script.dialog && ::IsWindowVisible(script.dialog);
    };
}

std::function<bool()> Type(Script& script, const std::string& text)
{
    return [&script, text] {
        for (char c : text)
            ::SendMessageA(Item(script, IDC_PROMPT_EDIT), WM_CHAR, static_cast<unsigned char>(c), 0);
        return true;
    };
}

std::function<bool()> Replace(Script& script, const std::string& text)
{
    return [&script, text] {
        ::SetWindowTextA(Item(script, IDC_PROMPT_EDIT), text.c_str());
        return true;
    };
}

std::function<bool()> Click(Script& script, int button)
{
    return [&script, button] {
        ::PostMessageA(Item(script, button), BM_CLICK, 0, 0);
        return true;
    };
}

// A message box of this thread other than the prompt, with that text.
HWND FindOwnMessageBox(HWND prompt, const char* text)
{
    struct Search {
        HWND prompt;
        const char* text;
        HWND found;
    } search = { prompt, text, nullptr };
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            char className[16] = {};
            ::GetClassNameA(window, className, sizeof className);
            if (window == s->prompt || std::strcmp(className, "#32770") != 0 || !::IsWindowVisible(window))
                return TRUE;
            for (HWND child = ::FindWindowExA(window, nullptr, "Static", nullptr); child;
                 child = ::FindWindowExA(window, child, "Static", nullptr)) {
                char found[256] = {};
                ::GetWindowTextA(child, found, sizeof found);
                if (std::strcmp(found, s->text) == 0) {
                    s->found = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Prompt : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(resources.IsLoaded()) << "kvMidi.exe must sit beside the tests"; }

    ProgramResources resources;
    CGenericStringDlg prompt;
    Script script;
};

TEST_F(Prompt, CaptionAndPromptComeFromTheStringTable)
{
    struct Case { UINT caption; UINT text; const char* captionText; const char* promptText; };
    const Case cases[] = {
        { IDS_SET_PROFILE_NAME, IDS_ENTER_PROFILE_NAME, "Set profile name...", "Enter a name for this profile:" },
        { IDS_SET_PROFILE_NAME, IDS_RENAME_PROFILE, "Set profile name...",
          "Enter a name  for this profile (or empty to delete it)" },
        { 4000, 4001, "", "" },   // ids the string table does not have
    };
    for (const Case& c : cases) {
        CGenericStringDlg dialog;
        dialog.m_nCaptionId = c.caption;
        dialog.m_nPromptId = c.text;
        Script play;
        std::string caption = "?";
        std::string text = "?";
        bool focusOnEdit = false;
        play.steps = { PromptShows(play, dialog), [&] {
                          caption = WindowText(play.dialog);
                          text = WindowText(Item(play, IDC_PROMPT_TEXT));
                          focusOnEdit = ::GetFocus() == Item(play, IDC_PROMPT_EDIT);
                          return true;
                      },
                       Click(play, IDCANCEL) };
        EXPECT_EQ(RunPrompt(dialog, play), IDCANCEL);
        EXPECT_FALSE(play.timedOut);
        EXPECT_EQ(caption, c.captionText);
        EXPECT_EQ(text, c.promptText);
        EXPECT_TRUE(focusOnEdit) << "the edit is the first tab stop";
    }
}

TEST_F(Prompt, OkReturnsTheTextWithoutTheBlanksAround)
{
    struct Case { const char* typed; const char* result; };
    const Case cases[] = { { "  Live set  ", "Live set" }, { "   ", "" }, { "Desk", "Desk" }, { "\tA\t", "A" } };
    for (const Case& c : cases) {
        CGenericStringDlg dialog;
        Script play;
        play.steps = { PromptShows(play, dialog), Replace(play, c.typed), Click(play, IDOK) };
        EXPECT_EQ(RunPrompt(dialog, play), IDOK) << '"' << c.typed << '"';
        EXPECT_EQ(dialog.m_strText, c.result) << '"' << c.typed << '"';
    }
}

TEST_F(Prompt, EveryWayOfCancellingKeepsTheInitialText)
{
    struct Case { const char* way; std::function<void(HWND)> cancel; };
    const Case cases[] = {
        { "Cancel", [](HWND dialog) { ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); } },
        { "Escape", [](HWND dialog) { ::PostMessageA(::GetDlgItem(dialog, IDC_PROMPT_EDIT), WM_KEYDOWN, VK_ESCAPE, 0); } },
        { "close box", [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); } },
    };
    for (const Case& c : cases) {
        CGenericStringDlg dialog;
        dialog.m_strText = "Live";
        Script play;
        std::string shown;
        play.steps = { PromptShows(play, dialog), [&] {
                          shown = WindowText(Item(play, IDC_PROMPT_EDIT));
                          return true;
                      },
                       Replace(play, "Other"), [&] {
                          c.cancel(play.dialog);
                          return true;
                      } };
        EXPECT_EQ(RunPrompt(dialog, play), IDCANCEL) << c.way;
        EXPECT_FALSE(play.timedOut) << c.way;
        EXPECT_EQ(shown, "Live") << c.way;
        EXPECT_EQ(dialog.m_strText, "Live") << c.way;
    }
}

TEST_F(Prompt, TypingStopsAtEightyCharacters)
{
    size_t length = 0;
    script.steps = { PromptShows(script, prompt), Type(script, std::string(100, 'k')), [&] {
                        length = WindowText(Item(script, IDC_PROMPT_EDIT)).size();
                        return true;
                    },
                     Click(script, IDOK) };
    EXPECT_EQ(RunPrompt(prompt, script), IDOK);
    EXPECT_EQ(length, 80u);
    EXPECT_EQ(prompt.m_strText, std::string(80, 'k'));
}

TEST_F(Prompt, ALongerInitialTextShowsWholeButCannotBeAccepted)
{
    const std::string initial(90, 'n');
    prompt.m_strText = initial;
    size_t shownLength = 0;
    bool messageShown = false;
    bool stillOpen = false;
    script.steps = {
        PromptShows(script, prompt),
        [&] {
            shownLength = WindowText(Item(script, IDC_PROMPT_EDIT)).size();
            return true;
        },
        Click(script, IDOK),
        [&] {
            HWND box = FindOwnMessageBox(script.dialog, "Please enter no more than 80 characters.");
            if (!box)
                return false;
            messageShown = true;
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&] {
            if (FindOwnMessageBox(script.dialog, "Please enter no more than 80 characters."))
                return false;
            stillOpen = ::IsWindowVisible(script.dialog) != FALSE;
            return true;
        },
        Click(script, IDCANCEL),
    };
    EXPECT_EQ(RunPrompt(prompt, script), IDCANCEL);
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(shownLength, 90u);
    EXPECT_TRUE(messageShown);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompt.m_strText, initial);
}

TEST_F(Prompt, APictureOfThePromptIsKept)
{
    prompt.m_nCaptionId = IDS_SET_PROFILE_NAME;
    prompt.m_nPromptId = IDS_ENTER_PROFILE_NAME;
    prompt.m_strText = "Live set";
    Screenshot shot;
    RECT where = {};
    script.steps = { PromptShows(script, prompt),
                     [&] {
                         // Once painted, the prompt's text shows in dark pixels on the light dialog.
                         where = WindowRect(script.dialog);
                         shot = CaptureScreen();
                         RECT text = WindowRect(Item(script, IDC_PROMPT_TEXT));
                         int dark = 0;
                         for (int y = text.top; y < text.bottom; ++y)
                             for (int x = text.left; x < text.right; ++x)
                                 dark += (shot.At(x, y) & 0xE0E0E0) == 0 ? 1 : 0;
                         return dark > 20;
                     },
                     Click(script, IDCANCEL) };
    EXPECT_EQ(RunPrompt(prompt, script), IDCANCEL);
    EXPECT_FALSE(script.timedOut) << "the prompt was never seen painted";
    EXPECT_TRUE(WritePng(shot, ArtefactsDirectory() + "string_prompt.png"));
    EXPECT_GT(where.right - where.left, 100);
}
}
