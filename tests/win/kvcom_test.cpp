// Our KvCom.dll as the program uses it, to loopback only. One datagram per line is what every
// end-to-end test receives; here, the addresses it takes and the sends it refuses.
#include <gtest/gtest.h>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
TEST(KvComLibrary, SendsToADottedDecimalAddressOnlyAndNothingAfterClose)
{
    // Groups are decimal even with leading zeros: 010 is 10, not the octal 8.
    UdpListener listener("127.0.0.10");
    ASSERT_TRUE(listener.IsOpen());
    EXPECT_EQ(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.000.000.010", listener.Port()), 0);
    EXPECT_EQ(KVCOM_send("first"), 0);
    // Nothing leaves after close or for an address that is not dotted decimal: the next
    // datagram is the one sent once the library has a valid address again.
    KVCOM_close();
    EXPECT_NE(KVCOM_send("after close"), 0);
    EXPECT_NE(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10 ", listener.Port()), 0);
    EXPECT_NE(KVCOM_send("lost"), 0);
    KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10", listener.Port());
    KVCOM_send("the one");
    EXPECT_EQ(listener.Receive(5000).value_or("<none>"), "first");
    EXPECT_EQ(listener.Receive(5000).value_or("<none>"), "the one");
    KVCOM_close();
}
}
