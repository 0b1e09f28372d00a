#include "program_run.h"

#include <algorithm>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/screenshot.h"

LRESULT SettingsDialog::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(Item(id), message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return 0;
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

LedShown ShownLed(HWND led)
{
    // The strip's cells are filled with pure colours of the 16-colour palette: lime when lit,
    // green when dark, grey when disabled; their outlines and glints are a few pixels only.
    RECT rect = {};
    ::GetWindowRect(led, &rect);
    const Screenshot pixels = CaptureScreenRect(rect);
    const COLORREF fills[] = { RGB(0, 255, 0), RGB(0, 128, 0), RGB(128, 128, 128) };
    LedShown shown = LedShown::Unknown;
    int bodies = 0;
    for (int fill = 0; fill < 3; ++fill) {
        if (std::count(pixels.begin(), pixels.end(), fills[fill]) >= 40) {
            shown = static_cast<LedShown>(fill);
            ++bodies;
        }
    }
    return bodies == 1 ? shown : LedShown::Unknown;
}

std::optional<std::string> IniValue(const std::string& path, const char* section, const char* key)
{
    char value[1024] = {};
    ::GetPrivateProfileStringA(section, key, "\x01", value, sizeof value, path.c_str());
    return std::string(value) == "\x01" ? std::nullopt : std::optional<std::string>(value);
}

std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command)
{
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + command + "\" 1";
}

bool ProgramRun::Start(const std::string& iniLines, const std::string& arguments)
{
    SeedIni(m_folder.Path(), m_listener.Port(), iniLines);
    return m_listener.IsOpen() && m_program.Start("-a " + m_folder.Path() + (arguments.empty() ? "" : " ") + arguments);
}

bool ProgramRun::HidePanel()
{
    // The panel shows once start-up is over; a click hides it, and unlike Exit does nothing
    // more should the panel have hidden itself meanwhile.
    HWND controller = Controller();
    if (!controller || !WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }))
        return false;
    ::PostMessageA(controller, WM_LBUTTONDOWN, 0, 0);
    return WaitUntil([&] { return !::IsWindowVisible(controller); });
}

SettingsDialog ProgramRun::OpenSettings()
{
    ::PostMessageA(Controller(), WM_COMMAND, ID_SETTINGS, 0);
    return WaitForSettingsDialog(Pid());
}
