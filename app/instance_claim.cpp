#include "instance_claim.h"

#include <cstdint>

std::string InstanceClaimName(std::string_view fullIniPath)
{
    // FNV-1a over the folded path: the path itself may be longer than an object name may be
    // and holds backslashes, which name a namespace there.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : fullIniPath) {
        unsigned char folded = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        hash = (hash ^ folded) * 1099511628211ull;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string name = "kvMidi-settings-";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += kDigits[(hash >> shift) & 0xF];
    return name;
}
