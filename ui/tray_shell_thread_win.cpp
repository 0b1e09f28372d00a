#include "tray_shell_thread_win.h"

#include <new>

static_assert(NIF_TIP == kTrayTipFlag && NIF_INFO == kTrayInfoFlag && NIF_ICON == kTrayIconFlag);

#include "framework/win_handles.h"

// The queue and the record are guarded by the lock; the event wakes the thread for new calls
// and for the stop request.
struct TrayShellThread::Shared {
    SRWLOCK lock = SRWLOCK_INIT;
    TrayCallQueue queue;
    NOTIFYICONDATAA record = {};
    bool stop = false;
    UniqueKernelHandle wake{ ::CreateEventA(nullptr, FALSE, FALSE, nullptr) };
};

namespace {
DWORD ShellMessage(TrayShell::Action action)
{
    switch (action) {
    case TrayShell::Action::Add:
        return NIM_ADD;
    case TrayShell::Action::Modify:
        return NIM_MODIFY;
    default:
        return NIM_DELETE;
    }
}
}

TrayShellThread::TrayShellThread() = default;

TrayShellThread::~TrayShellThread() { Stop(0); }

void TrayShellThread::SetRecord(const NOTIFYICONDATAA& record)
{
    if (!m_shared) {
        auto* threadReference = new (std::nothrow) std::shared_ptr<Shared>(new (std::nothrow) Shared);
        if (!threadReference || !*threadReference || !(*threadReference)->wake.IsValid()) {
            delete threadReference;
            return;
        }
        m_shared = *threadReference;
        m_hThread = ::CreateThread(nullptr, 0, Run, threadReference, 0, nullptr);
        if (!m_hThread) {
            delete threadReference;
            m_shared.reset();
            return;
        }
    }
    ::AcquireSRWLockExclusive(&m_shared->lock);
    m_shared->record = record;
    ::ReleaseSRWLockExclusive(&m_shared->lock);
}

bool TrayShellThread::Post(const TrayCall& call)
{
    if (!m_shared)
        return false;
    ::AcquireSRWLockExclusive(&m_shared->lock);
    try {
        m_shared->queue.Push(call);
    } catch (const std::bad_alloc&) {
        // Out of memory the icon misses a frame; nothing else depends on it.
    }
    ::ReleaseSRWLockExclusive(&m_shared->lock);
    ::SetEvent(m_shared->wake.Get());
    return true;
}

void TrayShellThread::Stop(DWORD timeoutMilliseconds)
{
    if (!m_shared)
        return;
    ::AcquireSRWLockExclusive(&m_shared->lock);
    m_shared->stop = true;
    ::ReleaseSRWLockExclusive(&m_shared->lock);
    ::SetEvent(m_shared->wake.Get());
    ::WaitForSingleObject(m_hThread, timeoutMilliseconds);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_shared.reset();
}

DWORD WINAPI TrayShellThread::Run(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<Shared>> reference(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **reference;
    for (;;) {
        ::WaitForSingleObject(shared.wake.Get(), INFINITE);
        ::AcquireSRWLockExclusive(&shared.lock);
        std::vector<TrayCall> calls = shared.queue.TakeAll();
        NOTIFYICONDATAA record = shared.record;
        bool stop = shared.stop;
        ::ReleaseSRWLockExclusive(&shared.lock);
        for (const TrayCall& call : calls) {
            record.uFlags = call.flags;
            record.hIcon = static_cast<HICON>(call.icon);
            if (call.flags & NIF_INFO) {
                ::lstrcpynA(record.szInfoTitle, call.balloonTitle.c_str(), static_cast<int>(sizeof record.szInfoTitle));
                ::lstrcpynA(record.szInfo, call.balloonText.c_str(), static_cast<int>(sizeof record.szInfo));
                record.dwInfoFlags = call.warning ? NIIF_WARNING : NIIF_INFO;
            }
            bool taken = ::Shell_NotifyIconA(ShellMessage(call.action), &record) != FALSE;
            if (call.action != TrayShell::Action::Add)
                continue;
            // An add after a work-area change finds the icon still there and is refused; the
            // change then puts the record in place, and the icon counts as shown.
            if (!taken)
                taken = ::Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
            ::PostMessageA(record.hWnd, WM_TRAY_ADD_ANSWERED, taken ? 1 : 0, 0);
        }
        if (stop)
            return 0;
    }
}
