// ComSwitchMonitor: the COM switches' serial port, held open with RTS and DTR at fixed levels,
// and the polling thread that hands every change of a watched input (line index, level) to the
// ComLineHandOver it was given (the program's sending thread) or, without one, posts
// WM_COM_LINE_EVENT, and posts WM_COM_PORT_STATE when the port goes away or comes back. At
// most one exists; ComSwitches manages it.
#pragma once

#include <windows.h>

#include <atomic>

#include "config/settings_record.h"
#include "framework/win_handles.h"
#include "input/com_line_edges.h"
#include "input/com_switch_polling.h"

// Posted by a polling thread without a hand-over to the window the monitor was made for: wParam
// the line index 0–3, lParam the level, 1 active or 0 inactive.
constexpr UINT WM_COM_LINE_EVENT = WM_USER + 20;
// Posted by the polling thread when status reads fail (wParam 0: the port was lost and is
// tried again every 2 s) and at the first good read after that (wParam 1: back). The
// controller tells the user without a dialog; the port is the one of its COM settings.
constexpr UINT WM_COM_PORT_STATE = WM_USER + 21;

// Takes a line change from the polling thread: the program's sending thread, so that no busy
// window thread stands between a switch and its command. False when not taken (handed again).
class ComLineHandOver {
public:
    virtual bool HandOverComLine(const ComLineEvent& event) = 0;

protected:
    ~ComLineHandOver() = default;
};

class ComSwitchMonitor : private ComSwitchPollPort {
public:
    // Line changes go to handOver when given, else are posted to hEventWnd, the controller,
    // which gets the port's state in any case.
    explicit ComSwitchMonitor(HWND hEventWnd, ComLineHandOver* handOver = nullptr)
        : m_hEventWnd(hEventWnd), m_pHandOver(handOver)
    {
    }
    ~ComSwitchMonitor() override { Close(); }
    ComSwitchMonitor(const ComSwitchMonitor&) = delete;
    ComSwitchMonitor& operator=(const ComSwitchMonitor&) = delete;

    // Opens and configures config.Port, drives RTS and DTR, and starts polling when a line is
    // watched. True when the port is open, also when it was already (then nothing changes).
    // A failed open leaves the monitor as new, ready to be tried again. Three attempts 100 ms
    // apart, or as many as asked for (a single one does not wait).
    bool Open(const ComSwitchConfig& config, int attempts = 3);

    // Ends the polling thread, waiting for it without limit, then closes the port. Always true.
    bool Close();

    bool IsOpen() const { return m_bOpen; }
    bool IsPolling() const { return m_hThread.IsValid(); }

private:
    friend DWORD WINAPI ComSwitchPollThread(LPVOID parameter);

    // Opens, configures and drives RTS and DTR.
    bool OpenConfiguredPort(int attempts);
    bool ConfigurePort();
    void StartPolling();

    // ComSwitchPollPort, on the polling thread
    bool ReadModemStatus(std::uint32_t& status) override;
    void ClearErrors() override;
    bool PostLineEvent(const ComLineEvent& event) override;
    bool PostPortState(bool present) override;
    void ClosePort() override { m_hPort.Reset(); }
    bool ReopenPort() override;
    void WaitPollInterval() override { ::Sleep(kComPollMilliseconds); }
    std::uint64_t NowMilliseconds() override { return ::GetTickCount64(); }

    // The polling thread reads the stop flag; the configuration, the monitored flags and the
    // event mask are written before it starts. While it runs, the port is the thread's (it
    // closes and reopens it), and the window thread touches it again only after it has ended.
    std::atomic<bool> m_bStop{ false };
    ComLineFlags m_bMonitored{};
    ComSwitchConfig m_config;
    DWORD m_eventMask = 0;
    UniqueFileHandle m_hPort;
    bool m_bOpen = false;
    UniqueKernelHandle m_hThread;
    HWND m_hEventWnd;
    ComLineHandOver* m_pHandOver;
};

// The polling thread: reads the modem status every 10 ms until the monitor's stop flag is set,
// reopening a port that went away. Its exit code is 1.
DWORD WINAPI ComSwitchPollThread(LPVOID parameter);
