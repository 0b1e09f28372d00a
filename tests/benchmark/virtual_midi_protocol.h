// What the end-to-end MIDI test or the benchmark and the virtual MIDI driver (a winmm.dll for
// tests only) say to each other. The driver runs a hidden message-only window of class
// kDriverWindowClass, titled with the decimal id of the process that loaded it, on a thread of
// its own. Each command is one WM_COPYDATA whose dwData is the command | device << 8 |
// argument << 16 and whose lpData is the command's data; the reply is the message's result.
//
// Devices are configured by the environment variable KVMIDI_VIRTUAL_MIDI, read when the
// program loads the driver: a comma-separated list of product names, one per
// device in device-number order; a name followed by "!open" makes midiInOpen fail with
// MMSYSERR_ALLOCATED. Unset or empty: no device.
#pragma once

#include <chrono>
#include <cstdint>

namespace virtual_midi {

constexpr const char* kDriverWindowClass = "KvMidiVirtualMidiDriver";
constexpr const char* kConfigVariable = "KVMIDI_VIRTUAL_MIDI";

enum Command : std::uintptr_t {
    kStream = 1,   // data: StreamCommand; reply: 1 when the stream was scheduled
    // Argument 0 pulls the device: its open handle's callback gets MIM_CLOSE, as from the
    // system, and the devices after it move down. Argument 1 puts the device pulled last back
    // in at that number. Reply: 1 when done.
    kPlug,
    kIsStarted,   // reply: 1 when the device is started
};

// The clock of the streams, in nanoseconds: the same in every process of the machine.
inline std::int64_t Now()
{
    return std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Messages paced by the driver's feeder: message k is due at start + k / rate seconds (Now())
// and carries SequenceMessage(k), with timestamp 0 (the program does not pass timestamps on).
// A due message that finds the device not started is lost, as with real hardware. The feeder
// wakes once a millisecond, the finest step of Wine's waits, and calls every message due then.
struct StreamCommand {
    std::uint32_t device;
    std::uint32_t count;
    std::uint32_t ratePerSecond;
    // In the file mapping named timeline, int64 number first + k gets Now() read just before
    // the callback of message k (-1 when it found the device not started; 0 until it is due).
    std::uint32_t first;
    std::int64_t start;
    char timeline[64];
};

// A stream's messages in a form whose datagrams tell them apart: channel messages only
// (status 0x80–0xEF), unique for the first 0x70 * 65536 sequence numbers, whose bytes give
// the sequence number back as (status - 0x80) << 16 | data1 << 8 | data2.
constexpr std::uint32_t SequenceMessage(std::uint32_t sequence)
{
    std::uint32_t status = 0x80 + (sequence >> 16) % 0x70;
    return status | ((sequence >> 8) & 0xFF) << 8 | (sequence & 0xFF) << 16;
}

}   // namespace virtual_midi
