#include "message_box_window.h"

#include <cstring>

#include "tests/support/kvmidi_process.h"

namespace {
// The box's text is one of its static children; its caption alone would match the
// controller, whose caption is the application's name too.
bool IsMessageBoxWithText(HWND window, const std::string& text)
{
    if (WindowClassName(window) != "#32770" || !::IsWindowVisible(window))
        return false;
    for (HWND child = ::FindWindowExA(window, nullptr, "Static", nullptr); child;
         child = ::FindWindowExA(window, child, "Static", nullptr)) {
        if (WindowCaption(child) == text)
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

bool DismissMessageBox(HWND box, std::chrono::milliseconds deadline)
{
    return WaitUntil([&] {
        if (!::IsWindow(box))
            return true;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return false;
    }, deadline);
}
