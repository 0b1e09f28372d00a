#include "default_broadcast.h"

#include <array>
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
    if (addresses.size() <= 1)
        return addresses.empty() ? std::nullopt : std::optional<std::size_t>(0);
    for (std::string_view prefix : kPreferredPrefixes) {
        // Within one prefix the address latest in the host's list wins.
        for (std::size_t i = addresses.size(); i-- > 0;) {
            if (std::string_view(addresses[i]).starts_with(prefix))
                return i;
        }
    }
    return std::nullopt;   // not reached: the empty prefix matches the last one
}

std::string DottedText(std::uint32_t value)
{
    return std::to_string(value >> 24) + '.' + std::to_string((value >> 16) & 0xFF) + '.' +
           std::to_string((value >> 8) & 0xFF) + '.' + std::to_string(value & 0xFF);
}

// A prefix of 31 or 32 leaves no host part to set (a point-to-point link): the class decides.
std::string PrefixBroadcastAddress(const AdapterAddress& chosen)
{
    std::optional<std::uint32_t> value = ParseDottedDecimalValue(chosen.address);
    if (!value || chosen.prefixLength < 1 || chosen.prefixLength > 30)
        return ClassfulBroadcastAddress(chosen.address);
    return DottedText(*value | (0xFFFFFFFFu >> chosen.prefixLength));
}
}

std::string ClassfulBroadcastAddress(std::string_view address)
{
    // Four dotted groups: what inet_ntoa writes.
    std::optional<std::array<std::uint8_t, 4>> octets = ParseDottedDecimal(address);
    if (!octets)
        return kFallbackBroadcastAddress;
    std::array<unsigned, 4> o = { (*octets)[0], (*octets)[1], (*octets)[2], (*octets)[3] };
    if (o[0] <= 127)
        o[1] = 255;
    if (o[0] <= 191)
        o[2] = 255;
    o[3] = 255;
    return std::to_string(o[0]) + '.' + std::to_string(o[1]) + '.' + std::to_string(o[2]) + '.' +
           std::to_string(o[3]);
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
    std::vector<AdapterAddress> candidates;
    std::vector<std::string> texts;
    for (const AdapterAddress& adapter : adapters) {
        if (!adapter.loopback && (adapter.defaultRoute || !anyDefaultRoute)) {
            candidates.push_back(adapter);
            texts.push_back(adapter.address);
        }
    }
    std::optional<std::size_t> chosen = ChooseHostAddress(texts);
    return chosen ? PrefixBroadcastAddress(candidates[*chosen]) : kFallbackBroadcastAddress;
}
