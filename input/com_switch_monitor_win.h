// ComSwitchMonitor: the COM switches' serial port, held open with RTS and DTR at fixed levels,
// and the polling thread that posts WM_COM_LINE_EVENT (line index, level) for every change of
// a watched input. At most one exists; StartComSwitchMonitor and StopComSwitchMonitor manage it.
#pragma once

#include <windows.h>

#include <atomic>

#include "config/settings_record.h"
#include "framework/win_handles.h"
#include "input/com_line_edges.h"

// Posted by the polling thread to the window the monitor was made for: wParam the line index
// 0–3, lParam the level, 1 active or 0 inactive.
constexpr UINT WM_COM_LINE_EVENT = WM_USER + 20;

class ComSwitchMonitor {
public:
    // Events are posted to hEventWnd, the controller.
    explicit ComSwitchMonitor(HWND hEventWnd) : m_hEventWnd(hEventWnd) {}
    ~ComSwitchMonitor() { Close(); }
    ComSwitchMonitor(const ComSwitchMonitor&) = delete;
    ComSwitchMonitor& operator=(const ComSwitchMonitor&) = delete;

    // Opens and configures config.Port, drives RTS and DTR, and starts polling when a line is
    // watched. True when the port is open, also when it was already (then nothing changes).
    // A failed open leaves the monitor as new, ready to be tried again.
    bool Open(const ComSwitchConfig& config);

    // Ends the polling thread, waiting for it without limit, then closes the port. Always true.
    bool Close();

    bool IsOpen() const { return m_bOpen; }
    bool IsPolling() const { return m_hThread.IsValid(); }

private:
    friend DWORD WINAPI ComSwitchPollThread(LPVOID parameter);

    bool OpenPort(const std::string& portName);
    bool ConfigurePort();
    void StartPolling();

    // The polling thread reads the stop flag; the monitored flags and the port are written
    // before it starts, and the port is closed only after it has ended.
    std::atomic<bool> m_bStop{ false };
    ComLineFlags m_bMonitored{};
    UniqueFileHandle m_hPort;
    bool m_bOpen = false;
    UniqueKernelHandle m_hThread;
    HWND m_hEventWnd;
};

// The polling thread: reads the modem status every 10 ms until the monitor's stop flag is set.
// Its exit code is 1.
DWORD WINAPI ComSwitchPollThread(LPVOID parameter);
