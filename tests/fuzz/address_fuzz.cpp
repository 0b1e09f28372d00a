// Any address text: the checks never crash, and whatever they accept, or the default-address
// function proposes, is an address they accept.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/default_broadcast.h"
#include "ui/settings_validation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (IsValidIpAddress(text) && !IsValidIpAddress(ClassfulBroadcastAddress(text)))
        std::abort();
    (void)EndsWith255(text);
    (void)CheckSettings(text, text, static_cast<int>(size) - 1);

    std::vector<std::string> hostAddresses;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        hostAddresses.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (!IsValidIpAddress(DefaultBroadcastAddress(hostAddresses)))
        std::abort();
    return 0;
}
