#include "default_broadcast_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "default_broadcast.h"
#include "framework/win_handles.h"

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

struct MibTableTraits {
    using Handle = PMIB_IPFORWARD_TABLE2;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeMibTable(h); }
};
using UniqueForwardTable = UniqueHandle<MibTableTraits>;

// The interfaces that a default route (0.0.0.0/0) leaves through; read from the route table,
// nothing is sent.
std::set<NET_IFINDEX> DefaultRouteInterfaces()
{
    std::set<NET_IFINDEX> interfaces;
    PMIB_IPFORWARD_TABLE2 table = nullptr;
    if (::GetIpForwardTable2(AF_INET, &table) != NO_ERROR)
        return interfaces;
    UniqueForwardTable owner(table);
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = table->Table[i];
        if (row.DestinationPrefix.PrefixLength == 0)
            interfaces.insert(row.InterfaceIndex);
    }
    return interfaces;
}

std::vector<AdapterAddress> UpAdapterAddresses()
{
    std::vector<AdapterAddress> found;
    // The list's size is known only by asking; it may grow between the calls.
    ULONG size = 16 * 1024;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.reset(new unsigned char[size]);
        result = ::GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                        nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.get()), &size);
    }
    if (result != NO_ERROR)
        return found;
    std::set<NET_IFINDEX> defaultRoute = DefaultRouteInterfaces();
    for (auto* adapter = reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.get()); adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp)
            continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET)
                continue;
            in_addr ipv4 = reinterpret_cast<const sockaddr_in*>(address)->sin_addr;
            const char* text = ::inet_ntoa(ipv4);
            if (!text)
                continue;
            found.push_back({ text, unicast->OnLinkPrefixLength, adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK,
                              defaultRoute.count(adapter->IfIndex) != 0 });
        }
    }
    return found;
}

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

class SystemNetworks final : public HostNetworks {
public:
    std::vector<AdapterAddress> AdapterAddresses() override { return UpAdapterAddresses(); }
    std::vector<std::string> HostNameAddresses() override { return HostAddresses(); }
};
}

std::string QueryDefaultBroadcastAddress()
{
    SocketsSession sockets;
    if (!sockets.Started())
        return kFallbackBroadcastAddress;
    SystemNetworks networks;
    return DefaultBroadcastAddress(networks);
}
