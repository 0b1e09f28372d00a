// What the end-to-end MIDI test or the benchmark and the virtual MIDI driver (a winmm.dll for
// tests only) say to each other. The driver runs a hidden message-only window of class
// kDriverWindowClass, titled with the decimal id of the process that loaded it, on a thread of
// its own; each command is one WM_COPYDATA with the command in dwData and the struct below in
// lpData; the reply is the message's result.
//
// Devices are configured by the environment variable KVMIDI_VIRTUAL_MIDI, read when the
// program first calls a midiIn function: a comma-separated list of product names, one per
// device in device-number order; a name followed by "!open" makes midiInOpen fail with
// MMSYSERR_ALLOCATED. Unset or empty: no device.
#pragma once

#include <cstdint>

namespace virtual_midi {

constexpr const char* kDriverWindowClass = "KvMidiVirtualMidiDriver";
constexpr const char* kConfigVariable = "KVMIDI_VIRTUAL_MIDI";

enum Command : std::uintptr_t {
    kDeliver = 1,   // DeliverCommand: reply = number of MIM_DATA callbacks made
    kStream = 2,    // StreamCommand: reply = 1 when the stream was scheduled
    kQuery = 3,     // QueryCommand: reply = the value asked for
    kPlug = 4,      // PlugCommand: reply = 1 when done
};

// Pulling a device calls its open handle's callback with MIM_CLOSE, as the system does, and
// takes it out of the list (the devices after it move down); plugging puts the device pulled
// last back at the number given.
struct PlugCommand {
    std::uint32_t device;
    std::uint32_t present;
};

struct ShortMessage {
    std::uint32_t param1;      // status | data1 << 8 | data2 << 16
    std::uint32_t timestamp;   // param2 of the callback
};

constexpr std::uint32_t kMaxDeliver = 1024;

struct DeliverCommand {
    std::uint32_t device;
    std::uint32_t count;
    ShortMessage messages[kMaxDeliver];   // only the first count are sent
};

// Messages paced by the driver's feeder thread: message k is due at startCounter + k / rate
// seconds (QueryPerformanceCounter ticks; 0 = now) and carries SequenceMessage(k) with the
// milliseconds since midiInStart as its timestamp. A due message that finds the device not
// started is lost, as with real hardware.
struct StreamCommand {
    std::uint32_t device;
    std::uint32_t count;
    std::uint32_t ratePerSecond;
    std::uint32_t reserved;
    std::int64_t startCounter;
    // A file mapping of count int64 values that gets the counter read just before each
    // callback (0 for a message that found the device not started).
    char timeline[64];
};

enum Query : std::uint32_t {
    kIsStarted = 1,
    kActiveStreams = 2,   // streams of all devices not finished yet
};

struct QueryCommand {
    std::uint32_t device;
    std::uint32_t what;
};

// A stream's messages in a form whose datagrams tell them apart: channel messages only
// (status 0x80–0xEF), unique for the first 0x70 * 65536 sequence numbers.
constexpr std::uint32_t SequenceMessage(std::uint32_t sequence)
{
    std::uint32_t status = 0x80 + (sequence >> 16) % 0x70;
    return status | ((sequence >> 8) & 0xFF) << 8 | (sequence & 0xFF) << 16;
}

constexpr std::uint32_t SequenceOf(std::uint32_t status, std::uint32_t data1, std::uint32_t data2)
{
    return (status - 0x80) << 16 | data1 << 8 | data2;
}

}   // namespace virtual_midi
