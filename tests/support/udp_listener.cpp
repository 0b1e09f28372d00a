#include "udp_listener.h"

#include <vector>

UdpListener::UdpListener(const char* address, unsigned short port)
{
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket)
        return;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ::inet_addr(address);
    local.sin_port = ::htons(port);
    if (::bind(socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return;
    int length = sizeof local;
    ::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ::ntohs(local.sin_port);
    m_socket = std::move(socket);
}

UdpListener::~UdpListener()
{
    m_socket.Reset();
    ::WSACleanup();
}

std::optional<std::string> UdpListener::Receive(unsigned timeoutMilliseconds)
{
    if (!m_socket)
        return std::nullopt;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_socket.Get(), &readable);
    timeval timeout = { static_cast<long>(timeoutMilliseconds / 1000), static_cast<long>(timeoutMilliseconds % 1000) * 1000 };
    if (::select(0, &readable, nullptr, nullptr, &timeout) != 1)
        return std::nullopt;
    std::vector<char> buffer(65536);
    int received = ::recv(m_socket.Get(), buffer.data(), static_cast<int>(buffer.size()), 0);
    if (received < 0)
        return std::nullopt;
    return std::string(buffer.data(), static_cast<size_t>(received));
}
