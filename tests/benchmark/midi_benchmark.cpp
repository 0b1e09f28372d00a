// Latency and loss from the MIDI callback to the REMOTE datagram, through the real kvMidi.exe
// and the virtual MIDI driver, against the platform's own chain measured in the same run. A
// program that prints figures, not a test; tools/bench-midi.sh runs it beside the native
// receiver (Wine reads WINEDLLOVERRIDES when a process starts, so it must come from the shell):
//   KVMIDI_RECEIVER="port file" WINEDLLOVERRIDES="mscoree,mshtml=;winmm=n,b" wine kvmidi_midi_benchmark.exe [seconds] [rate ...]
// Each rate streams on all five devices at once (default 10 s each; 400 to 3,200 a second per
// device). Then: the highest rate of all devices together that is lossless with a p99 of at most
// 10 ms, as a ratio to the raw sendto of the run; the flood (device 0 at 20,000/s, devices 1–4 at
// 100/s); twice that highest rate; and one device at cable speed while the About panel shows and
// hides and the settings dialog is saved with OK.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ranges>
#include <span>
#include <string>
#include <thread>
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
        if (receiver && std::sscanf(receiver, "%hu %259[^\n]", &port, path) == 2)
            m_file.reset(std::fopen(path, "rb"));
        if (!m_file)
            Fail("no native receiver: run it through tools/bench-midi.sh");
    }
    unsigned short port = 0;   // where the receiver listens

    // Reads the file until it has not grown for a second and a half after the time given (the
    // receiver writes what it holds before it waits; it writes whole records): the arrival of
    // each datagram at (device * count + sequence number) of its REMOTE line.
    std::vector<std::int64_t> Receive(std::int64_t until, unsigned count)
    {
        std::vector<std::int64_t> arrived(size_t{ count } * kDevices, 0);
        for (std::int64_t grown = Now(); Now() - std::max(grown, until) < 1'500'000'000; ::Sleep(10)) {
            for (Arrival arrival; std::fread(&arrival, sizeof arrival, 1, m_file.get()) == 1; grown = Now())
                if (arrival.device < kDevices && arrival.sequence < count)
                    arrived[arrival.device * count + arrival.sequence] = arrival.at;
            std::fseek(m_file.get(), 0, SEEK_CUR);   // a seek, not clearerr, lets the C library read on
        }
        return arrived;
    }

private:
    std::unique_ptr<std::FILE, decltype(&std::fclose)> m_file{ nullptr, &std::fclose };
};

// Of values in ascending order.
double Percentile(const std::vector<double>& sorted, double fraction)
{
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, static_cast<size_t>(fraction * sorted.size()))];
}

// What one device's stream gave: the messages due and the latency of each that arrived, in
// microseconds (in ascending order once printed).
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
                                      unsigned seconds, const std::function<void()>& meanwhile = [] {})
{
    MidiStreams streams(driver, rates, seconds);
    meanwhile();
    unsigned stride = *std::max_element(rates.begin(), rates.end()) * seconds;
    std::vector<std::int64_t> arrived = arrivals.Receive(streams.Start() + seconds * 1'000'000'000LL, stride);
    // The driver stamps every message, -1 for a device not started: one unstamped means a
    // stream that has not ended or that the driver refused.
    if (!streams.Ended())
        Fail("the streams did not end in time");
    std::array<Outcome, kDevices> outcomes;
    for (unsigned device = 0; device < kDevices; ++device) {
        Outcome& outcome = outcomes[device] = { streams.Count(device), {}, 0 };   // due, none yet
        for (unsigned k = 0; k < outcome.due; ++k) {
            std::int64_t called = streams.Called(device, k), at = arrived[device * stride + k];
            double late = (called - streams.Start()) / 1e6 - k * 1e3 / rates[device];   // ms after it was due
            outcome.driverLate = std::max(outcome.driverLate, called > 0 ? late : 0);
            if (called > 0 && at)
                outcome.latency.push_back(static_cast<double>(at - called) / 1000);
        }
    }
    return outcomes;
}

// Prints the outcomes as one row; what they give together.
Outcome PrintRow(const std::string& what, std::span<const Outcome> outcomes)
{
    Outcome o;
    for (const Outcome& device : outcomes) {
        o.due += device.due;
        o.latency.insert(o.latency.end(), device.latency.begin(), device.latency.end());
        o.driverLate = std::max(o.driverLate, device.driverLate);
    }
    std::ranges::sort(o.latency);
    std::printf("%-34s %8zu %8zu %7.3f%% %9.2f %9.2f %9.2f %9.2f\n", what.c_str(), o.due, o.Lost(),
                o.due ? 100.0 * static_cast<double>(o.Lost()) / static_cast<double>(o.due) : 0.0,
                Percentile(o.latency, 0.5) / 1000, Percentile(o.latency, 0.99) / 1000,
                o.latency.empty() ? 0 : o.latency.back() / 1000, o.driverLate);
    return o;
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
std::array<Outcome, kDevices> StreamThroughTheWindowsWork(const VirtualMidiDriver& driver, Arrivals& arrivals,
                                                          KvMidiProcess& program, unsigned seconds)
{
    HWND controller = program.ControllerWindow();
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
    });
}
}   // namespace

int main(int argc, char** argv)
{
    unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 10;
    std::vector<unsigned> rates;   // a device's
    for (int i = 2; i < argc; ++i)
        rates.push_back(static_cast<unsigned>(std::atoi(argv[i])));
    if (rates.empty())
        rates = { 400, 800, 1200, 1600, 2000, 2400, 2800, 3200 };
    if (!seconds || std::ranges::count(rates, 0u))
        Fail("usage: kvmidi_midi_benchmark [seconds per rate] [rate per device ...]");

    std::setvbuf(stdout, nullptr, _IONBF, 0);   // each line at once, also into a pipe
    WSADATA winsock;
    ::WSAStartup(MAKEWORD(2, 2), &winsock);
    Arrivals arrivals;
    TempDirectory folder;
    SeedIni(folder.Path(), arrivals.port, "[Midi]\r\nDevices=0 1 2 3 4 \r\n[Com]\r\nEnable=1\r\n");
    KvMidiProcess program;
    ::SetEnvironmentVariableA(virtual_midi::kConfigVariable, "A,B,C,D,E");   // the program inherits it
    bool running = program.Start("-a " + folder.Path());
    VirtualMidiDriver driver = VirtualMidiDriver::Find(running ? program.ProcessId() : 0);
    auto started = [&](unsigned device) { return driver.IsStarted(device); };
    if (!WaitUntil([&] { return std::ranges::all_of(std::views::iota(0u, kDevices), started); }) ||
        !program.ControllerWindow())
        Fail("kvMidi.exe did not start its devices through the virtual driver (WINEDLLOVERRIDES needs winmm=n,b)");
    // Let the start-up settle (the panel, the network library) before measuring.
    std::this_thread::sleep_for(1s);

    double sends = MeasureRawSendto(arrivals.port);
    std::printf("raw sendto: %.0f lines/s\n", sends);
    // The raw rate itself is measured too, so that "at least 1.0 x raw" is not read between steps
    // (not when one rate was asked for, as tools/bench-idle.sh does).
    if (rates.size() > 1)
        rates.push_back(static_cast<unsigned>(sends / kDevices + 1));
    std::ranges::sort(rates);
    std::printf("%-34s %8s %8s %8s %9s %9s %9s %9s\n", "latency from callback to datagram", "due", "lost", "loss",
                "median ms", "p99 ms", "max ms", "drv late");
    unsigned best = 0;   // all devices together, a second
    for (unsigned rate : rates) {
        Outcome all = PrintRow(std::to_string(rate) + "/s x 5 devices, " + std::to_string(seconds) + " s",
                               Measure(driver, arrivals, Rates{ rate, rate, rate, rate, rate }, seconds));
        if (all.Lost() == 0 && Percentile(all.latency, 0.99) <= 10'000)
            best = std::max(best, rate * kDevices);
    }
    std::printf("highest rate lossless with p99 <= 10 ms: %u/s in all, %.2f x raw sendto\n", best, best / sends);

    std::array<Outcome, kDevices> flood = Measure(driver, arrivals, Rates{ 20000, 100, 100, 100, 100 }, seconds);
    PrintRow("flood: device 0 at 20000/s", std::span(flood).first(1));
    PrintRow("flood: devices 1-4 at 100/s", std::span(flood).subspan(1));

    unsigned twice = 2 * best / kDevices;
    if (twice)
        PrintRow("twice that: " + std::to_string(twice) + "/s x 5 devices",
                 Measure(driver, arrivals, Rates{ twice, twice, twice, twice, twice }, seconds));

    PrintRow("1560/s through panel, save, COM port", StreamThroughTheWindowsWork(driver, arrivals, program, seconds));
    return program.Exit() ? 0 : 1;
}
