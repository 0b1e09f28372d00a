#include "com_switch_monitor_win.h"

#include <string>

#include "config/com_lines.h"

namespace {
// The line table is platform-free; here its numbers meet the platform's.
static_assert(kComLines[0].statusBit == MS_CTS_ON && kComLines[1].statusBit == MS_RLSD_ON &&
              kComLines[2].statusBit == MS_DSR_ON && kComLines[3].statusBit == MS_RING_ON);
static_assert(kComLines[0].eventMask == EV_CTS && kComLines[1].eventMask == EV_RLSD &&
              kComLines[2].eventMask == EV_DSR && kComLines[3].eventMask == EV_RING);

constexpr DWORD kOpenRetryMilliseconds = 100;
constexpr DWORD kWriteTimeoutMilliseconds = 5000;
constexpr DWORD kQueueBytes = 10000;

// The device path is joined, never formatted: the port name comes from the INI file.
HANDLE OpenDevice(const std::string& portName)
{
    std::string path = "\\\\.\\" + portName;
    return ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}
}

bool ComSwitchMonitor::Open(const ComSwitchConfig& config, int attempts)
{
    if (m_bOpen)
        return true;
    m_config = config;
    if (!OpenConfiguredPort(attempts))
        return false;

    m_bStop.store(false, std::memory_order_release);
    m_eventMask = 0;
    for (int line = 0; line < kComLineCount; ++line) {
        m_bMonitored[static_cast<size_t>(line)] = config.Watch(line);
        if (config.Watch(line))
            m_eventMask |= ComLineAt(line).eventMask;
    }
    // Without a watched line the port is still held open, keeping RTS and DTR where they are.
    if (m_eventMask != 0 && ::SetCommMask(m_hPort.Get(), m_eventMask))
        StartPolling();
    m_bOpen = true;
    return true;
}

bool ComSwitchMonitor::OpenConfiguredPort(int attempts)
{
    for (int attempt = 0; !m_hPort && attempt < attempts; ++attempt) {
        m_hPort.Reset(OpenDevice(m_config.Port));
        if (!m_hPort && attempts > 1)
            ::Sleep(kOpenRetryMilliseconds);
    }
    if (!m_hPort)
        return false;
    if (!ConfigurePort()) {
        m_hPort.Reset();
        return false;
    }
    // The switches are powered from these outputs; whether the driver accepts them is not
    // something the user could act on.
    ::EscapeCommFunction(m_hPort.Get(), m_config.RtsOn ? SETRTS : CLRRTS);
    ::EscapeCommFunction(m_hPort.Get(), m_config.DtrOn ? SETDTR : CLRDTR);
    return true;
}

bool ComSwitchMonitor::ConfigurePort()
{
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMilliseconds;
    if (!::SetCommTimeouts(m_hPort.Get(), &timeouts))
        return false;

    // Only these settings change; flow control and the special characters stay the port's.
    DCB state = {};
    state.DCBlength = sizeof state;
    if (!::GetCommState(m_hPort.Get(), &state))
        return false;
    state.fDtrControl = DTR_CONTROL_DISABLE;
    state.fRtsControl = RTS_CONTROL_DISABLE;
    state.BaudRate = CBR_9600;
    state.ByteSize = 8;
    state.Parity = NOPARITY;
    state.StopBits = ONESTOPBIT;
    if (!::SetCommState(m_hPort.Get(), &state))
        return false;

    return ::SetupComm(m_hPort.Get(), kQueueBytes, kQueueBytes) != FALSE;
}

void ComSwitchMonitor::StartPolling()
{
    // Created suspended so that the handle is stored before the thread runs.
    DWORD threadId = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, &ComSwitchPollThread, this, CREATE_SUSPENDED, &threadId);
    if (!thread)
        return;
    ::SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);
    m_hThread.Reset(thread);
    ::ResumeThread(thread);
}

bool ComSwitchMonitor::Close()
{
    m_bStop.store(true, std::memory_order_release);
    if (m_hThread) {
        ::WaitForSingleObject(m_hThread.Get(), INFINITE);
        m_hThread.Reset();
    }
    if (m_bOpen && m_hPort) {
        m_hPort.Reset();
        m_bOpen = false;
    }
    return true;
}

bool ComSwitchMonitor::ReadModemStatus(std::uint32_t& status)
{
    DWORD word = 0;
    if (!::GetCommModemStatus(m_hPort.Get(), &word))
        return false;
    status = word;
    return true;
}

void ComSwitchMonitor::ClearErrors()
{
    DWORD errors = 0;
    ::ClearCommError(m_hPort.Get(), &errors, nullptr);
}

bool ComSwitchMonitor::PostLineEvent(const ComLineEvent& event)
{
    if (m_pHandOver)
        return m_pHandOver->HandOverComLine(event);
    return ::PostMessageA(m_hEventWnd, WM_COM_LINE_EVENT, static_cast<WPARAM>(event.line),
                          static_cast<LPARAM>(event.level)) != FALSE;
}

bool ComSwitchMonitor::PostPortState(bool present)
{
    return ::PostMessageA(m_hEventWnd, WM_COM_PORT_STATE, present ? 1 : 0, 0) != FALSE;
}

bool ComSwitchMonitor::ReopenPort()
{
    // One attempt: the loop comes back in 2 s, and a stop must not wait for retries. The mask
    // is set as at the first open; the status reads do not depend on it.
    if (!OpenConfiguredPort(1))
        return false;
    ::SetCommMask(m_hPort.Get(), m_eventMask);
    return true;
}

DWORD WINAPI ComSwitchPollThread(LPVOID parameter)
{
    // No exception may leave a thread procedure.
    try {
        auto* monitor = static_cast<ComSwitchMonitor*>(parameter);
        RunComSwitchPolling(monitor->m_bMonitored, monitor->m_bStop, *monitor);
    } catch (...) {
    }
    return 1;
}
