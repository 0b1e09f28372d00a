#include "tray_profile_menu.h"

#include <cstdint>
#include <cstdlib>

#include "tests/support/kvmidi_process.h"
#include "tests/support/screenshot.h"
#include "tests/support/ui_driver.h"

namespace {
constexpr UINT kTrayNotify = WM_USER + 10;
constexpr WPARAM kTrayIconId = 134;
constexpr std::chrono::milliseconds kDeadline{ 20000 };

// A visible popup menu of the process other than the one given, or null.
HWND FindOtherPopupMenu(DWORD processId, HWND except)
{
    return FindProcessWindowIf(processId, [&](HWND window) {
        return window != except && WindowClassName(window) == "#32768" && ::IsWindowVisible(window);
    });
}

int ColourDistance(std::uint32_t a, std::uint32_t b)
{
    int distance = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        distance += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return distance;
}
}

std::vector<bool> ShownProfileChecks(DWORD processId)
{
    ::PostMessageA(FindTrayWindow(processId), kTrayNotify, kTrayIconId, WM_RBUTTONUP);
    HWND popup = nullptr;
    if (!WaitUntil([&] { return (popup = FindPopupMenuWindow(processId)) != nullptr; }, kDeadline))
        return {};
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RIGHT);
    HWND submenu = nullptr;
    WaitUntil([&] { return (submenu = FindOtherPopupMenu(processId, popup)) != nullptr; }, kDeadline);
    std::vector<bool> checks;
    if (submenu) {
        RECT rect = WindowRect(submenu);
        Screenshot previous;
        Screenshot shot;
        WaitUntil([&] {
            shot = CaptureScreenRect(rect);
            bool settled = !shot.Empty() && shot.pixels == previous.pixels;
            previous = shot;
            return settled;
        }, kDeadline);
        // Eight rows of one height between equal margins. A mark sits in the left margin of
        // its row, which is otherwise of the row's own colour: black on the menu's face, or
        // white on the blue of the highlighted first row. The texts begin right of it.
        int rowHeight = (shot.height - 6) / 8;
        int top = (shot.height - 8 * rowHeight) / 2;
        for (int row = 0; row < 8 && rowHeight > 4; ++row) {
            int rowTop = top + row * rowHeight;
            std::uint32_t face = shot.At(3, rowTop + 1);
            int marked = 0;
            for (int y = rowTop + 1; y < rowTop + rowHeight - 1; ++y)
                for (int x = 3; x < 16 && x < shot.width; ++x)
                    marked += ColourDistance(shot.At(x, y), face) > 150 ? 1 : 0;
            checks.push_back(marked >= 8);
        }
    }
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return FindPopupMenuWindow(processId) == nullptr; }, kDeadline);
    return checks;
}
