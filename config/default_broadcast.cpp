#include "default_broadcast.h"

#include <array>
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

std::string ChooseHostAddress(const std::vector<std::string>& addresses)
{
    if (addresses.empty())
        return kFallbackBroadcastAddress;
    if (addresses.size() == 1)
        return addresses.front();
    for (std::string_view prefix : kPreferredPrefixes) {
        // Within one prefix the address latest in the host's list wins.
        for (auto it = addresses.rbegin(); it != addresses.rend(); ++it) {
            if (std::string_view(*it).starts_with(prefix))
                return *it;
        }
    }
    return kFallbackBroadcastAddress;   // not reached: the empty prefix matches the last one
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
    return ClassfulBroadcastAddress(ChooseHostAddress(hostAddresses));
}
