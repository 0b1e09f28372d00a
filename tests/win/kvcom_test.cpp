// Our KvCom.dll as the program uses it: one datagram per line, to loopback only.
#include <gtest/gtest.h>

#include <string>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
constexpr unsigned kDeadlineMs = 5000;

TEST(KvComLibrary, SendsEachLineAsOneDatagramToADottedDecimalAddressOnly)
{
    // Groups are decimal even with leading zeros: 010 is 10, not the octal 8.
    UdpListener listener("127.0.0.10");
    ASSERT_TRUE(listener.IsOpen());
    EXPECT_EQ(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.000.000.010", listener.Port()), 0);
    const char line[] = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1";
    KVCOM_send(line);
    KVCOM_send("second");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), line);
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "second");
    // Nothing leaves after close or for an address that is not dotted decimal: the next
    // datagram is the one sent once the library has a valid address again.
    KVCOM_close();
    EXPECT_NE(KVCOM_send("after close"), 0);
    EXPECT_NE(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10 ", listener.Port()), 0);
    EXPECT_NE(KVCOM_send("lost"), 0);
    KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10", listener.Port());
    KVCOM_send("the one");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "the one");
    KVCOM_close();
}
}
