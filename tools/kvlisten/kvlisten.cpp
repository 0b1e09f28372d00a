// kvlisten: prints every UDP datagram that reaches a port, one line each, with its time and
// sender; for whoever builds a receiver of kvMidi's REMOTE lines. Ctrl+C ends it.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "tools/kvlisten/listen_core.h"
#include "tools/kvlisten/udp_receiver.h"

namespace {
// Local time of day with milliseconds, "14:03:27.512".
std::string TimeOfDay()
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char text[32] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&seconds));
    char fraction[8] = {};
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(milliseconds));
    return std::string(text) + fraction;
}

void PrintLine(std::FILE* stream, const std::string& line)
{
    std::fputs(line.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
}

int main(int argc, char** argv)
{
    std::optional<ListenOptions> options = ParseListenArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!options || options->help) {
        PrintLine(options ? stdout : stderr, kListenUsage);
        return options ? 0 : 2;
    }
    UdpReceiver receiver(options->address, options->port);
    std::string where = Ipv4Text(options->address) + ":" + std::to_string(receiver.Port());
    if (!receiver.IsOpen()) {
        PrintLine(stderr, "kvlisten: cannot bind " + Ipv4Text(options->address) + ":" + std::to_string(options->port));
        return 1;
    }
    static std::atomic<bool> stop{ false };
    SetOnInterrupt(stop);
    PrintLine(stderr, "kvlisten: listening on " + where + "; Ctrl+C ends");
    while (!stop.load()) {
        std::optional<Datagram> datagram = receiver.Receive(200);
        if (!datagram)
            continue;
        std::string line = DatagramLine(TimeOfDay(), datagram->sender, datagram->senderPort, datagram->bytes);
        if (line.find(options->filter) != std::string::npos)
            PrintLine(stdout, line);
    }
    return 0;
}
