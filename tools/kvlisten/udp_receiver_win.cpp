#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "tools/kvlisten/udp_receiver.h"

UdpReceiver::UdpReceiver(std::uint32_t address, unsigned short port)
{
    // Winsock counts its users: every receiver starts it and cleans up once.
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    m_socket = static_cast<std::intptr_t>(socket);
    if (socket == INVALID_SOCKET)
        return;
    // The system's default receive buffer holds a few hundred datagrams of a REMOTE line's
    // size (256 under Wine on Linux), well under a second of five devices' bursts: a reader
    // the system leaves waiting that long on a busy machine loses the rest. A megabyte holds
    // ten times as many (2,520 there); a system that allows less gives what it allows (Linux
    // caps the request at net.core.rmem_max and doubles it: a stock 208 KiB gives 416 KiB).
    int bufferBytes = 1 << 20;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof bufferBytes);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ::htonl(address);
    local.sin_port = ::htons(port);
    if (::bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return;
    int length = sizeof local;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length);
    m_port = ::ntohs(local.sin_port);
    m_open = true;
}

UdpReceiver::~UdpReceiver()
{
    if (static_cast<SOCKET>(m_socket) != INVALID_SOCKET)
        ::closesocket(static_cast<SOCKET>(m_socket));
    ::WSACleanup();
}

std::optional<Datagram> UdpReceiver::Receive(unsigned timeoutMilliseconds)
{
    if (!m_open)
        return std::nullopt;
    auto socket = static_cast<SOCKET>(m_socket);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout = { static_cast<long>(timeoutMilliseconds / 1000), static_cast<long>(timeoutMilliseconds % 1000) * 1000 };
    if (::select(0, &readable, nullptr, nullptr, &timeout) != 1)
        return std::nullopt;
    std::vector<char> buffer(65536);
    sockaddr_in from = {};
    int fromLength = sizeof from;
    int received = ::recvfrom(socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                              reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0)
        return std::nullopt;
    return Datagram{ std::string(buffer.data(), static_cast<size_t>(received)), ::ntohl(from.sin_addr.s_addr),
                     ::ntohs(from.sin_port) };
}

namespace {
std::atomic<bool>* g_stop = nullptr;

// Runs on a thread the console starts for the event; returning TRUE keeps the process alive.
BOOL WINAPI OnConsoleEvent(DWORD)
{
    g_stop->store(true);
    return TRUE;
}
}

void SetOnInterrupt(std::atomic<bool>& stop)
{
    g_stop = &stop;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
