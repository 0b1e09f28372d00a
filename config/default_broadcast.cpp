#include "default_broadcast.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include "framework/text.h"

namespace {
// Most specific network first; the empty prefix at the end takes any address.
constexpr std::string_view kPreferredPrefixes[] = {
    "192.168.", "172.16.", "172.17.", "172.18.", "172.19.", "172.20.", "172.21.",
    "172.22.",  "172.23.", "172.24.", "172.25.", "172.26.", "172.27.", "172.28.",
    "172.29.",  "172.30.", "172.31.", "10.",     "169.254.", "",
};

// The index of the address chosen; none for an empty list.
std::optional<std::size_t> ChooseHostAddress(const std::vector<std::string>& addresses)
{
    for (std::string_view prefix : kPreferredPrefixes) {
        // Within one prefix the address latest in the host's list wins.
        for (std::size_t i = addresses.size(); i-- > 0;) {
            if (std::string_view(addresses[i]).starts_with(prefix))
                return i;
        }
    }
    return std::nullopt;
}

// The address with its host part, the bits after the prefix, set to ones.
std::string HostPartToOnes(std::uint32_t address, int prefixLength)
{
    std::uint32_t value = address | (0xFFFFFFFFu >> prefixLength);
    return std::to_string(value >> 24) + '.' + std::to_string((value >> 16) & 0xFF) + '.' +
           std::to_string((value >> 8) & 0xFF) + '.' + std::to_string(value & 0xFF);
}

// A prefix of 31 or 32 leaves no host part to set (a point-to-point link): the class decides.
std::string PrefixBroadcastAddress(const AdapterAddress& chosen)
{
    std::optional<std::uint32_t> value = ParseDottedDecimalValue(chosen.address);
    if (!value || chosen.prefixLength < 1 || chosen.prefixLength > 30)
        return ClassfulBroadcastAddress(chosen.address);
    return HostPartToOnes(*value, chosen.prefixLength);
}
}

std::string ClassfulBroadcastAddress(std::string_view address)
{
    // Four dotted groups: what inet_ntoa writes.
    std::optional<std::uint32_t> value = ParseDottedDecimalValue(address);
    if (!value)
        return kFallbackBroadcastAddress;
    std::uint32_t first = *value >> 24;
    return HostPartToOnes(*value, first <= 127 ? 8 : first <= 191 ? 16 : 24);
}

std::string DefaultBroadcastAddress(const std::vector<std::string>& hostAddresses)
{
    std::optional<std::size_t> chosen = ChooseHostAddress(hostAddresses);
    return chosen ? ClassfulBroadcastAddress(hostAddresses[*chosen]) : kFallbackBroadcastAddress;
}

std::string DefaultBroadcastAddress(HostNetworks& networks)
{
    std::vector<AdapterAddress> adapters = networks.AdapterAddresses();
    if (adapters.empty())
        return DefaultBroadcastAddress(networks.HostNameAddresses());
    // A virtual machine's or a VPN's adapter is up too; the LAN is where the default route goes.
    bool anyDefaultRoute = false;
    for (const AdapterAddress& adapter : adapters)
        anyDefaultRoute = anyDefaultRoute || (adapter.defaultRoute && !adapter.loopback);
    std::erase_if(adapters, [&](const AdapterAddress& adapter) {
        return adapter.loopback || (anyDefaultRoute && !adapter.defaultRoute);
    });
    std::vector<std::string> texts;
    for (const AdapterAddress& adapter : adapters)
        texts.push_back(adapter.address);
    std::optional<std::size_t> chosen = ChooseHostAddress(texts);
    return chosen ? PrefixBroadcastAddress(adapters[*chosen]) : kFallbackBroadcastAddress;
}
