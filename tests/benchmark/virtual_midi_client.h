// A test's side of the virtual MIDI driver: finds the driver that a given process has loaded
// and sends it commands.
#pragma once

#include <windows.h>

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "tests/benchmark/virtual_midi_protocol.h"
#include "tests/support/kvmidi_process.h"

class VirtualMidiDriver {
public:
    // Waits until the process has loaded the driver (its first midiIn call) or the deadline
    // passes; then every command of a driver not found fails.
    static VirtualMidiDriver Find(DWORD processId, std::chrono::milliseconds deadline)
    {
        VirtualMidiDriver driver;
        std::string title = std::to_string(processId);
        auto find = [&] { return ::FindWindowExA(HWND_MESSAGE, nullptr, virtual_midi::kDriverWindowClass, title.c_str()); };
        WaitUntil([&] { return (driver.m_window = find()) != nullptr; }, deadline);
        return driver;
    }

    // Calls the device's callback once per message, in order, from the driver's thread; the
    // number of callbacks made (none when the device is not started), or -1 when the driver
    // did not answer.
    int Deliver(unsigned device, const std::vector<virtual_midi::ShortMessage>& messages) const
    {
        return static_cast<int>(Send(virtual_midi::kDeliver, device, 0, messages.data(), std::span(messages).size_bytes()));
    }
    // Pulls device `device` or plugs the one pulled last back in at that number; false when refused.
    bool Plug(unsigned device, bool present) const { return Send(virtual_midi::kPlug, device, present) == 1; }
    // The value asked for, or -1 when the driver did not answer.
    long long Query(unsigned device, virtual_midi::Command what) const { return Send(what, device, 0); }

    // The driver's reply to the command, or -1 when it did not answer in kProgramDeadline.
    long long Send(virtual_midi::Command command, unsigned device, unsigned argument, const void* data = nullptr,
                   size_t size = 0) const
    {
        COPYDATASTRUCT copy = { command | device << 8 | ULONG_PTR{ argument } << 16, static_cast<DWORD>(size),
                                const_cast<void*>(data) };
        DWORD_PTR answer = 0;
        if (!m_window || !::SendMessageTimeoutA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                                SMTO_NORMAL, static_cast<UINT>(kProgramDeadline.count()), &answer))
            return -1;
        return static_cast<long long>(answer);
    }

private:
    HWND m_window = nullptr;
};

// A short message from its bytes.
inline virtual_midi::ShortMessage MidiShortMessage(unsigned status, unsigned data1, unsigned data2)
{
    return { (status & 0xFF) | (data1 & 0xFF) << 8 | (data2 & 0xFF) << 16, 0 };
}
