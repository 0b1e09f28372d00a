// What a test and the virtual MIDI driver (a winmm.dll for tests only) say to each other.
// The driver runs a hidden message-only window of class kDriverWindowClass, titled with the
// decimal id of the process that loaded it, on a thread of its own; each command is one
// WM_COPYDATA with the command in dwData and the struct below in lpData; the reply is the
// message's result.
//
// Devices are configured by the environment variable KVMIDI_VIRTUAL_MIDI, read when the
// program first calls a midiIn function: a comma-separated list, one item per device in
// device-number order. An item is the product name, possibly empty, followed by any of the
// flags "!open" (midiInOpen fails with MMSYSERR_ALLOCATED), "!start" (midiInStart fails),
// "!caps" (midiInGetDevCapsA fails). Unset or empty: no device. Names longer than 31
// characters fill the whole 32-byte field without a terminator, as some drivers do.
#pragma once

#include <cstdint>

namespace virtual_midi {

constexpr const char* kDriverWindowClass = "KvMidiVirtualMidiDriver";
constexpr const char* kConfigVariable = "KVMIDI_VIRTUAL_MIDI";

enum Command : std::uintptr_t {
    kDeliver = 1,     // DeliverCommand: reply = number of MIM_DATA callbacks made
    kStream = 2,      // StreamCommand: reply = 1 when the stream was scheduled
    kQuery = 3,       // QueryCommand: reply = the value asked for
    kConfigure = 4,   // the device list as text (same syntax as the variable): reply = device count
};

struct ShortMessage {
    std::uint32_t param1;      // status | data1 << 8 | data2 << 16
    std::uint32_t timestamp;   // param2 of the callback
};

enum DeliverFlags : std::uint32_t {
    // The callback gets a handle that is not the device's (an open that was never made).
    kWrongHandle = 1,
    // The callback of the device's last open, with that open's handle, although it has been
    // closed; only for a test whose instance object is still alive.
    kAfterClose = 2,
};

constexpr std::uint32_t kMaxDeliver = 1024;

struct DeliverCommand {
    std::uint32_t device;
    std::uint32_t flags;
    std::uint32_t count;
    ShortMessage messages[kMaxDeliver];   // only the first count are sent
};

enum StreamFlags : std::uint32_t {
    // Go on calling the callback after midiInStop and midiInReset, until midiInClose.
    kThroughClose = 1,
};

// Messages paced by the driver's feeder thread: message k is due at startCounter + k / rate
// seconds (QueryPerformanceCounter ticks; 0 = now) and carries SequenceMessage(first + k)
// with the milliseconds since midiInStart as its timestamp. A due message that finds the
// device not started is lost, as with real hardware.
struct StreamCommand {
    std::uint32_t device;
    std::uint32_t count;            // 0: until the device is closed
    std::uint32_t ratePerSecond;
    std::uint32_t firstSequence;
    std::uint32_t flags;
    std::uint32_t reserved;
    std::int64_t startCounter;
    // A file mapping of count int64 values that gets the counter read just before each
    // callback (0 for a message that found the device not started); empty for none.
    char timeline[64];
};

enum Query : std::uint32_t {
    kDeviceCount = 1,          // what midiInGetNumDevs reports
    kIsOpen = 2,
    kIsStarted = 3,
    kOpenAttempts = 4,         // midiInOpen calls for the device, failed ones included
    kCapsReads = 5,            // midiInGetDevCapsA calls for the device
    kDataCallbacks = 6,        // MIM_DATA callbacks made, all opens together
    kCallbacksAfterStop = 7,   // of those, made after midiInStop of the same open
    kCallSequence = 8,         // the last calls as hex digits, newest lowest: 1 open, 2 start,
                               // 3 stop, 4 reset, 5 close (so ...2345 ends a clean close)
    kActiveStreams = 9,        // streams of all devices not finished yet
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
