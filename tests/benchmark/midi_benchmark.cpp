// Latency and loss from the MIDI callback to the REMOTE datagram, through the real kvMidi.exe
// and the virtual MIDI driver: sustained streams on five devices at once, then a burst of 63
// per device. A program that prints figures, not a test. Run it from its folder, with Wine
// told to prefer the driver there (Wine reads that when a process starts, so the variable
// must come from the shell):
//   WINEDLLOVERRIDES="mscoree,mshtml=;winmm=n,b" wine kvmidi_midi_benchmark.exe [-d devices] [seconds per rate] [rate ...]
// (defaults: devices 0–4 at once, 10 seconds, rates 1000 and 1600 messages per second per device)
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "framework/win_handles.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/benchmark/virtual_midi_client.h"

using namespace std::chrono_literals;

namespace {
constexpr unsigned kMaxDevices = 5;
unsigned g_devices = kMaxDevices;
constexpr auto kDeadline = 30s;

LONGLONG Counter()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Frequency()
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

struct Arrival {
    LONGLONG counter;
    unsigned device;
    unsigned sequence;
};

// Every datagram broadcast to 127.255.255.255 on its port, stamped on arrival.
class Receiver {
public:
    Receiver()
    {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        m_socket.Reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        int buffer = 16 * 1024 * 1024;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buffer), sizeof buffer);
        DWORD timeout = 100;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = ::inet_addr("127.255.255.255");
        ::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local);
        int length = sizeof local;
        ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), &length);
        m_port = ::ntohs(local.sin_port);
        m_arrivals.reserve(1 << 20);
        m_thread = std::thread([this] { Run(); });
    }
    ~Receiver()
    {
        m_stop = true;
        m_thread.join();
        m_socket.Reset();
        ::WSACleanup();
    }

    unsigned short Port() const { return m_port; }
    // Waits until nothing has arrived for the quiet time; then the arrivals so far.
    std::vector<Arrival> Collect(std::chrono::milliseconds quiet)
    {
        for (;;) {
            size_t seen = m_count.load();
            std::this_thread::sleep_for(quiet);
            if (m_count.load() == seen)
                break;
        }
        std::vector<Arrival> taken(m_arrivals.begin(), m_arrivals.begin() + static_cast<std::ptrdiff_t>(m_count.load()));
        return taken;
    }
    void Clear()
    {
        m_clear = true;
        while (m_clear)
            std::this_thread::sleep_for(1ms);
    }
    size_t Malformed() const { return m_malformed; }

private:
    void Run()
    {
        char buffer[512];
        while (!m_stop) {
            if (m_clear) {
                m_arrivals.clear();
                m_count = 0;
                m_clear = false;
            }
            int received = ::recv(m_socket.Get(), buffer, sizeof buffer - 1, 0);
            if (received <= 0)
                continue;
            LONGLONG at = Counter();
            buffer[received] = '\0';
            unsigned device = 0, status = 0, data1 = 0, data2 = 0;
            if (std::sscanf(buffer, "REMOTE: \"MIDI\" \"\" \"AUXMIDI/%u/%u/%u/%u\" 1", &device, &status, &data1, &data2) != 4) {
                ++m_malformed;
                continue;
            }
            m_arrivals.push_back({ at, device, virtual_midi::SequenceOf(status, data1, data2) });
            m_count = m_arrivals.size();
        }
    }

    UniqueSocket m_socket;
    unsigned short m_port = 0;
    std::thread m_thread;
    std::vector<Arrival> m_arrivals;
    std::atomic<size_t> m_count{ 0 };
    std::atomic<bool> m_stop{ false };
    std::atomic<bool> m_clear{ false };
    std::atomic<size_t> m_malformed{ 0 };
};

// The driver writes the counter of each callback into it.
class Timeline {
public:
    Timeline(const std::string& name, unsigned count) : m_name(name), m_count(count)
    {
        m_mapping.Reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             static_cast<DWORD>(sizeof(std::int64_t) * count), name.c_str()));
        if (m_mapping)
            m_values = static_cast<std::int64_t*>(::MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~Timeline()
    {
        if (m_values)
            ::UnmapViewOfFile(m_values);
    }
    bool IsValid() const { return m_values != nullptr; }
    const std::string& Name() const { return m_name; }
    std::int64_t At(unsigned index) const { return m_values[index]; }
    unsigned Count() const { return m_count; }

private:
    std::string m_name;
    unsigned m_count;
    UniqueKernelHandle m_mapping;
    std::int64_t* m_values = nullptr;
};

struct Figures {
    size_t sent = 0;
    size_t called = 0;
    size_t arrived = 0;
    size_t duplicates = 0;
    std::vector<double> latencyMicroseconds;
    double runSeconds = 0;
};

double Percentile(std::vector<double>& values, double fraction)
{
    if (values.empty())
        return 0;
    size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

// Streams `count` messages at `rate` per second on each device at once and matches every
// callback with its datagram.
Figures Measure(const VirtualMidiDriver& driver, Receiver& receiver, unsigned rate, unsigned count, const char* label)
{
    Figures figures;
    receiver.Clear();
    std::vector<std::unique_ptr<Timeline>> timelines;
    LONGLONG start = Counter() + static_cast<LONGLONG>(Frequency() * 0.2);
    for (unsigned device = 0; device < g_devices; ++device) {
        std::string name = "Local\\kvMidiBenchmark." + std::to_string(::GetCurrentProcessId()) + "." + label + "." +
                           std::to_string(device);
        timelines.push_back(std::make_unique<Timeline>(name, count));
        if (!timelines.back()->IsValid()) {
            std::fprintf(stderr, "cannot create the timeline %s\n", name.c_str());
            std::exit(1);
        }
        virtual_midi::StreamCommand stream = {};
        stream.device = device;
        stream.count = count;
        stream.ratePerSecond = rate;
        stream.startCounter = start;
        std::snprintf(stream.timeline, sizeof stream.timeline, "%s", name.c_str());
        if (!driver.Stream(stream)) {
            std::fprintf(stderr, "the driver refused the stream\n");
            std::exit(1);
        }
    }
    WaitUntil([&] { return driver.Query(0, virtual_midi::kActiveStreams) == 0; }, std::chrono::seconds(count / rate + 60));
    LONGLONG end = Counter();
    std::vector<Arrival> arrivals = receiver.Collect(1500ms);

    double toMicroseconds = 1e6 / Frequency();
    std::vector<std::vector<LONGLONG>> arrivedAt(g_devices, std::vector<LONGLONG>(count, 0));
    for (const Arrival& arrival : arrivals) {
        if (arrival.device >= g_devices || arrival.sequence >= count)
            continue;
        LONGLONG& slot = arrivedAt[arrival.device][arrival.sequence];
        if (slot)
            ++figures.duplicates;
        else
            slot = arrival.counter;
    }
    LONGLONG last = 0;
    for (unsigned device = 0; device < g_devices; ++device) {
        for (unsigned k = 0; k < count; ++k) {
            ++figures.sent;
            std::int64_t called = timelines[device]->At(k);
            if (!called)
                continue;
            ++figures.called;
            last = std::max<LONGLONG>(last, called);
            if (LONGLONG at = arrivedAt[device][k]) {
                ++figures.arrived;
                figures.latencyMicroseconds.push_back(static_cast<double>(at - called) * toMicroseconds);
            }
        }
    }
    figures.runSeconds = static_cast<double>(std::max(last, end) - start) / Frequency();
    return figures;
}

// The platform's own chain, measured in the same run as the baseline of the ratios: one
// thread's sendto of REMOTE lines to the receiver, and the latency from PostThreadMessage to a
// thread waiting in GetMessage, one post a millisecond.
struct RawChain {
    double sendsPerSecond = 0;
    double postToGetP99 = 0;   // microseconds
};

RawChain MeasureRawChain(Receiver& receiver)
{
    RawChain raw;
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
    raw.sendsPerSecond = kSends * Frequency() / static_cast<double>(Counter() - start);
    receiver.Collect(500ms);

    std::vector<double> latency;
    std::atomic<DWORD> waiter{ 0 };
    std::thread thread([&] {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);   // makes the queue
        waiter = ::GetCurrentThreadId();
        while (::GetMessageA(&message, nullptr, 0, 0) > 0)
            latency.push_back(static_cast<double>(Counter() - static_cast<LONGLONG>(message.lParam)) * 1e6 / Frequency());
    });
    WaitUntil([&] { return waiter != 0; });
    for (int i = 0; i < 3000; ++i) {
        LONGLONG due = Counter() + static_cast<LONGLONG>(Frequency() / 1000);
        ::PostThreadMessageA(waiter, WM_APP, 0, static_cast<LPARAM>(Counter()));
        while (Counter() < due)
            std::this_thread::yield();
    }
    ::PostThreadMessageA(waiter, WM_QUIT, 0, 0);
    thread.join();
    raw.postToGetP99 = Percentile(latency, 0.99);
    return raw;
}

void Print(const char* label, Figures figures)
{
    std::vector<double>& latency = figures.latencyMicroseconds;
    double median = Percentile(latency, 0.5);
    double p99 = Percentile(latency, 0.99);
    double maximum = latency.empty() ? 0 : *std::max_element(latency.begin(), latency.end());
    size_t lost = figures.called - figures.arrived;
    std::printf("%-22s %8zu %8zu %8zu %7.3f%% %10.0f %10.0f %10.0f %8.2f\n", label, figures.called, figures.arrived,
                lost, figures.called ? 100.0 * static_cast<double>(lost) / static_cast<double>(figures.called) : 0.0,
                median, p99, maximum, figures.runSeconds);
    if (figures.called != figures.sent || figures.duplicates)
        std::printf("%-22s   (%zu of %zu messages found their device not started; %zu duplicates)\n", "",
                    figures.sent - figures.called, figures.sent, figures.duplicates);
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    int next = 1;
    if (argc > 2 && std::strcmp(argv[1], "-d") == 0) {
        g_devices = static_cast<unsigned>(std::atoi(argv[2]));
        next = 3;
    }
    unsigned seconds = argc > next ? static_cast<unsigned>(std::atoi(argv[next])) : 10;
    std::vector<unsigned> rates;
    for (int i = next + 1; i < argc; ++i)
        rates.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    if (rates.empty())
        rates = { 1000, 1600 };
    if (seconds == 0 || g_devices == 0 || g_devices > kMaxDevices) {
        std::fprintf(stderr, "usage: kvmidi_midi_benchmark [-d devices 1-5] [seconds per rate] [rate ...]\n");
        return 2;
    }

    char overrides[256] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    if (!std::strstr(overrides, "winmm=n")) {
        std::fprintf(stderr, "WINEDLLOVERRIDES must contain winmm=n,b for kvMidi.exe to load the virtual driver\n");
        return 2;
    }
    ::SetEnvironmentVariableA(virtual_midi::kConfigVariable, "Keys,Pads,Pedal,Drums,Wind");
    Receiver receiver;
    TempDirectory folder;
    SeedIni(folder.Path(), receiver.Port(), "[Midi]\r\nDevices=0 1 2 3 4 \r\n");
    KvMidiProcess program;
    if (!program.Start("-a " + folder.Path())) {
        std::fprintf(stderr, "kvMidi.exe did not start\n");
        return 1;
    }
    VirtualMidiDriver driver = VirtualMidiDriver::Find(program.ProcessId(), kDeadline);
    bool ready = driver.IsFound() && WaitUntil([&] {
        for (unsigned device = 0; device < g_devices; ++device)
            if (driver.Query(device, virtual_midi::kIsStarted) != 1)
                return false;
        return true;
    }, kDeadline) && program.ControllerWindow(kDeadline);
    if (!ready) {
        std::fprintf(stderr, "kvMidi.exe did not open its five devices through the virtual driver\n");
        return 1;
    }
    // Let the start-up settle (the panel, the network library) before measuring.
    std::this_thread::sleep_for(1s);

    RawChain raw = MeasureRawChain(receiver);
    // At cable speed a millisecond brings 8 messages over five devices: their send time is
    // part of the latency budget.
    double batchMicroseconds = 8 * 1e6 / raw.sendsPerSecond;
    double budget = raw.postToGetP99 + batchMicroseconds;
    std::printf("raw chain: sendto %.0f lines/s; post->get p99 %.0f us; 8 sends %.0f us; budget 1.2 x %.0f us\n",
                raw.sendsPerSecond, raw.postToGetP99, batchMicroseconds, budget);
    std::printf("%u device(s) at once; latency from the callback to the datagram's arrival, microseconds\n", g_devices);
    std::printf("%-22s %8s %8s %8s %8s %10s %10s %10s %8s\n", "run", "called", "arrived", "lost", "loss", "median",
                "p99", "max", "seconds");
    for (unsigned rate : rates) {
        std::string label = std::to_string(rate) + "/s x " + std::to_string(seconds) + " s";
        Figures figures = Measure(driver, receiver, rate, rate * seconds, ("rate" + std::to_string(rate)).c_str());
        double p99 = Percentile(figures.latencyMicroseconds, 0.99);
        Print(label.c_str(), figures);
        std::printf("%-22s   all devices %.2f x raw sendto; p99 %.2f x budget\n", "",
                    rate * g_devices / raw.sendsPerSecond, p99 / budget);
    }
    for (int round = 0; round < 3; ++round) {
        std::string label = "burst 63, round " + std::to_string(round + 1);
        Print(label.c_str(), Measure(driver, receiver, 10000000, 63, ("burst" + std::to_string(round)).c_str()));
    }
    if (receiver.Malformed())
        std::printf("%zu datagrams did not parse\n", receiver.Malformed());
    program.Exit(kDeadline);
    return 0;
}
