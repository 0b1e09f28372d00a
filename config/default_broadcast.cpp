#include "default_broadcast.h"

#include <array>
#include <optional>

namespace {
// Most specific network first; the empty prefix at the end takes any address.
constexpr std::string_view kPreferredPrefixes[] = {
    "192.168.", "172.16.", "172.17.", "172.18.", "172.19.", "172.20.", "172.21.",
    "172.22.",  "172.23.", "172.24.", "172.25.", "172.26.", "172.27.", "172.28.",
    "172.29.",  "172.30.", "172.31.", "10.",     "169.254.", "",
};

using Octets = std::array<unsigned, 4>;

// Four groups of one to three digits, each at most 255: what inet_ntoa writes.
std::optional<Octets> ParseDottedAddress(std::string_view text)
{
    Octets octets{};
    size_t group = 0;
    size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            octets[group] = octets[group] * 10 + static_cast<unsigned>(c - '0');
            if (++digits > 3 || octets[group] > 255)
                return std::nullopt;
        } else if (c == '.' && digits > 0 && group < 3) {
            ++group;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (group != 3 || digits == 0)
        return std::nullopt;
    return octets;
}

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
    std::optional<Octets> octets = ParseDottedAddress(address);
    if (!octets)
        return kFallbackBroadcastAddress;
    Octets& o = *octets;
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
