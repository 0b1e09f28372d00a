// The sending thread's Win32 surroundings: KvCom.dll, an event that the MIDI callbacks and the
// window thread set to wake it, and the message that tells the controller a report waits.
#pragma once

#include <windows.h>

#include "framework/win_handles.h"
#include "input/midi_wakeup.h"
#include "remote/sending_thread.h"

// Posted to the controller by the sending thread while no earlier one waits to be handled.
constexpr UINT WM_SEND_REPORT = WM_APP + 31;

class KvComSending final : public NetworkLibrary, public SendWaker, public SendClock, public ReportNotifier {
public:
    // wakeup: the MIDI callbacks' flag, which the sending thread clears before each round.
    explicit KvComSending(MidiWakeup& wakeup);

    // The controller's window: KVCOM_init's and the reports'. Set before the thread starts.
    void SetWindow(HWND window) { m_window = window; }
    // What the MIDI callbacks set (through MidiInApi::WakeSender).
    HANDLE WakeEvent() const { return m_wake.Get(); }

    void Reinit(const std::string& address, int port) override;
    bool Send(const std::string& line) override;
    void Close() override;
    void OnThreadStart() noexcept override;
    void Wake() noexcept override;
    void Rearm() noexcept override { m_wakeup.Rearm(); }
    void Wait(std::uint32_t milliseconds) override;
    std::uint64_t NowMilliseconds() noexcept override { return ::GetTickCount64(); }
    bool NotifyReport() noexcept override;
    void AnswerSentMessages() noexcept override;

private:
    MidiWakeup& m_wakeup;
    UniqueKernelHandle m_wake;   // auto-reset
    HWND m_window = nullptr;
};
