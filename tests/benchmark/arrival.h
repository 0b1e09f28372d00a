// One datagram as the benchmark's native receiver (native_receiver.cpp) appends it to its file
// and the benchmark (midi_benchmark.cpp) reads it back: one layout for both programs.
#pragma once

#include <cstdint>

struct Arrival {
    std::int64_t at;          // ns of CLOCK_MONOTONIC_RAW, which Now() reads under Wine
    std::uint32_t device;     // ~0u for a datagram that is not a benchmark's MIDI command
    std::uint32_t sequence;
};
static_assert(sizeof(Arrival) == 16);
