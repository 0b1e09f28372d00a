// Latency and loss from the MIDI callback to the REMOTE datagram, through the real kvMidi.exe
// and the virtual MIDI driver, against the platform's own chain measured in the same run:
// steady streams on all devices at once, then a burst of 63 per device. A program that prints
// figures, not a test. Run it from its folder, with Wine told to prefer the driver there (Wine
// reads that when a process starts, so the variable must come from the shell):
//   WINEDLLOVERRIDES="mscoree,mshtml=;winmm=n,b" wine kvmidi_midi_benchmark.exe [-w] [seconds] [rate ...]
// (defaults: 10 seconds per rate, 1000 and 1600 messages a second on each of devices 0–4).
// With -w it prints "ready" once the devices are started, waits for a line on its input,
// streams the first rate alone, prints how many messages arrived and ends kvMidi.exe after
// another line or the end of the input: tools/bench-idle.sh counts kvMidi's system calls.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/win_handles.h"
#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 30s;
constexpr unsigned kDevices = 5;
unsigned g_streams = 0;   // names each stream's timeline

using virtual_midi::Now;

[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "kvmidi_midi_benchmark: %s\n", why);
    std::exit(1);
}

// The socket that gets every datagram broadcast to 127.255.255.255 on its port.
UniqueSocket BindReceiver(unsigned short& port)
{
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    // Loss must be the program's: a buffer that holds seconds of the fastest stream. Receiving
    // ends after a second and a half of quiet.
    int buffer = 16 * 1024 * 1024;
    DWORD quiet = 1500;
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&quiet), sizeof quiet);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ::inet_addr("127.255.255.255");
    int length = sizeof local;
    if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        Fail("cannot bind 127.255.255.255");
    port = ::ntohs(local.sin_port);
    return socket;
}

// Receives until nothing has come for the quiet time after the time given, stamping each
// datagram's arrival: the time at (device * count + sequence number) of its REMOTE line.
std::vector<std::int64_t> Receive(const UniqueSocket& socket, std::int64_t until, unsigned count)
{
    std::vector<std::int64_t> arrived(size_t{ count } * kDevices, 0);
    char text[512];
    for (;;) {
        int received = ::recv(socket.Get(), text, sizeof text - 1, 0);
        std::int64_t at = Now();
        if (received <= 0 && at > until)
            return arrived;
        unsigned device = 0, status = 0, data1 = 0, data2 = 0;
        text[std::max(received, 0)] = '\0';
        if (std::sscanf(text, "REMOTE: \"MIDI\" \"\" \"AUXMIDI/%u/%u/%u/%u\" 1", &device, &status, &data1, &data2) == 4 &&
            device < kDevices && virtual_midi::SequenceOf(status, data1, data2) < count)
            arrived[device * count + virtual_midi::SequenceOf(status, data1, data2)] = at;
    }
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

// Streams count messages at the rate on every device at once and matches each callback with
// its datagram: the latency of each that arrived, in microseconds.
std::vector<double> Measure(const VirtualMidiDriver& driver, const UniqueSocket& socket, unsigned rate, unsigned count)
{
    Receive(socket, 0, 0);
    size_t due = size_t{ count } * kDevices;
    std::string name = "Local\\kvMidiBenchmark." + std::to_string(::GetCurrentProcessId()) + "." +
                       std::to_string(++g_streams);
    UniqueKernelHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                    static_cast<DWORD>(due * sizeof(std::int64_t)), name.c_str()));
    auto* called = static_cast<std::int64_t*>(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    std::int64_t start = Now() + 200'000'000;
    for (unsigned device = 0; device < kDevices; ++device) {
        virtual_midi::StreamCommand stream = { device, count, rate, device * count, start, {} };
        std::snprintf(stream.timeline, sizeof stream.timeline, "%s", name.c_str());
        if (!called || !driver.Stream(stream))
            Fail("the driver refused the stream");
    }
    std::vector<std::int64_t> arrived = Receive(socket, start + std::int64_t{ count } * 1'000'000'000 / rate, count);
    if (driver.Query(0, virtual_midi::kActiveStreams) != 0)
        Fail("the streams did not end in time");
    std::vector<double> latency;
    for (size_t i = 0; i < due; ++i)
        if (called[i] && arrived[i])
            latency.push_back(static_cast<double>(arrived[i] - called[i]) / 1000);
    ::UnmapViewOfFile(called);
    return latency;
}

// The platform's own chain, the baseline of the ratios: one thread's sendto of REMOTE lines to
// the receiver (lines a second), and the p99 latency in microseconds from PostThreadMessage to
// a thread waiting in GetMessage, one post a millisecond.
std::pair<double, double> MeasureRawChain(const UniqueSocket& socket, unsigned short port)
{
    UniqueSocket sender(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    BOOL on = TRUE;
    ::setsockopt(sender.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(port);
    to.sin_addr.s_addr = ::inet_addr("127.255.255.255");
    const char line[] = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/176/7/0\" 1";
    constexpr int kSends = 20000;
    double sends = 0;
    // Received meanwhile, as the program's datagrams are.
    std::thread sending([&] {
        std::int64_t start = Now();
        for (int i = 0; i < kSends; ++i)
            ::sendto(sender.Get(), line, static_cast<int>(sizeof line - 1), 0, reinterpret_cast<const sockaddr*>(&to),
                     sizeof to);
        sends = kSends * 1e9 / static_cast<double>(Now() - start);
    });
    Receive(socket, 0, 0);
    sending.join();

    std::vector<double> latency;
    std::atomic<DWORD> waiter{ 0 };
    std::thread thread([&] {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);   // makes the queue
        waiter = ::GetCurrentThreadId();
        while (::GetMessageA(&message, nullptr, 0, 0) > 0)
            latency.push_back(static_cast<double>(Now() - message.lParam) / 1000);
    });
    WaitUntil([&] { return waiter != 0; });
    for (int i = 0; i < 3000; ++i) {
        std::int64_t due = Now() + 1'000'000;
        ::PostThreadMessageA(waiter, WM_APP, 0, static_cast<LPARAM>(Now()));
        while (Now() < due)
            std::this_thread::yield();
    }
    ::PostThreadMessageA(waiter, WM_QUIT, 0, 0);
    thread.join();
    return { sends, Percentile(latency, 0.99) };
}

// A message lost is one whose datagram never came, or one that found its device not started.
void Print(const std::string& label, const std::vector<double>& latency, size_t due)
{
    size_t lost = due - latency.size();
    std::printf("%-22s %8zu %8zu %7.3f%% %10.0f %10.0f %10.0f\n", label.c_str(), due, lost,
                100.0 * static_cast<double>(lost) / static_cast<double>(due), Percentile(latency, 0.5),
                Percentile(latency, 0.99), Percentile(latency, 1));
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    bool wait = argc > 1 && std::strcmp(argv[1], "-w") == 0;
    std::vector<unsigned> numbers;
    for (int i = wait ? 2 : 1; i < argc; ++i)
        numbers.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    unsigned seconds = numbers.empty() ? 10 : numbers[0];
    std::vector<unsigned> rates(numbers.size() > 1 ? numbers.begin() + 1 : numbers.end(), numbers.end());
    if (rates.empty())
        rates = { 1000, 1600 };
    if (seconds == 0 || std::count(rates.begin(), rates.end(), 0u))
        Fail("usage: kvmidi_midi_benchmark [-w] [seconds per rate] [rate per device ...]");

    WSADATA winsock;
    ::WSAStartup(MAKEWORD(2, 2), &winsock);
    unsigned short port = 0;
    UniqueSocket socket = BindReceiver(port);
    TempDirectory folder;
    SeedIni(folder.Path(), port, "[Midi]\r\nDevices=0 1 2 3 4 \r\n");
    KvMidiProcess program;
    std::string devices = std::string(virtual_midi::kConfigVariable) + "=Keys,Pads,Pedal,Drums,Wind";
    VirtualMidiDriver driver = VirtualMidiDriver::Find(
        program.Start("-a " + folder.Path(), devices) ? program.ProcessId() : 0, kDeadline);
    if (!driver.IsFound() || !WaitUntil([&] {
            for (unsigned device = 0; device < kDevices; ++device)
                if (driver.Query(device, virtual_midi::kIsStarted) != 1)
                    return false;
            return true;
        }, kDeadline) || !program.ControllerWindow(kDeadline))
        Fail("kvMidi.exe did not start its devices through the virtual driver (WINEDLLOVERRIDES needs winmm=n,b)");
    // Let the start-up settle (the panel, the network library) before measuring.
    std::this_thread::sleep_for(1s);

    if (wait) {
        std::printf("ready\n");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            Fail("no line on the input");
        std::printf("arrived %zu\n", Measure(driver, socket, rates[0], rates[0] * seconds).size());
        std::fflush(stdout);
        std::fgets(line, sizeof line, stdin);
        return program.Exit(kDeadline) ? 0 : 1;
    }
    auto [sends, postToGet] = MeasureRawChain(socket, port);
    // At cable speed a millisecond brings 8 messages over five devices: their send time is
    // part of the latency budget.
    double budget = postToGet + 8 * 1e6 / sends;
    std::printf("raw chain: sendto %.0f lines/s; post->get p99 %.0f us; budget (that + 8 sends) %.0f us\n", sends,
                postToGet, budget);
    std::printf("five devices at once; latency from the callback to the datagram's arrival, microseconds\n");
    std::printf("%-22s %8s %8s %8s %10s %10s %10s\n", "run", "due", "lost", "loss", "median", "p99", "max");
    for (unsigned rate : rates) {
        std::vector<double> latency = Measure(driver, socket, rate, rate * seconds);
        Print(std::to_string(rate) + "/s x " + std::to_string(seconds) + " s", latency, rate * seconds * kDevices);
        std::printf("%-22s   all devices %.2f x raw sendto; p99 %.2f x budget\n", "", rate * kDevices / sends,
                    Percentile(latency, 0.99) / budget);
    }
    for (int round = 1; round <= 3; ++round)
        Print("burst 63, round " + std::to_string(round), Measure(driver, socket, 10000000, 63), 63 * kDevices);
    return program.Exit(kDeadline) ? 0 : 1;
}
