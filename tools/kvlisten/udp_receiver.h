// The few socket calls kvlisten and the tests' listener need, over Winsock or POSIX sockets
// (udp_receiver_win.cpp, udp_receiver_posix.cpp): one bound UDP socket, owned here.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

struct Datagram {
    std::string bytes;           // whole, up to the 65,507 bytes an IPv4 datagram can carry
    std::uint32_t sender = 0;    // host byte order
    unsigned short senderPort = 0;
};

class UdpReceiver {
public:
    // Binds to the address (host byte order) and port; port 0 lets the system choose.
    UdpReceiver(std::uint32_t address, unsigned short port);
    ~UdpReceiver();
    UdpReceiver(const UdpReceiver&) = delete;
    UdpReceiver& operator=(const UdpReceiver&) = delete;

    bool IsOpen() const { return m_open; }
    unsigned short Port() const { return m_port; }

    // The next datagram, or nothing when none arrives within the time.
    std::optional<Datagram> Receive(unsigned timeoutMilliseconds);

private:
    std::intptr_t m_socket = -1;
    bool m_open = false;
    unsigned short m_port = 0;
};

// From now on Ctrl+C (and a console's close or SIGTERM) sets the flag instead of ending the
// process at once, so that the socket is closed and the output flushed.
void SetOnInterrupt(std::atomic<bool>& stop);
