// The MIDI benchmark's receiver, a Linux program so that receiving under Wine (recv through the
// wineserver) is charged neither to kvMidi.exe nor to the raw sendto it is compared with:
//   native_receiver FILE
// binds 127.255.255.255 on a free port, prints the port and appends an Arrival to the file for
// every datagram until it is ended. tools/bench-midi.sh builds and runs it.
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "arrival.h"

int main(int argc, char** argv)
{
    int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local = { AF_INET, 0, { htonl(0x7FFFFFFF) }, {} };
    socklen_t length = sizeof local;
    std::FILE* file = argc == 2 ? std::fopen(argv[1], "wb") : nullptr;
    // Loss must be the program's: a buffer that holds seconds of the fastest stream (FORCE
    // passes net.core.rmem_max for root).
    int buffer = 64 * 1024 * 1024;
    if (::setsockopt(socket, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
        ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    if (!file || ::bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        std::fprintf(stderr, "usage: native_receiver FILE (a file to write)\n");
        return 1;
    }
    std::printf("%u\n", ntohs(local.sin_port));
    std::fflush(stdout);
    sched_param realtime = { 1 };   // above the Wine threads measured, where allowed
    ::sched_setscheduler(0, SCHED_FIFO, &realtime);

    for (char text[512];;) {
        // Written when nothing more is waiting, so the file grows as the datagrams come.
        ssize_t received = ::recv(socket, text, sizeof text - 1, MSG_DONTWAIT);
        if (received < 0 && (std::fflush(file) != 0 || (received = ::recv(socket, text, sizeof text - 1, 0)) < 0))
            return 1;
        // Wine's QueryPerformanceCounter, and so the steady_clock of the driver's stamps, is
        // this clock in 100 ns units on this machine (checked by printing both back to back).
        timespec now;
        ::clock_gettime(CLOCK_MONOTONIC_RAW, &now);
        unsigned device = 0, status = 0, data1 = 0, data2 = 0;
        text[received] = '\0';
        int fields = std::sscanf(text, "REMOTE: \"MIDI\" \"\" \"AUXMIDI/%u/%u/%u/%u\" 1", &device, &status, &data1, &data2);
        Arrival arrival = { now.tv_sec * 1'000'000'000LL + now.tv_nsec, fields == 4 ? device : ~0u,
                            (status - 0x80) << 16 | data1 << 8 | data2 };   // as virtual_midi::SequenceMessage made it
        std::fwrite(&arrival, sizeof arrival, 1, file);
    }
}
