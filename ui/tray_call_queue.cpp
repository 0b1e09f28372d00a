#include "tray_call_queue.h"

#include <utility>

void TrayCallQueue::Push(const TrayCall& call)
{
    if (call.action == TrayShell::Action::Modify && !(call.flags & kTrayInfoFlag) && !m_calls.empty()) {
        TrayCall& last = m_calls.back();
        if (last.action == TrayShell::Action::Modify || last.action == TrayShell::Action::Add) {
            last.icon = call.icon;
            last.flags |= call.flags;
            return;
        }
    }
    m_calls.push_back(call);
}

std::vector<TrayCall> TrayCallQueue::TakeAll() { return std::exchange(m_calls, {}); }
