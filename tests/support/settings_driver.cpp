#include "settings_driver.h"

#include <cctype>
#include <cstring>
#include <sstream>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/message_box_window.h"
#include "tests/support/screenshot.h"
#include "tests/support/ui_driver.h"

namespace {
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    // A hung program must fail the test, not hang it.
    if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

bool IsDialogClass(HWND window)
{
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

// The visible dialogs of a process other than its controller.
std::vector<HWND> OpenDialogs(DWORD processId)
{
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{ processId, {} };
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* search = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == search->processId && IsDialogClass(window) && ::IsWindowVisible(window) &&
                !::GetDlgItem(window, IDC_REVISION))
                search->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}
}

bool SettingsDialog::WaitUntilClosed(std::chrono::milliseconds deadline) const
{
    return WaitUntil([&] { return !IsOpen(); }, deadline);
}

std::string SettingsDialog::Text(int id) const { return WindowText(Item(id)); }

void SettingsDialog::SetText(int id, const std::string& text) const
{
    SendWithTimeout(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool SettingsDialog::IsChecked(int id) const { return SendWithTimeout(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SettingsDialog::SetChecked(int id, bool checked) const
{
    SendWithTimeout(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::Click(int id) const
{
    ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

bool SettingsDialog::ShiftClick(int id, const std::function<bool()>& clickHandled) const
{
    // The key state is set in the dialog thread's own input, shared for the moment with this
    // thread. A Shift key given with SendInput only reaches it through the desktop's state,
    // which Wine sets back from the X server's keyboard (no key down there) at focus changes,
    // at times between the key and the click.
    DWORD self = ::GetCurrentThreadId();
    DWORD thread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
    if (!::AttachThreadInput(self, thread, TRUE))
        return false;
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] |= 0x80;
    keys[VK_LSHIFT] |= 0x80;
    ::SetKeyboardState(keys);
    bool down = ::GetKeyState(VK_SHIFT) < 0;
    if (down)
        Click(id);
    bool handled = down && WaitUntil(clickHandled, kSettingsDeadline);
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] &= 0x7F;
    keys[VK_LSHIFT] &= 0x7F;
    ::SetKeyboardState(keys);
    ::AttachThreadInput(self, thread, FALSE);
    return handled;
}

int SettingsDialog::FocusedControl() const
{
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &gui) || !gui.hwndFocus ||
        !::IsChild(m_hWnd, gui.hwndFocus))
        return 0;
    return ::GetDlgCtrlID(gui.hwndFocus);
}

std::pair<int, int> SettingsDialog::Selection(int id) const
{
    // With null pointers the positions come back in the result, which crosses processes.
    auto result = static_cast<DWORD>(SendWithTimeout(Item(id), EM_GETSEL, 0, 0));
    return { LOWORD(result), HIWORD(result) };
}

bool SettingsDialog::WaitForSelectedField(int id, std::chrono::milliseconds deadline) const
{
    return WaitUntil([&] {
        auto length = static_cast<int>(Text(id).size());
        return FocusedControl() == id && Selection(id) == std::make_pair(0, length);
    }, deadline);
}

RECT SettingsDialog::ScreenRect(int id) const { return WindowRect(id ? Item(id) : m_hWnd); }

SettingsDialog WaitForSettingsDialog(DWORD processId, std::chrono::milliseconds deadline)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = FindProcessDialog(processId, IDC_BROADCAST_ADDRESS);
        return found && ::IsWindowVisible(found);
    }, deadline);
    return SettingsDialog(found && ::IsWindowVisible(found) ? found : nullptr);
}

bool AnswerMessageBox(HWND box, int answer, std::chrono::milliseconds deadline)
{
    if (!box)
        return false;
    return WaitUntil([&] {
        if (!::IsWindow(box) || !::IsWindowVisible(box))
            return true;
        ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        return false;
    }, deadline);
}

bool AnswerMessageBox(DWORD processId, const std::string& text, int answer, std::chrono::milliseconds deadline)
{
    HWND box = WaitForMessageBox(processId, text, deadline);
    return box && AnswerMessageBox(box, answer, deadline);
}

HWND WaitForTextPrompt(DWORD processId, std::chrono::milliseconds deadline)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = FindProcessDialog(processId, IDC_PROMPT_EDIT);
        return found && ::IsWindowVisible(found);
    }, deadline);
    return found && ::IsWindowVisible(found) ? found : nullptr;
}

bool AnswerTextPrompt(HWND prompt, const std::optional<std::string>& text, std::chrono::milliseconds deadline)
{
    if (!prompt)
        return false;
    if (text)
        SendWithTimeout(::GetDlgItem(prompt, IDC_PROMPT_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text->c_str()));
    ::PostMessageA(prompt, WM_COMMAND, text ? IDOK : IDCANCEL, 0);
    return WaitUntil([&] { return !::IsWindow(prompt) || !::IsWindowVisible(prompt); }, deadline);
}

LedShown ShownLed(HWND led)
{
    // The strip's cells are filled with pure colours of the 16-colour palette: lime when lit,
    // green when dark, grey when disabled; their outlines and glints are a few pixels only.
    Screenshot shot = CaptureScreenRect(WindowRect(led));
    int lit = 0;
    int dark = 0;
    int grey = 0;
    for (std::uint32_t pixel : shot.pixels) {
        lit += pixel == 0x00FF00 ? 1 : 0;
        dark += pixel == 0x008000 ? 1 : 0;
        grey += pixel == 0x808080 ? 1 : 0;
    }
    constexpr int kBody = 40;
    if (lit >= kBody && dark < kBody && grey < kBody)
        return LedShown::Lit;
    if (dark >= kBody && lit < kBody && grey < kBody)
        return LedShown::Dark;
    if (grey >= kBody && lit < kBody && dark < kBody)
        return LedShown::Grey;
    return LedShown::Unknown;
}

const char* LedName(LedShown shown)
{
    switch (shown) {
    case LedShown::Lit: return "lit";
    case LedShown::Dark: return "dark";
    case LedShown::Grey: return "grey";
    default: return "unknown";
    }
}

std::vector<IniEntry> ReadIniEntries(const std::string& path)
{
    std::vector<IniEntry> entries;
    std::istringstream text(ReadWholeFile(path));
    std::string section;
    for (std::string line; std::getline(text, line);) {
        line = Trimmed(line);
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            entries.push_back({ section, "", "" });
            continue;
        }
        size_t equals = line.find('=');
        entries.push_back({ section, line.substr(0, equals),
                            equals == std::string::npos ? std::string() : line.substr(equals + 1) });
    }
    return entries;
}

std::vector<IniEntry> IniSection(const std::string& path, const std::string& section)
{
    std::vector<IniEntry> entries;
    for (const IniEntry& entry : ReadIniEntries(path))
        if (entry.section == section && !entry.key.empty())
            entries.push_back(entry);
    return entries;
}

std::optional<std::string> IniValue(const std::string& path, const std::string& section, const std::string& key)
{
    for (const IniEntry& entry : IniSection(path, section))
        if (entry.key == key)
            return entry.value;
    return std::nullopt;
}

bool HasIniSection(const std::string& path, const std::string& section)
{
    for (const IniEntry& entry : ReadIniEntries(path))
        if (entry.section == section)
            return true;
    return false;
}

std::vector<std::string> ListedComPorts()
{
    std::vector<char> names(0x20000);
    DWORD length = ::QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size()));
    std::vector<std::string> ports;
    for (size_t at = 0; at < length && names[at];) {
        std::string name(names.data() + at);
        at += name.size() + 1;
        if (name.size() > 3 && _strnicmp(name.c_str(), "COM", 3) == 0 &&
            std::isdigit(static_cast<unsigned char>(name[3])))
            ports.push_back(name);
    }
    return ports;
}

HiddenComPorts::HiddenComPorts()
{
    for (const std::string& name : ListedComPorts()) {
        char target[1024] = {};
        if (!::QueryDosDeviceA(name.c_str(), target, sizeof target))
            continue;
        if (::DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH | DDD_EXACT_MATCH_ON_REMOVE, name.c_str(),
                               target))
            m_hidden.emplace_back(name, target);
    }
}

HiddenComPorts::~HiddenComPorts()
{
    for (const auto& [name, target] : m_hidden)
        ::DefineDosDeviceA(DDD_RAW_TARGET_PATH, name.c_str(), target.c_str());
}

bool HiddenComPorts::AllHidden() const { return ListedComPorts().empty(); }

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
    if (!m_program.Start("-a " + m_folder.Path() + (arguments.empty() ? "" : " " + arguments)))
        return false;
    m_hController = m_program.ControllerWindow(kSettingsDeadline);
    if (!m_hController)
        return false;
    // The panel shows once start-up is over; Exit while it shows only hides it.
    if (!WaitUntil([&] { return ::IsWindowVisible(m_hController) != FALSE; }, kSettingsDeadline))
        return false;
    ::PostMessageA(m_hController, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !::IsWindowVisible(m_hController); }, kSettingsDeadline);
}

bool SettingsRun::StartWithoutSeed(const std::string& arguments)
{
    return m_program.Start("-a " + m_folder.Path() + (arguments.empty() ? "" : " " + arguments));
}

SettingsDialog SettingsRun::OpenSettings()
{
    ::PostMessageA(Controller(), WM_COMMAND, kSettingsCommand, 0);
    return WaitForSettingsDialog(m_program.ProcessId());
}

HWND SettingsRun::Controller()
{
    if (!m_hController)
        m_hController = m_program.ControllerWindow(kSettingsDeadline);
    return m_hController;
}

void SettingsRun::PostLineEvent(int line, int level)
{
    ::PostMessageA(Controller(), kComLineEventMessage, static_cast<WPARAM>(line), level);
}

std::string SettingsRun::Receive() { return m_listener.Receive(20000).value_or("<none>"); }

bool SettingsRun::End()
{
    if (!m_program.IsRunning())
        return true;
    // Whatever still shows is declined: a prompt or the settings cancelled, a question
    // answered No, a message acknowledged; then Exit until the program is gone.
    bool ended = WaitUntil([&] {
        if (!m_program.IsRunning())
            return true;
        if (FindPopupMenuWindow(m_program.ProcessId()))
            PressKey(VK_ESCAPE);
        std::vector<HWND> dialogs = OpenDialogs(m_program.ProcessId());
        for (HWND dialog : dialogs) {
            bool isMessageBox = !::GetDlgItem(dialog, IDC_BROADCAST_ADDRESS) && !::GetDlgItem(dialog, IDC_PROMPT_EDIT);
            WPARAM answer = !isMessageBox ? IDCANCEL : ::GetDlgItem(dialog, IDNO) ? IDNO : IDOK;
            ::PostMessageA(dialog, WM_COMMAND, answer, 0);
        }
        HWND controller = m_hController ? m_hController : FindProcessDialog(m_program.ProcessId(), IDC_REVISION);
        if (dialogs.empty() && controller)
            ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
        return m_program.WaitForExit(std::chrono::milliseconds(200)) != -1;
    }, kSettingsDeadline);
    if (!ended)
        m_program.Kill();
    return ended;
}

std::string RemoteLine(const std::string& application, const std::string& destination, const std::string& command)
{
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + command + "\" 1";
}
