#include "udp_listener.h"

#include "tools/kvlisten/listen_core.h"

// An address that does not parse becomes 255.255.255.255, which no socket can bind to.
UdpListener::UdpListener(const char* address, unsigned short port)
    : m_receiver(ParseIpv4(address).value_or(0xFFFFFFFFu), port)
{
}

std::optional<std::string> UdpListener::Receive(unsigned timeoutMilliseconds)
{
    std::optional<Datagram> datagram = m_receiver.Receive(timeoutMilliseconds);
    if (!datagram)
        return std::nullopt;
    return std::move(datagram->bytes);
}
