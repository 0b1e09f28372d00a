#include "message_box_window.h"

#include <cstring>

#include "tests/support/kvmidi_process.h"

namespace {
struct BoxSearch {
    DWORD processId;
    const std::string* text;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || std::strcmp(className, "#32770") != 0 || !::IsWindowVisible(window))
        return TRUE;
    // The box's text is one of its static children; its caption alone would match the
    // controller, whose caption is the application's name too.
    for (HWND child = ::FindWindowExA(window, nullptr, "Static", nullptr); child;
         child = ::FindWindowExA(window, child, "Static", nullptr)) {
        char text[512] = {};
        ::GetWindowTextA(child, text, sizeof text);
        if (*search->text == text) {
            search->found = window;
            return FALSE;
        }
    }
    return TRUE;
}
}

HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline)
{
    BoxSearch search = { processId, &text, nullptr };
    WaitUntil([&] {
        ::EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, deadline);
    return search.found;
}

std::string WindowCaption(HWND window)
{
    char caption[256] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

bool DismissMessageBox(HWND box, std::chrono::milliseconds deadline)
{
    return WaitUntil([&] {
        if (!::IsWindow(box))
            return true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return false;
    }, deadline);
}
