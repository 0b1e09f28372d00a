// Our KvCom.dll as the program uses it: one datagram per line, to loopback only.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
constexpr unsigned kDeadlineMs = 5000;
constexpr UINT kNotifyMessage = WM_USER + 3;

class KvComLibrary : public testing::Test {
protected:
    ~KvComLibrary() override { KVCOM_close(); }
};

TEST_F(KvComLibrary, DeliversEachLineAsOneDatagramTo127001)
{
    UdpListener listener("127.0.0.1");
    ASSERT_TRUE(listener.IsOpen());
    KVCOM_close();
    KVCOM_init(nullptr, kNotifyMessage, "127.0.0.1", listener.Port());
    KVCOM_send("REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1");
    KVCOM_send("second");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "second");
}

TEST_F(KvComLibrary, BroadcastsToTheLoopbackBroadcastAddress)
{
    UdpListener listener("127.255.255.255");
    ASSERT_TRUE(listener.IsOpen());
    KVCOM_init(nullptr, kNotifyMessage, "127.255.255.255", listener.Port());
    KVCOM_send("broadcast line");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "broadcast line");
}

TEST_F(KvComLibrary, CloseAndSendWithoutInitAreHarmless)
{
    KVCOM_close();
    KVCOM_close();
    KVCOM_send("nowhere");
    KVCOM_send(nullptr);
    UdpListener listener("127.0.0.1");
    KVCOM_init(nullptr, kNotifyMessage, "127.0.0.1", listener.Port());
    KVCOM_close();
    KVCOM_send("after close");
    EXPECT_FALSE(listener.Receive(300).has_value());
}

TEST_F(KvComLibrary, ReinitialisingMovesToTheNewPort)
{
    UdpListener first("127.0.0.1");
    UdpListener second("127.0.0.1");
    KVCOM_init(nullptr, kNotifyMessage, "127.0.0.1", first.Port());
    KVCOM_send("one");
    KVCOM_close();
    KVCOM_init(nullptr, kNotifyMessage, "127.0.0.1", second.Port());
    KVCOM_send("two");
    EXPECT_EQ(first.Receive(kDeadlineMs).value_or("<none>"), "one");
    EXPECT_EQ(second.Receive(kDeadlineMs).value_or("<none>"), "two");
    EXPECT_FALSE(first.Receive(200).has_value());
}

TEST_F(KvComLibrary, ASendNeedsNothingOfTheCallerAfterItReturns)
{
    UdpListener listener("127.0.0.1");
    KVCOM_init(nullptr, kNotifyMessage, "127.0.0.1", listener.Port());
    {
        std::string temporary = "temporary line";
        KVCOM_send(temporary.c_str());
        std::memset(temporary.data(), 'x', temporary.size());
    }
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "temporary line");
}

TEST_F(KvComLibrary, AddressGroupsAreDecimalEvenWithLeadingZeros)
{
    UdpListener listener("127.0.0.10");
    ASSERT_TRUE(listener.IsOpen());
    KVCOM_init(nullptr, kNotifyMessage, "127.000.000.010", listener.Port());
    KVCOM_send("decimal");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "decimal");
}

TEST_F(KvComLibrary, AnInvalidAddressSendsNothing)
{
    UdpListener listener("127.0.0.1");
    for (const char* address : { "not an address", "127.0.0", "127.0.0.1.5", "127.0.0.256", "127.0.0.1 ", "" }) {
        KVCOM_init(nullptr, kNotifyMessage, address, listener.Port());
        KVCOM_send("lost");
    }
    EXPECT_FALSE(listener.Receive(300).has_value());
}
}
