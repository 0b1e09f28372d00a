#include "settings_driver.h"

#include <algorithm>
#include <vector>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
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
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessDialog(processId, IDC_BROADCAST_ADDRESS)) != nullptr; });
    return SettingsDialog(found);
}

bool AnswerMessageBox(DWORD processId, const std::string& text, int answer)
{
    return AnswerDialog(WaitForMessageBox(processId, text, kSettingsDeadline), answer);
}

LedShown ShownLed(HWND led)
{
    // The strip's cells are filled with pure colours of the 16-colour palette: lime when lit,
    // green when dark, grey when disabled; their outlines and glints are a few pixels only.
    RECT rect = {};
    ::GetWindowRect(led, &rect);
    const std::vector<std::uint32_t> pixels = CaptureScreenRect(rect).pixels;
    const std::uint32_t fills[] = { 0x00FF00, 0x008000, 0x808080 };
    std::vector<int> bodies;
    for (int shown = 0; shown < 3; ++shown)
        if (std::count(pixels.begin(), pixels.end(), fills[shown]) >= 40)
            bodies.push_back(shown);
    return bodies.size() == 1 ? static_cast<LedShown>(bodies[0]) : LedShown::Unknown;
}

std::optional<std::string> IniValue(const std::string& path, const char* section, const char* key)
{
    char value[1024] = {};
    ::GetPrivateProfileStringA(section, key, "\x01", value, sizeof value, path.c_str());
    return std::string(value) == "\x01" ? std::nullopt : std::optional<std::string>(value);
}

SettingsRun::~SettingsRun()
{
    if (m_program.IsRunning())
        End();
}

bool SettingsRun::Start(const std::string& iniLines, const std::string& arguments)
{
    if (!m_listener.IsOpen())
        return false;
    SeedIni(m_folder.Path(), m_listener.Port(), iniLines);
    if (!m_program.Start("-a " + m_folder.Path() + (arguments.empty() ? "" : " " + arguments)) || !Controller())
        return false;
    // The panel shows once start-up is over; Exit while it shows only hides it.
    if (!WaitUntil([&] { return ::IsWindowVisible(m_hController) != FALSE; }))
        return false;
    ::PostMessageA(m_hController, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !::IsWindowVisible(m_hController); });
}

bool SettingsRun::StartWithoutSeed() { return m_program.Start("-a " + m_folder.Path()); }

SettingsDialog SettingsRun::OpenSettings()
{
    ::PostMessageA(Controller(), WM_COMMAND, ID_SETTINGS, 0);
    return WaitForSettingsDialog(m_program.ProcessId());
}

HWND SettingsRun::Controller()
{
    if (!m_hController)
        m_hController = m_program.ControllerWindow(kSettingsDeadline);
    return m_hController;
}

bool SettingsRun::End()
{
    // Whatever still shows is declined: the settings cancelled, a question answered No, a
    // message acknowledged, a menu closed; then Exit until the program is gone.
    bool ended = WaitUntil([&] {
        if (!m_program.IsRunning())
            return true;
        DWORD pid = m_program.ProcessId();
        HWND open = FindProcessWindowIf(pid, [](HWND window) {
            return ::IsWindowVisible(window) && !::GetDlgItem(window, IDC_REVISION) &&
                   (WindowClassName(window) == "#32770" || WindowClassName(window) == "#32768");
        });
        if (open && WindowClassName(open) == "#32768")
            PressKey(VK_ESCAPE);
        else if (open)
            ::PostMessageA(open, WM_COMMAND, ::GetDlgItem(open, IDNO) ? IDNO : IDCANCEL, 0);
        else if (HWND controller = FindController(pid))
            ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
        return m_program.WaitForExit(std::chrono::milliseconds(200)) != -1;
    });
    if (!ended)
        m_program.Kill();
    return ended;
}

std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command)
{
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + command + "\" 1";
}
