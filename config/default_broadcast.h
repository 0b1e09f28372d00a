// The broadcast address the settings dialog suggests: the network of the adapter that carries
// the default route, with the host part set to all ones by the adapter's prefix length; by
// the address class where no prefix is known.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The answer whenever the host's addresses cannot be had.
inline constexpr const char* kFallbackBroadcastAddress = "127.255.255.255";

// One IPv4 address of an adapter that is up.
struct AdapterAddress {
    std::string address;         // dotted text
    int prefixLength = -1;       // the network's prefix length, -1 when unknown
    bool loopback = false;
    bool defaultRoute = false;   // the adapter carries the default route
};

// What the system tells of this host's networks. Only read: nothing is sent anywhere.
class HostNetworks {
public:
    virtual ~HostNetworks() = default;
    // The IPv4 addresses of the adapters that are up, in the system's order; empty when the
    // system cannot list them.
    virtual std::vector<AdapterAddress> AdapterAddresses() = 0;
    // The addresses the host's own name resolves to, in the system's order.
    virtual std::vector<std::string> HostNameAddresses() = 0;
};

// The adapters' addresses that are not loopback, those of the adapters with the default route
// only when there are any, chosen among as DefaultBroadcastAddress below does; the host part
// by the prefix length. Without a listed adapter, the host name's addresses by the class.
std::string DefaultBroadcastAddress(HostNetworks& networks);

// hostAddresses: the host's IPv4 addresses as dotted text, in the order the system lists them.
// A private-network address is preferred; the host part is set by the address class.
std::string DefaultBroadcastAddress(const std::vector<std::string>& hostAddresses);

// The classful broadcast address of a dotted IPv4 address: a.255.255.255 below 128,
// a.b.255.255 below 192, a.b.c.255 above; kFallbackBroadcastAddress for a text that is not a
// dotted address.
std::string ClassfulBroadcastAddress(std::string_view address);
