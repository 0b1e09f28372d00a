#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/default_broadcast.h"

namespace {
// A private network first, in the order of the prefixes, the latest address within one; the
// host part set by the class of the first octet.
TEST(DefaultBroadcastAddress, PrefersPrivateNetworksInTheirOrderTheLatestWithinAPrefix)
{
    struct Case { std::vector<std::string> hostAddresses; const char* expected; };
    const Case cases[] = {
        { { "127.0.0.1" }, "127.255.255.255" },
        { { "128.1.2.3" }, "128.1.255.255" },
        { { "191.200.2.3" }, "191.200.255.255" },
        { { "224.1.2.3" }, "224.1.2.255" },
        { { "203.0.113.5", "198.51.100.9", "192.0.2.1" }, "192.0.2.255" },
        { { "10.1.2.3", "192.168.0.7", "192.168.7.1" }, "192.168.7.255" },
        { { "172.16.4.4", "172.31.0.9", "10.1.2.3" }, "172.16.255.255" },
        { { "169.254.7.8", "10.1.2.3" }, "10.255.255.255" },
        { { "203.0.113.5", "169.254.7.8" }, "169.254.255.255" },
        // Prefixes match from the first character, and 172.16 to 172.31 only.
        { { "110.1.2.3", "172.15.1.1", "172.32.1.1", "198.51.100.9" }, "198.51.100.255" },
        { {}, "127.255.255.255" },
        { { "not an address" }, "127.255.255.255" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultBroadcastAddress(c.hostAddresses), c.expected) << c.hostAddresses.size() << c.expected;
}
}
