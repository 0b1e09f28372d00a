#include "default_broadcast_win.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "default_broadcast.h"

namespace {
// WSAStartup counts its callers, so this pair leaves the program's own start-up of the
// sockets library in force.
class SocketsSession {
public:
    SocketsSession()
    {
        WSADATA data = {};
        m_bStarted = ::WSAStartup(MAKEWORD(2, 0), &data) == 0;
    }
    ~SocketsSession()
    {
        if (m_bStarted)
            ::WSACleanup();
    }
    SocketsSession(const SocketsSession&) = delete;
    SocketsSession& operator=(const SocketsSession&) = delete;

    bool Started() const { return m_bStarted; }

private:
    bool m_bStarted = false;
};

std::vector<std::string> HostAddresses()
{
    std::vector<std::string> addresses;
    char hostName[256] = {};
    if (::gethostname(hostName, sizeof hostName) != 0)
        return addresses;
    hostName[sizeof hostName - 1] = '\0';
    const hostent* host = ::gethostbyname(hostName);
    if (!host || host->h_addrtype != AF_INET || host->h_length != sizeof(in_addr) || !host->h_addr_list)
        return addresses;
    for (char** entry = host->h_addr_list; *entry; ++entry) {
        in_addr address = {};
        memcpy(&address, *entry, sizeof address);
        // inet_ntoa answers in one buffer per thread: copy before the next call.
        if (const char* text = ::inet_ntoa(address))
            addresses.emplace_back(text);
    }
    return addresses;
}
}

std::string QueryDefaultBroadcastAddress()
{
    SocketsSession sockets;
    if (!sockets.Started())
        return kFallbackBroadcastAddress;
    return DefaultBroadcastAddress(HostAddresses());
}
