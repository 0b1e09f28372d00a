// A test's side of the virtual MIDI driver: finds the driver that a given process has loaded,
// sends it commands and reads the stamps of its streams.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ranges>
#include <span>
#include <string>
#include <vector>

#include "tests/benchmark/virtual_midi_protocol.h"
#include "tests/support/kvmidi_process.h"

class VirtualMidiDriver {
public:
    // Waits until the process has loaded the driver and its thread has made its window, or
    // the deadline passes; then every command of a driver not found fails.
    static VirtualMidiDriver Find(DWORD processId)
    {
        VirtualMidiDriver driver;
        std::string title = std::to_string(processId);
        auto find = [&] { return ::FindWindowExA(HWND_MESSAGE, nullptr, virtual_midi::kDriverWindowClass, title.c_str()); };
        WaitUntil([&] { return (driver.m_window = find()) != nullptr; });
        return driver;
    }

    // Pulls device `device` or plugs the one pulled last back in at that number; false when refused.
    bool Plug(unsigned device, bool present) const { return Send(virtual_midi::kPlug, device, present) == 1; }
    bool IsStarted(unsigned device) const { return Send(virtual_midi::kIsStarted, device, 0) == 1; }

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

// Streams on the driver's own thread, 200 ms from now: rates[d] messages a second on device d
// for the seconds, message k carrying virtual_midi::SequenceMessage(k). A stream the driver
// refused never ends.
class MidiStreams {
public:
    MidiStreams(const VirtualMidiDriver& driver, std::span<const unsigned> rates, unsigned seconds)
        : m_stride(*std::ranges::max_element(rates) * seconds), m_start(virtual_midi::Now() + 200'000'000)
    {
        virtual_midi::StreamCommand stream = { 0, 0, 0, 0, m_start, {} };
        // A timeline of its own, named by its start: the driver may still hold the last one.
        std::snprintf(stream.timeline, sizeof stream.timeline, "Local\\kvMidiStreams.%lu.%lld",
                      ::GetCurrentProcessId(), static_cast<long long>(m_start));
        auto bytes = static_cast<DWORD>(m_stride * rates.size() * sizeof(std::int64_t));
        UniqueKernelHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                        bytes, stream.timeline));
        m_view.Reset(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        for (stream.device = 0; stream.device < rates.size(); ++stream.device) {
            stream.ratePerSecond = rates[stream.device];
            stream.count = m_counts.emplace_back(stream.ratePerSecond * seconds);
            stream.first = stream.device * m_stride;
            driver.Send(virtual_midi::kStream, stream.device, 0, &stream, sizeof stream);   // none when 0
        }
    }

    std::int64_t Start() const { return m_start; }
    unsigned Count(unsigned device) const { return m_counts[device]; }
    // Now() just before the driver's callback of message k of the device; -1 when the message
    // found the device not started, 0 until it is due.
    std::int64_t Called(unsigned device, unsigned k) const
    {
        return static_cast<const std::int64_t*>(m_view.Get())[size_t{ device } * m_stride + k];
    }
    bool Ended() const
    {
        auto ended = [&](unsigned d) { return !m_counts[d] || Called(d, m_counts[d] - 1); };
        return std::ranges::all_of(std::views::iota(0u, static_cast<unsigned>(m_counts.size())), ended);
    }

private:
    std::vector<unsigned> m_counts;   // messages of each device
    unsigned m_stride;                // timeline entries a device
    std::int64_t m_start = 0;
    UniqueMappedView m_view;
};
