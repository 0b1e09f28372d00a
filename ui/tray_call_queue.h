// The shell calls of the tray icon, waiting for the tray's own thread to make them. The window
// thread only queues: a shell that stops answering then delays the icon, never a command.
#pragma once

#include <string>
#include <vector>

#include "ui/tray_icon_state.h"

struct TrayCall {
    TrayShell::Action action;
    unsigned flags;
    TrayIcon icon;
    // With kTrayInfoFlag: the balloon's title and text, and whether it warns.
    std::string balloonTitle = {};
    std::string balloonText = {};
    bool warning = false;
};

class TrayCallQueue {
public:
    // Appends a call. A change that follows a waiting change or add only renews that call's
    // icon and flags: of a run of animation frames only the latest is worth showing, and the
    // queue stays short however long the shell is away. A balloon is never merged away.
    void Push(const TrayCall& call);
    std::vector<TrayCall> TakeAll();
    bool Empty() const { return m_calls.empty(); }

private:
    std::vector<TrayCall> m_calls;
};
