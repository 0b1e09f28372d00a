#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "tools/kvlisten/udp_receiver.h"

UdpReceiver::UdpReceiver(std::uint32_t address, unsigned short port)
{
    m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (m_socket < 0)
        return;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(port);
    if (::bind(static_cast<int>(m_socket), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return;
    socklen_t length = sizeof local;
    ::getsockname(static_cast<int>(m_socket), reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ntohs(local.sin_port);
    m_open = true;
}

UdpReceiver::~UdpReceiver()
{
    if (m_socket >= 0)
        ::close(static_cast<int>(m_socket));
}

std::optional<Datagram> UdpReceiver::Receive(unsigned timeoutMilliseconds)
{
    if (!m_open)
        return std::nullopt;
    pollfd readable = { static_cast<int>(m_socket), POLLIN, 0 };
    if (::poll(&readable, 1, static_cast<int>(timeoutMilliseconds)) != 1)
        return std::nullopt;
    std::vector<char> buffer(65536);
    sockaddr_in from = {};
    socklen_t fromLength = sizeof from;
    ssize_t received = ::recvfrom(static_cast<int>(m_socket), buffer.data(), buffer.size(), 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0)
        return std::nullopt;
    return Datagram{ std::string(buffer.data(), static_cast<size_t>(received)), ntohl(from.sin_addr.s_addr),
                     ntohs(from.sin_port) };
}

namespace {
std::atomic<bool>* g_stop = nullptr;

void OnSignal(int)
{
    g_stop->store(true);
}
}

void SetOnInterrupt(std::atomic<bool>& stop)
{
    g_stop = &stop;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}
