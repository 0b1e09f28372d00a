#include "wnd.h"

#include <vector>

namespace {
// The window property that leads from a window to its C++ object.
const char kObjectProperty[] = "kvMidi.CWnd";
}

CWnd::~CWnd() { ReleaseWindow(false); }

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
}

void CWnd::Detach()
{
    ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

std::string CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CWnd::GetDlgItemText(int id) const
{
    HWND item = GetDlgItem(id);
    if (!item)
        return std::string();
    int length = ::GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = { { 0, 0, 0, 0, HandlerKind::End, { nullptr }, nullptr } };
    static const MessageMap map = { nullptr, entries };
    return &map;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Handlers may send messages to their own window; Default() must still see this one.
    struct Restore {
        CurrentMessage& slot;
        CurrentMessage saved;
        ~Restore() { slot = saved; }
    } restore{ m_currentMessage, m_currentMessage };
    m_currentMessage = { message, wParam, lParam };
    for (const MessageMap* map = GetMessageMap(); map; map = map->getBase ? map->getBase() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->kind != HandlerKind::End; ++entry) {
            if (entry->registeredMessage ? *entry->registeredMessage == 0 || *entry->registeredMessage != message
                                         : entry->message != message)
                continue;
            if (message == WM_COMMAND) {
                UINT id = LOWORD(wParam);
                UINT code = HIWORD(wParam);
                // Menus send code 0 and accelerators code 1; both are plain commands.
                bool codeMatches = entry->code == code || (entry->code == 0 && code == 1);
                if (id < entry->idFirst || id > entry->idLast || !codeMatches)
                    continue;
            }
            return Dispatch(*entry, wParam, lParam, result);
        }
    }
    return ReflectToChild(message, wParam, lParam, result);
}

bool CWnd::Dispatch(const MessageMapEntry& entry, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (entry.kind) {
    case HandlerKind::Command:
    case HandlerKind::Void:
        (this->*entry.handler.command)();
        return true;
    case HandlerKind::CommandRange:
        (this->*entry.handler.commandRange)(LOWORD(wParam));
        return true;
    case HandlerKind::Message:
        result = (this->*entry.handler.message)(wParam, lParam);
        return true;
    case HandlerKind::Timer:
        (this->*entry.handler.timer)(static_cast<UINT_PTR>(wParam));
        return true;
    case HandlerKind::QueryDragIcon:
        result = reinterpret_cast<LRESULT>((this->*entry.handler.queryDragIcon)());
        return true;
    case HandlerKind::MouseButton: {
        POINT point = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
        (this->*entry.handler.mouseButton)(static_cast<UINT>(wParam), point);
        return true;
    }
    case HandlerKind::Help:
        result = (this->*entry.handler.help)(reinterpret_cast<HELPINFO*>(lParam));
        return true;
    case HandlerKind::SettingChange:
        (this->*entry.handler.settingChange)(static_cast<UINT>(wParam), reinterpret_cast<const char*>(lParam));
        return true;
    case HandlerKind::CtlColor:
        result = reinterpret_cast<LRESULT>(
            (this->*entry.handler.ctlColor)(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam)));
        return true;
    case HandlerKind::End:
        break;
    }
    return false;
}

LRESULT CWnd::Default()
{
    if (m_bInDialogProc) {
        m_bDefaultRequested = true;
        return 0;
    }
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
}
