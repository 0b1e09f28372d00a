// A test's side of the virtual MIDI driver: finds the driver that a given process has loaded
// and sends it commands, each answered within the deadline or failed.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/benchmark/virtual_midi_protocol.h"

class VirtualMidiDriver {
public:
    // Waits until the process has loaded the driver (its first midiIn call) or the deadline
    // passes; IsFound tells which.
    static VirtualMidiDriver Find(DWORD processId, std::chrono::milliseconds deadline);

    bool IsFound() const { return m_window != nullptr; }

    // Calls the device's callback once per message, in order, from the driver's thread; the
    // number of callbacks made (none when the device is not started), or -1 when the driver
    // did not answer.
    int Deliver(unsigned device, const std::vector<virtual_midi::ShortMessage>& messages) const;
    // Schedules a paced stream on the driver's feeder; false when it was refused.
    bool Stream(const virtual_midi::StreamCommand& stream) const;
    // Pulls device `device` or plugs the one pulled last back in at that number; false when refused.
    bool Plug(unsigned device, bool present) const;
    // The value asked for, or -1 when the driver did not answer.
    long long Query(unsigned device, virtual_midi::Query what) const;

private:
    bool Send(virtual_midi::Command command, const void* data, size_t size, LRESULT& result) const;

    HWND m_window = nullptr;
    std::chrono::milliseconds m_deadline{ 0 };
};

// A short message from its bytes.
virtual_midi::ShortMessage MidiShortMessage(unsigned status, unsigned data1, unsigned data2);
