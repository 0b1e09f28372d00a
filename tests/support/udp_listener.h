// A UDP socket on loopback that collects the datagrams a test expects.
#pragma once

#include <winsock2.h>

#include <optional>
#include <string>

#include "framework/win_handles.h"

class UdpListener {
public:
    // Binds to the address (127.0.0.1, or 127.255.255.255 to receive what is broadcast there)
    // and a free port chosen by the system, or the given port.
    explicit UdpListener(const char* address, unsigned short port = 0);
    ~UdpListener();

    unsigned short Port() const { return m_port; }
    bool IsOpen() const { return m_socket.IsValid(); }

    // The next datagram, or nothing when none arrives within the time.
    std::optional<std::string> Receive(unsigned timeoutMilliseconds);

private:
    UniqueSocket m_socket;
    unsigned short m_port = 0;
};
