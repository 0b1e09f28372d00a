#include "ui_driver.h"

#include <cstring>
#include <vector>


bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {
struct MenuSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMenu(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<MenuSearch*>(parameter);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (std::strcmp(className, "#32768") == 0 && ::IsWindowVisible(window) &&
        (search->processId == 0 || owner == search->processId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void SendMouse(DWORD flags, POINT point)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the screen.
    input.mi.dx = static_cast<LONG>((point.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((point.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
    // Every event carries the position: a button event without one goes where the pointer
    // is said to be, and Wine's X11 driver may still be moving it from an earlier warp.
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}
}

HWND FindPopupMenuWindow(DWORD processId)
{
    MenuSearch search = { processId, nullptr };
    ::EnumWindows(&MatchMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

POINT Centre(const RECT& rect) { return { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 }; }

void ClickAt(POINT screenPoint, bool rightButton)
{
    SendMouse(0, screenPoint);
    SendMouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, screenPoint);
    SendMouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, screenPoint);
}

void PressKey(WORD virtualKey)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof inputs[0]);
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR copied = 0;
    // WM_GETTEXT crosses processes with its buffer; the time-out keeps a hung window from
    // hanging the test.
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 5000, &copied))
        return std::string();
    return std::string(text, copied < sizeof text ? static_cast<size_t>(copied) : sizeof text - 1);
}
