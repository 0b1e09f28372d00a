#include "kvcom_sending_win.h"

#include "remote/kvcom_api.h"

static_assert(SendWaker::kForever == INFINITE);

KvComSending::KvComSending(MidiWakeup& wakeup)
    : m_wakeup(wakeup), m_wake(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

void KvComSending::Reinit(const std::string& address, int port)
{
    KVCOM_close();
    KVCOM_init(m_window, WM_NETWORK_NOTIFY, address.c_str(), port);
}

bool KvComSending::Send(const std::string& line) { return KVCOM_send(line.c_str()) == 0; }

void KvComSending::Close() { KVCOM_close(); }

void KvComSending::OnThreadStart() noexcept
{
    // Above the window thread: a stretch of the window's work must not starve the rings.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
}

void KvComSending::Wake() noexcept { ::SetEvent(m_wake.Get()); }

void KvComSending::Wait(std::uint32_t milliseconds) { ::WaitForSingleObject(m_wake.Get(), milliseconds); }

void KvComSending::AnswerSentMessages() noexcept
{
    // Peeking delivers the messages other threads sent to this thread's windows, and only those.
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

bool KvComSending::NotifyReport() noexcept { return ::PostMessageA(m_window, WM_SEND_REPORT, 0, 0) != FALSE; }
