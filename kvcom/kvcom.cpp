// Our KvCom.dll: each line handed to KVCOM_send leaves as one UDP datagram, broadcast allowed,
// to the address and port given to KVCOM_init, before KVCOM_send returns: no queue, so a
// line is never late, and the caller (the program's sending thread, which makes every call
// of ours) learns at once of a line that did not leave.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>

#include "framework/text.h"
#include "framework/win_handles.h"

namespace {
struct Connection {
    UniqueSocket socket;
    sockaddr_in target{};
    bool socketsStarted = false;
};

Connection g_connection;

void CloseConnection()
{
    g_connection.socket.Reset();
    if (g_connection.socketsStarted) {
        ::WSACleanup();
        g_connection.socketsStarted = false;
    }
}

// Dotted decimal only: inet_addr would read a group with a leading zero as octal, so a
// user's "010" would send to 8 rather than 10.
bool ParseAddress(const char* text, in_addr& address)
{
    std::optional<std::uint32_t> value = ParseDottedDecimalValue(text);
    if (!value)
        return false;
    address.s_addr = ::htonl(*value);
    return true;
}
}

extern "C" {

int __stdcall KVCOM_init(HWND, UINT, const char* address, int port)
{
    CloseConnection();
    in_addr target;
    if (!address || !ParseAddress(address, target) || port < 0 || port > 65535)
        return -1;
    // The library starts sockets itself, so that it works for a caller that did not.
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return -1;
    g_connection.socketsStarted = true;

    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) {
        CloseConnection();
        return -1;
    }
    BOOL allowBroadcast = TRUE;
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allowBroadcast),
                 sizeof allowBroadcast);
    g_connection.target = {};
    g_connection.target.sin_family = AF_INET;
    g_connection.target.sin_addr = target;
    g_connection.target.sin_port = ::htons(static_cast<u_short>(port));
    g_connection.socket = std::move(socket);
    return 0;
}

int __stdcall KVCOM_send(const char* line)
{
    if (!line || !g_connection.socket)
        return -1;
    int length = static_cast<int>(std::strlen(line));
    int sent = ::sendto(g_connection.socket.Get(), line, length, 0, reinterpret_cast<const sockaddr*>(&g_connection.target),
                        sizeof g_connection.target);
    return sent == length ? 0 : -1;
}

int __stdcall KVCOM_close(void)
{
    CloseConnection();
    return 0;
}

}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
