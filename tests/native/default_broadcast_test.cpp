#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/default_broadcast.h"

namespace {
struct Case {
    std::vector<std::string> hostAddresses;
    const char* expected;
};

std::string Describe(const std::vector<std::string>& addresses)
{
    std::string text;
    for (const std::string& address : addresses)
        text += address + ' ';
    return text;
}

void ExpectDefaults(const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(DefaultBroadcastAddress(c.hostAddresses), c.expected) << Describe(c.hostAddresses);
}

TEST(DefaultBroadcastAddress, GivesTheWorkedResults)
{
    ExpectDefaults({
        { { "192.168.1.20" }, "192.168.1.255" },
        { { "10.1.2.3" }, "10.255.255.255" },
        { { "172.20.5.6" }, "172.20.255.255" },
        { { "169.254.7.8" }, "169.254.255.255" },
        { { "203.0.113.5", "192.168.0.7" }, "192.168.0.255" },
        { { "203.0.113.5", "198.51.100.9" }, "198.51.100.255" },
    });
}

TEST(DefaultBroadcastAddress, PrefersPrivateNetworksInTheirOrder)
{
    ExpectDefaults({
        { { "192.168.0.7", "10.1.2.3" }, "192.168.0.255" },
        { { "10.1.2.3", "192.168.0.7" }, "192.168.0.255" },
        { { "10.1.2.3", "172.31.0.9" }, "172.31.255.255" },
        { { "172.31.0.9", "172.16.4.4" }, "172.16.255.255" },
        { { "172.16.4.4", "172.31.0.9" }, "172.16.255.255" },
        { { "169.254.7.8", "10.1.2.3" }, "10.255.255.255" },
        { { "10.1.2.3", "169.254.7.8" }, "10.255.255.255" },
        { { "169.254.7.8", "203.0.113.5" }, "169.254.255.255" },
    });
}

TEST(DefaultBroadcastAddress, TakesTheLatestAddressWithinAPrefix)
{
    ExpectDefaults({
        { { "192.168.1.20", "192.168.7.1", "203.0.113.5" }, "192.168.7.255" },
        { { "203.0.113.5", "198.51.100.9", "192.0.2.1" }, "192.0.2.255" },
    });
}

TEST(DefaultBroadcastAddress, ComparesPrefixesFromTheFirstCharacter)
{
    ExpectDefaults({
        { { "110.1.2.3", "198.51.100.9" }, "198.51.100.255" },
        { { "110.1.2.3", "169.254.7.8" }, "169.254.255.255" },
        { { "172.15.1.1", "172.32.1.1", "203.0.113.5" }, "203.0.113.255" },
        { { "1.192.168.1", "203.0.113.5" }, "203.0.113.255" },
    });
}

TEST(DefaultBroadcastAddress, FallsBackToLoopbackBroadcast)
{
    ExpectDefaults({
        { {}, "127.255.255.255" },
        { { "127.0.0.1" }, "127.255.255.255" },
        { { "127.0.1.1", "127.0.0.1" }, "127.255.255.255" },
        { { "not an address" }, "127.255.255.255" },
    });
}

TEST(ClassfulBroadcastAddress, SetsTheHostPartByTheFirstOctet)
{
    struct ClassCase { const char* address; const char* expected; };
    const ClassCase cases[] = {
        { "0.1.2.3", "0.255.255.255" },       { "127.0.0.1", "127.255.255.255" },
        { "128.1.2.3", "128.1.255.255" },     { "191.200.2.3", "191.200.255.255" },
        { "192.0.2.1", "192.0.2.255" },       { "224.1.2.3", "224.1.2.255" },
        { "255.255.255.255", "255.255.255.255" },
        { "1.2.3", "127.255.255.255" },
    };
    for (const ClassCase& c : cases)
        EXPECT_EQ(ClassfulBroadcastAddress(c.address), c.expected) << c.address;
}
}
