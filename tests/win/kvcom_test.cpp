// Our KvCom.dll as the program uses it, to loopback only. One datagram per line, in order, is
// what every end-to-end test receives; here, the addresses it takes and the sends it refuses.
#include <gtest/gtest.h>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
TEST(KvComLibrary, SendsToADottedDecimalAddressOnlyAndNothingAfterClose)
{
    UdpListener listener("127.0.0.10");
    ASSERT_TRUE(listener.IsOpen());
    EXPECT_EQ(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10", listener.Port()), 0);
    KVCOM_close();
    // Nothing leaves after close, an address that is not dotted decimal is refused, and the
    // datagram that arrives is the one sent once the library has a valid address again. Its
    // groups are decimal even with leading zeros: 010 is 10, not the octal 8.
    EXPECT_NE(KVCOM_send("after close"), 0);
    EXPECT_NE(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.10 ", listener.Port()), 0);
    EXPECT_EQ(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.000.000.010", listener.Port()), 0);
    EXPECT_EQ(KVCOM_send("the one"), 0);
    EXPECT_EQ(listener.Receive(5000), "the one");
    KVCOM_close();
}
}
