// Latency and loss from the MIDI callback to the REMOTE datagram, through the real kvMidi.exe
// and the virtual MIDI driver, against the platform's own chain measured in the same run. A
// program that prints figures, not a test; tools/bench-midi.sh runs it beside the native
// receiver (Wine reads WINEDLLOVERRIDES when a process starts, so it must come from the shell):
//   KVMIDI_RECEIVER="port file" WINEDLLOVERRIDES="mscoree,mshtml=;winmm=n,b" wine kvmidi_midi_benchmark.exe [-w] [seconds] [rate ...]
// Each rate streams on all five devices at once (default 10 s each; 400 to 3,200 a second per
// device). Then: the highest rate of all devices together that is lossless with a p99 of at most
// 10 ms, as a ratio to the raw sendto of the run; the flood (device 0 at 20,000/s, devices 1–4 at
// 100/s); twice that highest rate; and one device at cable speed while the About panel shows and
// hides and the settings dialog is saved with OK.
// With -w it prints "ready" once the devices are started, waits for a line on its input,
// streams the first rate alone, prints how many messages arrived and ends kvMidi.exe after
// another line or the end of the input: tools/bench-idle.sh counts kvMidi's system calls.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ranges>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/win_handles.h"
#include "tests/benchmark/arrival.h"
#include "tests/benchmark/virtual_midi_client.h"
#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/program_run.h"
#include "tests/support/pseudo_terminal_port.h"
#include "tests/support/temp_directory.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 30s;
constexpr unsigned kDevices = 5;

using virtual_midi::Now;

[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "kvmidi_midi_benchmark: %s\n", why);
    std::exit(1);
}

// The arrivals that tools/bench-midi.sh's native receiver (native_receiver.cpp) appends to a
// file as it gets the datagrams on 127.255.255.255: KVMIDI_RECEIVER="port file".
class Arrivals {
public:
    Arrivals()
    {
        char path[MAX_PATH] = {};
        const char* receiver = std::getenv("KVMIDI_RECEIVER");
        if (receiver && std::sscanf(receiver, "%hu %259[^\n]", &m_port, path) == 2)
            m_file.Reset(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
        if (!m_file)
            Fail("no native receiver: run it through tools/bench-midi.sh");
    }
    unsigned short Port() const { return m_port; }

    // Waits until the file has not grown for a second and a half after the time given (the
    // receiver writes what it holds before it waits), then reads what it gained: the arrival
    // of each datagram at (device * count + sequence number) of its REMOTE line.
    std::vector<std::int64_t> Receive(std::int64_t until, unsigned count)
    {
        LARGE_INTEGER size = {}, seen = {};
        for (std::int64_t grown = Now(); Now() - std::max(grown, until) < 1'500'000'000; ::Sleep(10))
            if (::GetFileSizeEx(m_file.Get(), &size) && size.QuadPart != std::exchange(seen.QuadPart, size.QuadPart))
                grown = Now();
        std::vector<Arrival> read(static_cast<size_t>(size.QuadPart - m_read) / sizeof(Arrival));
        DWORD bytes = 0;
        ::ReadFile(m_file.Get(), read.data(), static_cast<DWORD>(std::span(read).size_bytes()), &bytes, nullptr);
        m_read += bytes;
        std::vector<std::int64_t> arrived(size_t{ count } * kDevices, 0);
        for (const Arrival& arrival : std::span(read).first(bytes / sizeof(Arrival)))
            if (arrival.device < kDevices && arrival.sequence < count)
                arrived[arrival.device * count + arrival.sequence] = arrival.at;
        return arrived;
    }

private:
    UniqueFileHandle m_file;
    unsigned short m_port = 0;
    std::int64_t m_read = 0;   // bytes of the file read
};

// Of values in ascending order.
double Percentile(const std::vector<double>& sorted, double fraction)
{
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, static_cast<size_t>(fraction * sorted.size()))];
}

// What one device's stream gave: the messages due and the latency of each that arrived, in
// microseconds, in ascending order.
struct Outcome {
    size_t due = 0;
    std::vector<double> latency;
    // How late the driver called a message at worst, in milliseconds: a driver woken late
    // hands over what is due at once, a burst that a ring may not hold.
    double driverLate = 0;
    size_t Lost() const { return due - latency.size(); }
};
using Rates = std::array<unsigned, kDevices>;

// Streams rates[d] messages a second on each device d for the seconds, running `meanwhile` on
// this thread as they stream, then matches each callback with its datagram (the receiver's file
// keeps them; what came before, the raw sendto's lines, names no message of the stream).
std::array<Outcome, kDevices> Measure(const VirtualMidiDriver& driver, Arrivals& arrivals, const Rates& rates,
                                      unsigned seconds, const std::function<void()>& meanwhile = {})
{
    unsigned stride = *std::max_element(rates.begin(), rates.end()) * seconds;
    size_t slots = size_t{ stride } * kDevices;
    virtual_midi::StreamCommand stream = { 0, 0, 0, 0, Now() + 200'000'000, {} };
    std::snprintf(stream.timeline, sizeof stream.timeline, "Local\\kvMidiBenchmark.%lu", ::GetCurrentProcessId());
    UniqueKernelHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                    static_cast<DWORD>(slots * sizeof(std::int64_t)), stream.timeline));
    auto* called = static_cast<std::int64_t*>(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    for (stream.device = 0; stream.device < kDevices; ++stream.device) {
        stream.ratePerSecond = rates[stream.device];
        stream.count = stream.ratePerSecond * seconds;
        stream.first = stream.device * stride;
        if (stream.count && (!called || driver.Send(virtual_midi::kStream, stream.device, 0, &stream, sizeof stream) != 1))
            Fail("the driver refused the stream");
    }
    if (meanwhile)
        meanwhile();
    std::vector<std::int64_t> arrived = arrivals.Receive(stream.start + std::int64_t{ seconds } * 1'000'000'000, stride);
    std::array<Outcome, kDevices> outcomes;
    for (unsigned device = 0; device < kDevices; ++device) {
        Outcome& outcome = outcomes[device];
        outcome.due = size_t{ rates[device] } * seconds;
        // The driver stamps every message, -1 for a device not started: the last one unstamped
        // means a stream that has not ended.
        if (outcome.due && called[size_t{ device } * stride + outcome.due - 1] == 0)
            Fail("the streams did not end in time");
        for (size_t i = size_t{ device } * stride; i < size_t{ device } * stride + outcome.due; ++i) {
            std::int64_t due = stream.start + static_cast<std::int64_t>((i - size_t{ device } * stride) * 1'000'000'000 / rates[device]);
            if (called[i] > 0)
                outcome.driverLate = std::max(outcome.driverLate, static_cast<double>(called[i] - due) / 1e6);
            if (called[i] > 0 && arrived[i])
                outcome.latency.push_back(static_cast<double>(arrived[i] - called[i]) / 1000);
        }
        std::sort(outcome.latency.begin(), outcome.latency.end());
    }
    ::UnmapViewOfFile(called);
    return outcomes;
}

// The devices first to last as one.
Outcome Together(const std::array<Outcome, kDevices>& outcomes, unsigned first = 0, unsigned last = kDevices - 1)
{
    Outcome all;
    for (unsigned device = first; device <= last; ++device) {
        all.due += outcomes[device].due;
        all.latency.insert(all.latency.end(), outcomes[device].latency.begin(), outcomes[device].latency.end());
        all.driverLate = std::max(all.driverLate, outcomes[device].driverLate);
    }
    std::sort(all.latency.begin(), all.latency.end());
    return all;
}

void PrintRow(const std::string& what, const Outcome& o)
{
    std::printf("%-34s %8zu %8zu %7.3f%% %9.2f %9.2f %9.2f %9.2f\n", what.c_str(), o.due, o.Lost(),
                o.due ? 100.0 * static_cast<double>(o.Lost()) / static_cast<double>(o.due) : 0.0,
                Percentile(o.latency, 0.5) / 1000, Percentile(o.latency, 0.99) / 1000,
                o.latency.empty() ? 0 : o.latency.back() / 1000, o.driverLate);
}

// The platform's own chain, the baseline of the ratios: one thread's sendto of REMOTE lines to
// the receiver, in lines a second.
double MeasureRawSendto(unsigned short port)
{
    UniqueSocket sender(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    BOOL on = TRUE;
    ::setsockopt(sender.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in to = { AF_INET, ::htons(port), { { { 127, 255, 255, 255 } } }, {} };
    const char line[] = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/176/7/0\" 1";
    std::int64_t start = Now();
    for (int i = 0; i < 20000; ++i)
        ::sendto(sender.Get(), line, static_cast<int>(sizeof line - 1), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return 20000 * 1e9 / static_cast<double>(Now() - start);
}

// About 1,560 messages a second fill a MIDI cable (31,250 baud, two bytes with running status).
// One device streams at that speed while the window thread is kept busy as a user keeps it: the
// About panel shown and hidden, then the settings saved with OK, naming a COM port that is not
// there: three attempts 100 ms apart, then the port's error dialog, answered "for this session".
Outcome StreamThroughTheWindowsWork(const VirtualMidiDriver& driver, Arrivals& arrivals, KvMidiProcess& program,
                                    unsigned seconds)
{
    HWND controller = program.ControllerWindow(kDeadline);
    std::string missingPort = "COM" + std::to_string(UnusedComPortNumber(200));
    return Measure(driver, arrivals, Rates{ 1560, 0, 0, 0, 0 }, std::max(seconds, 10u), [&] {
        std::this_thread::sleep_for(1s);   // the pace of the scene, not a wait for a result
        ::PostMessageA(controller, WM_COMMAND, ID_ABOUT, 0);
        std::this_thread::sleep_for(1s);
        ::PostMessageA(controller, WM_LBUTTONDOWN, 0, 0);   // a click hides the panel
        std::this_thread::sleep_for(2s);
        ::PostMessageA(controller, WM_COMMAND, ID_SETTINGS, 0);
        SettingsDialog dialog = WaitForSettingsDialog(program.ProcessId());
        auto name = reinterpret_cast<LPARAM>(missingPort.c_str());
        dialog.Send(IDC_COM_PORT, CB_ADDSTRING, 0, name);
        dialog.Send(IDC_COM_PORT, CB_SELECTSTRING, static_cast<WPARAM>(-1), name);
        dialog.Click(IDC_COM_PORT, CBN_SELCHANGE);
        std::this_thread::sleep_for(1s);
        dialog.Click(IDOK);
        HWND portError = WaitForPortErrorDialog(program.ProcessId());
        if (!dialog.WaitUntilClosed() || !portError)
            Fail("the settings dialog did not close with OK, or the port's error dialog did not show");
        std::this_thread::sleep_for(1s);
        AnswerDialog(portError, IDOK);
    })[0];
}
}   // namespace

int main(int argc, char** argv)
{
    bool wait = argc > 1 && std::strcmp(argv[1], "-w") == 0;
    std::vector<unsigned> numbers;   // the seconds per rate, then the rates per device
    for (int i = 1 + wait; i < argc; ++i)
        numbers.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    if (numbers.size() < 2)
        numbers = { numbers.empty() ? 10 : numbers[0], 400, 800, 1200, 1600, 2000, 2400, 2800, 3200 };
    if (std::count(numbers.begin(), numbers.end(), 0u))
        Fail("usage: kvmidi_midi_benchmark [-w] [seconds per rate] [rate per device ...]");
    unsigned seconds = numbers[0];

    std::setvbuf(stdout, nullptr, _IONBF, 0);   // each line at once, also into a pipe
    WSADATA winsock;
    ::WSAStartup(MAKEWORD(2, 2), &winsock);
    Arrivals arrivals;
    TempDirectory folder;
    SeedIni(folder.Path(), arrivals.Port(), "[Midi]\r\nDevices=0 1 2 3 4 \r\n[Com]\r\nEnable=1\r\n");
    KvMidiProcess program;
    ::SetEnvironmentVariableA(virtual_midi::kConfigVariable, "A,B,C,D,E");   // the program inherits it
    bool running = program.Start("-a " + folder.Path());
    VirtualMidiDriver driver = VirtualMidiDriver::Find(running ? program.ProcessId() : 0, kDeadline);
    auto started = [&](unsigned device) { return driver.Query(device, virtual_midi::kIsStarted) == 1; };
    if (!WaitUntil([&] { return std::ranges::all_of(std::views::iota(0u, kDevices), started); }, kDeadline) ||
        !program.ControllerWindow(kDeadline))
        Fail("kvMidi.exe did not start its devices through the virtual driver (WINEDLLOVERRIDES needs winmm=n,b)");
    // Let the start-up settle (the panel, the network library) before measuring.
    std::this_thread::sleep_for(1s);

    if (wait) {
        std::printf("ready\n");
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            Fail("no line on the input");
        unsigned rate = numbers[1];
        std::printf("arrived %zu\n", Together(Measure(driver, arrivals, Rates{ rate, rate, rate, rate, rate }, seconds)).latency.size());
        std::fgets(line, sizeof line, stdin);
        return program.Exit(kDeadline) ? 0 : 1;
    }
    double sends = MeasureRawSendto(arrivals.Port());
    std::printf("raw sendto: %.0f lines/s\n", sends);
    // The raw rate itself is measured too, so that "at least 1.0 x raw" is not read between steps.
    std::vector<unsigned> rates(numbers.begin() + 1, numbers.end());
    std::ranges::sort(rates);
    if (rates.size() > 1)
        rates.insert(std::ranges::upper_bound(rates, static_cast<unsigned>(sends / kDevices)),
                     static_cast<unsigned>(sends / kDevices + 1));
    std::printf("%-34s %8s %8s %8s %9s %9s %9s %9s\n", "latency from callback to datagram", "due", "lost", "loss",
                "median ms", "p99 ms", "max ms", "drv late");
    unsigned best = 0;   // all devices together, a second
    for (unsigned rate : rates) {
        Outcome all = Together(Measure(driver, arrivals, Rates{ rate, rate, rate, rate, rate }, seconds));
        PrintRow(std::to_string(rate) + "/s x 5 devices, " + std::to_string(seconds) + " s", all);
        if (all.Lost() == 0 && Percentile(all.latency, 0.99) <= 10'000)
            best = std::max(best, rate * kDevices);
    }
    std::printf("highest rate lossless with p99 <= 10 ms: %u/s in all, %.2f x raw sendto\n", best, best / sends);

    std::array<Outcome, kDevices> flood = Measure(driver, arrivals, Rates{ 20000, 100, 100, 100, 100 }, seconds);
    PrintRow("flood: device 0 at 20000/s", flood[0]);
    PrintRow("flood: devices 1-4 at 100/s", Together(flood, 1, 4));

    unsigned twice = 2 * best / kDevices;
    if (twice)
        PrintRow("twice that: " + std::to_string(twice) + "/s x 5 devices",
                 Together(Measure(driver, arrivals, Rates{ twice, twice, twice, twice, twice }, seconds)));

    PrintRow("1560/s through panel, save, COM port", StreamThroughTheWindowsWork(driver, arrivals, program, seconds));
    return program.Exit(kDeadline) ? 0 : 1;
}
