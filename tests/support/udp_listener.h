// A UDP socket on loopback that collects the datagrams a test expects; kvlisten's receiver.
#pragma once

#include <winsock2.h>

#include <optional>
#include <string>

#include "tools/kvlisten/udp_receiver.h"

class UdpListener : public UdpReceiver {
public:
    // Binds to the loopback broadcast address, 127.255.255.255, to receive what is broadcast
    // there, and a free port chosen by the system.
    UdpListener() : UdpReceiver(0x7FFFFFFFu, 0) {}

    // The next datagram's bytes, or "<none>" when none arrives within the time.
    std::string Receive(unsigned timeoutMilliseconds = 20000)
    {
        std::optional<Datagram> datagram = UdpReceiver::Receive(timeoutMilliseconds);
        return datagram ? std::move(datagram->bytes) : "<none>";
    }
};
