// Latency and loss from the MIDI callback to the REMOTE datagram, through the real kvMidi.exe
// and the virtual MIDI driver, against the platform's own chain measured in the same run:
// steady streams on all devices at once, then a burst of 63 per device. A program that prints
// figures, not a test. Run it from its folder, with Wine told to prefer the driver there (Wine
// reads that when a process starts, so the variable must come from the shell):
//   WINEDLLOVERRIDES="mscoree,mshtml=;winmm=n,b" wine kvmidi_midi_benchmark.exe [-d devices] [-w] [seconds] [rate ...]
// (defaults: devices 0–4, 10 seconds per rate, 1000 and 1600 messages a second per device).
// With -w it prints "ready" once the devices are started, waits for a line on its input,
// streams the first rate alone and prints how many messages arrived: tools/bench-idle.sh counts
// kvMidi's system calls meanwhile.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
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
unsigned g_devices = 5;
unsigned g_streams = 0;   // names each stream's timeline

LONGLONG Counter()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

const double g_frequency = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}();

[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "kvmidi_midi_benchmark: %s\n", why);
    std::exit(1);
}

struct Arrival {
    LONGLONG counter;
    unsigned device;
    unsigned sequence;
};

// Every datagram broadcast to 127.255.255.255 on its port: the device and sequence number of
// its REMOTE line, stamped on arrival by a thread that does nothing else.
class Receiver {
public:
    Receiver()
    {
        // Loss must be the program's: a buffer that holds seconds of the fastest stream.
        int buffer = 16 * 1024 * 1024;
        DWORD timeout = 100;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = ::inet_addr("127.255.255.255");
        int length = sizeof local;
        if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
            Fail("cannot bind 127.255.255.255");
        m_port = ::ntohs(local.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~Receiver()
    {
        m_stop = true;
        m_thread.join();
    }

    unsigned short Port() const { return m_port; }

    // Waits until nothing has arrived for the quiet time; then takes every arrival so far.
    std::vector<Arrival> Take(std::chrono::milliseconds quiet)
    {
        for (size_t seen = SIZE_MAX; seen != m_count;) {
            seen = m_count;
            std::this_thread::sleep_for(quiet);
        }
        std::lock_guard lock(m_mutex);
        m_count = 0;
        return std::exchange(m_arrivals, {});
    }

private:
    void Run()
    {
        char text[512];
        while (!m_stop) {
            int received = ::recv(m_socket.Get(), text, sizeof text - 1, 0);
            LONGLONG at = Counter();
            unsigned device = 0, status = 0, data1 = 0, data2 = 0;
            text[std::max(received, 0)] = '\0';
            if (std::sscanf(text, "REMOTE: \"MIDI\" \"\" \"AUXMIDI/%u/%u/%u/%u\" 1", &device, &status, &data1,
                            &data2) != 4)
                continue;
            std::lock_guard lock(m_mutex);
            m_arrivals.push_back({ at, device, virtual_midi::SequenceOf(status, data1, data2) });
            m_count = m_arrivals.size();
        }
    }

    UniqueSocket m_socket{ ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP) };
    unsigned short m_port = 0;
    std::mutex m_mutex;
    std::vector<Arrival> m_arrivals;   // guarded by m_mutex
    std::atomic<size_t> m_count{ 0 };
    std::atomic<bool> m_stop{ false };
    std::thread m_thread;
};

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

struct Figures {
    size_t due = 0;
    size_t called = 0;
    std::vector<double> latency;   // microseconds, one per datagram that arrived
};

// Streams count messages at the rate on every device at once and matches each callback with
// its datagram.
Figures Measure(const VirtualMidiDriver& driver, Receiver& receiver, unsigned rate, unsigned count)
{
    receiver.Take(0ms);
    Figures figures;
    figures.due = size_t{ count } * g_devices;
    std::string name = "Local\\kvMidiBenchmark." + std::to_string(::GetCurrentProcessId()) + "." +
                       std::to_string(++g_streams);
    UniqueKernelHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                    static_cast<DWORD>(figures.due * sizeof(std::int64_t)), name.c_str()));
    auto* called = static_cast<std::int64_t*>(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    LONGLONG start = Counter() + static_cast<LONGLONG>(g_frequency / 5);
    for (unsigned device = 0; device < g_devices; ++device) {
        virtual_midi::StreamCommand stream = { device, count, rate, device * count, start, {} };
        std::snprintf(stream.timeline, sizeof stream.timeline, "%s", name.c_str());
        if (!called || !driver.Stream(stream))
            Fail("the driver refused the stream");
    }
    WaitUntil([&] { return driver.Query(0, virtual_midi::kActiveStreams) == 0; }, std::chrono::seconds(count / rate + 60));
    std::vector<LONGLONG> arrived(figures.due, 0);
    for (const Arrival& arrival : receiver.Take(1500ms))
        if (arrival.device < g_devices && arrival.sequence < count)
            arrived[arrival.device * count + arrival.sequence] = arrival.counter;
    for (size_t i = 0; i < figures.due; ++i) {
        figures.called += called[i] != 0;
        if (called[i] && arrived[i])
            figures.latency.push_back(static_cast<double>(arrived[i] - called[i]) * 1e6 / g_frequency);
    }
    ::UnmapViewOfFile(called);
    return figures;
}

// The platform's own chain, the baseline of the ratios: one thread's sendto of REMOTE lines to
// the receiver (lines a second), and the p99 latency in microseconds from PostThreadMessage to
// a thread waiting in GetMessage, one post a millisecond.
std::pair<double, double> MeasureRawChain(Receiver& receiver)
{
    UniqueSocket sender(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    BOOL on = TRUE;
    ::setsockopt(sender.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(receiver.Port());
    to.sin_addr.s_addr = ::inet_addr("127.255.255.255");
    const char line[] = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/176/7/0\" 1";
    constexpr int kSends = 20000;
    LONGLONG start = Counter();
    for (int i = 0; i < kSends; ++i)
        ::sendto(sender.Get(), line, static_cast<int>(sizeof line - 1), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    double sends = kSends * g_frequency / static_cast<double>(Counter() - start);
    receiver.Take(500ms);

    std::vector<double> latency;
    std::atomic<DWORD> waiter{ 0 };
    std::thread thread([&] {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);   // makes the queue
        waiter = ::GetCurrentThreadId();
        while (::GetMessageA(&message, nullptr, 0, 0) > 0)
            latency.push_back(static_cast<double>(Counter() - message.lParam) * 1e6 / g_frequency);
    });
    WaitUntil([&] { return waiter != 0; });
    for (int i = 0; i < 3000; ++i) {
        LONGLONG due = Counter() + static_cast<LONGLONG>(g_frequency / 1000);
        ::PostThreadMessageA(waiter, WM_APP, 0, static_cast<LPARAM>(Counter()));
        while (Counter() < due)
            std::this_thread::yield();
    }
    ::PostThreadMessageA(waiter, WM_QUIT, 0, 0);
    thread.join();
    return { sends, Percentile(latency, 0.99) };
}

void Print(const std::string& label, const Figures& figures)
{
    size_t lost = figures.called - figures.latency.size();
    std::printf("%-22s %8zu %8zu %7.3f%% %10.0f %10.0f %10.0f\n", label.c_str(), figures.called, lost,
                figures.called ? 100.0 * static_cast<double>(lost) / static_cast<double>(figures.called) : 0.0,
                Percentile(figures.latency, 0.5), Percentile(figures.latency, 0.99), Percentile(figures.latency, 1));
    if (figures.called != figures.due)
        std::printf("%-22s   (%zu of %zu messages found their device not started)\n", "",
                    figures.due - figures.called, figures.due);
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    bool wait = false;
    std::vector<unsigned> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-d") == 0 && i + 1 < argc)
            g_devices = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "-w") == 0)
            wait = true;
        else
            numbers.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    }
    unsigned seconds = numbers.empty() ? 10 : numbers[0];
    std::vector<unsigned> rates(numbers.size() > 1 ? numbers.begin() + 1 : numbers.end(), numbers.end());
    if (rates.empty())
        rates = { 1000, 1600 };
    if (seconds == 0 || g_devices == 0 || g_devices > 5 || std::count(rates.begin(), rates.end(), 0u))
        Fail("usage: kvmidi_midi_benchmark [-d devices 1-5] [-w] [seconds per rate] [rate ...]");

    WSADATA winsock;
    ::WSAStartup(MAKEWORD(2, 2), &winsock);
    ::SetEnvironmentVariableA(virtual_midi::kConfigVariable, "Keys,Pads,Pedal,Drums,Wind");
    Receiver receiver;
    TempDirectory folder;
    SeedIni(folder.Path(), receiver.Port(), "[Midi]\r\nDevices=0 1 2 3 4 \r\n");
    KvMidiProcess program;
    VirtualMidiDriver driver = VirtualMidiDriver::Find(program.Start("-a " + folder.Path()) ? program.ProcessId() : 0,
                                                       kDeadline);
    if (!driver.IsFound() || !WaitUntil([&] {
            for (unsigned device = 0; device < g_devices; ++device)
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
        std::fgets(line, sizeof line, stdin);
        Figures figures = Measure(driver, receiver, rates[0], rates[0] * seconds);
        std::printf("arrived %zu of %zu\n", figures.latency.size(), figures.due);
        program.Exit(kDeadline);
        return 0;
    }
    auto [sends, postToGet] = MeasureRawChain(receiver);
    // At cable speed a millisecond brings 8 messages over five devices: their send time is
    // part of the latency budget.
    double budget = postToGet + 8 * 1e6 / sends;
    std::printf("raw chain: sendto %.0f lines/s; post->get p99 %.0f us; budget (that + 8 sends) %.0f us\n", sends,
                postToGet, budget);
    std::printf("%u device(s) at once; latency from the callback to the datagram's arrival, microseconds\n", g_devices);
    std::printf("%-22s %8s %8s %8s %10s %10s %10s\n", "run", "called", "lost", "loss", "median", "p99", "max");
    for (unsigned rate : rates) {
        Figures figures = Measure(driver, receiver, rate, rate * seconds);
        Print(std::to_string(rate) + "/s x " + std::to_string(seconds) + " s", figures);
        std::printf("%-22s   all devices %.2f x raw sendto; p99 %.2f x budget\n", "", rate * g_devices / sends,
                    Percentile(figures.latency, 0.99) / budget);
    }
    for (int round = 1; round <= 3; ++round)
        Print("burst 63, round " + std::to_string(round), Measure(driver, receiver, 10000000, 63));
    program.Exit(kDeadline);
    return 0;
}
