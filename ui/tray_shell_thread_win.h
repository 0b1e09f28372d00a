// The tray's own thread for Shell_NotifyIcon. The shell answers these calls from its own
// process and may hang for seconds (a busy or restarting Explorer); on the window thread that
// would stall the settings dialog, the balloons and the way out. The window thread queues,
// this thread calls.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "ui/tray_call_queue.h"

// Posted to the tray window after every add: wParam 1 when the icon is in the notification
// area now, 0 when the shell refused it.
constexpr UINT WM_TRAY_ADD_ANSWERED = WM_APP + 10;

class TrayShellThread {
public:
    TrayShellThread();
    ~TrayShellThread();
    TrayShellThread(const TrayShellThread&) = delete;
    TrayShellThread& operator=(const TrayShellThread&) = delete;

    // The record every call sends (window, icon id, callback message, tooltip); the calls
    // change only its flags and icon. Starts the thread on first use.
    void SetRecord(const NOTIFYICONDATAA& record);
    // Queues the call; never waits on the shell. False when the thread could not be started.
    bool Post(const TrayCall& call);
    // Makes the calls queued so far and ends the thread, waiting at most this long: a thread
    // still inside a hung shell after that is left to finish on its own.
    void Stop(DWORD timeoutMilliseconds);

private:
    struct Shared;
    static DWORD WINAPI Run(LPVOID parameter);

    // Shared with the thread, which holds its own reference: an abandoned thread keeps it alive.
    std::shared_ptr<Shared> m_shared;
    HANDLE m_hThread = nullptr;
};
