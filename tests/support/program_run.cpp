#include "program_run.h"

#include <algorithm>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "framework/dc.h"

LRESULT SettingsDialog::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;   // stays 0 when the time-out passes
    ::SendMessageTimeoutA(Item(id), message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

bool SettingsDialog::WaitForSelectedField(int id) const
{
    return WaitUntil([&] {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        // With null pointers the selection comes back in the result, which crosses processes.
        auto selection = static_cast<DWORD>(Send(id, EM_GETSEL, 0));
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &gui) && gui.hwndFocus == Item(id) &&
               LOWORD(selection) == 0 && HIWORD(selection) == Text(id).size();
    });
}

SettingsDialog WaitForSettingsDialog(DWORD processId)
{
    return SettingsDialog(WaitForWindow(processId, [](HWND window) {
        return ::IsWindowVisible(window) && ::GetDlgItem(window, IDC_BROADCAST_ADDRESS);
    }));
}

Screenshot CaptureScreenRect(const RECT& rect)
{
    // Pixel by pixel: the rectangles are an icon or an LED, a few hundred pixels.
    Screenshot shot;
    CClientDC screen(nullptr);
    for (LONG y = rect.top; y < rect.bottom; ++y)
        for (LONG x = rect.left; x < rect.right; ++x)
            shot.push_back(::GetPixel(screen.GetSafeHdc(), x, y));
    return shot;
}

LedShown ShownLed(HWND led)
{
    // The strip's cells are filled with pure colours of the 16-colour palette: lime when lit,
    // green when dark, grey when disabled; their outlines and glints are a few pixels only.
    RECT rect = {};
    ::GetWindowRect(led, &rect);
    const Screenshot pixels = CaptureScreenRect(rect);
    const COLORREF fills[] = { RGB(0, 255, 0), RGB(0, 128, 0), RGB(128, 128, 128) };
    auto shows = [&](int fill) { return std::count(pixels.begin(), pixels.end(), fills[fill]) >= 40; };
    int bodies = shows(0) + shows(1) + shows(2);
    return bodies != 1 ? LedShown::Unknown : static_cast<LedShown>(shows(1) + 2 * shows(2));
}

bool ProgramRun::Start(const std::string& iniLines, const std::string& arguments)
{
    SeedIni(folder.Path(), listener.Port(), iniLines);
    return listener.IsOpen() && KvMidiProcess::Start("-a " + folder.Path() + (arguments.empty() ? "" : " ") + arguments);
}

bool ProgramRun::HidePanel()
{
    // The panel shows once start-up is over; a click hides it, and unlike Exit does nothing
    // more should the panel have hidden itself meanwhile.
    HWND controller = ControllerWindow();
    if (!controller || !WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }))
        return false;
    ::PostMessageA(controller, WM_LBUTTONDOWN, 0, 0);
    return WaitUntil([&] { return !::IsWindowVisible(controller); });
}
