#include "message_box_window.h"

namespace {
// The box's text is one of its static children; its caption alone would match the
// controller, whose caption is the application's name too.
bool IsMessageBoxWithText(HWND window, const std::string& text)
{
    if (WindowClassName(window) != "#32770" || !::IsWindowVisible(window))
        return false;
    for (HWND child = ::FindWindowExA(window, nullptr, "Static", nullptr); child;
         child = ::FindWindowExA(window, child, "Static", nullptr)) {
        if (WindowText(child) == text)
            return true;
    }
    return false;
}
}

HWND WaitForMessageBox(DWORD processId, const std::string& text, std::chrono::milliseconds deadline)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = FindProcessWindowIf(processId, [&](HWND window) { return IsMessageBoxWithText(window, text); });
        return found != nullptr;
    }, deadline);
    return found;
}

bool AnswerDialog(HWND dialog, int answer, std::chrono::milliseconds deadline)
{
    return dialog && WaitUntil([&] {
        if (!::IsWindow(dialog) || !::IsWindowVisible(dialog))
            return true;
        ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        return false;
    }, deadline);
}
