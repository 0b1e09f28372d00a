#include "com_port_error_window.h"

#include <vector>

#include "tests/support/kvmidi_process.h"

HWND WaitForComPortErrorDialog(DWORD processId, std::chrono::milliseconds deadline, HWND previous)
{
    HWND found = nullptr;
    WaitUntil([&] {
        if (previous && ::IsWindow(previous))
            return false;
        found = FindProcessWindow(processId, "#32770", kComPortErrorCaption);
        return found && ::IsWindowVisible(found);
    }, deadline);
    return found && ::IsWindowVisible(found) ? found : nullptr;
}

void PressKeyInDialog(HWND dialog, UINT virtualKey)
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    HWND target = dialog;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &gui) && gui.hwndFocus &&
        ::IsChild(dialog, gui.hwndFocus))
        target = gui.hwndFocus;
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void ClickDialogButton(HWND dialog, int id) { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string DialogItemText(HWND dialog, int id)
{
    HWND item = ::GetDlgItem(dialog, id);
    if (!item)
        return "<no control " + std::to_string(id) + ">";
    std::vector<char> text(static_cast<size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    int length = ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
