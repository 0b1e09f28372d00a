// A UDP socket on loopback that collects the datagrams a test expects; kvlisten's receiver.
#pragma once

#include <winsock2.h>

#include <optional>
#include <string>

#include "tools/kvlisten/udp_receiver.h"

class UdpListener {
public:
    // Binds to the address (127.0.0.1, or 127.255.255.255 to receive what is broadcast there)
    // and a free port chosen by the system, or the given port.
    explicit UdpListener(const char* address, unsigned short port = 0);

    unsigned short Port() const { return m_receiver.Port(); }
    bool IsOpen() const { return m_receiver.IsOpen(); }

    // The next datagram, or nothing when none arrives within the time.
    std::optional<std::string> Receive(unsigned timeoutMilliseconds);

private:
    UdpReceiver m_receiver;
};
