// Our KvCom.dll as the program uses it: one datagram per line, to loopback only.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
constexpr unsigned kDeadlineMs = 5000;
const char kLine[] = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1";

TEST(KvComLibrary, SendsEachLineAsOneDatagramToADottedDecimalAddressOnly)
{
    // Groups are decimal even with leading zeros: 010 is 10, not the octal 8.
    const std::pair<const char*, const char*> destinations[] = { { "127.255.255.255", "127.255.255.255" },
                                                                  { "127.0.0.10", "127.000.000.010" } };
    for (auto [listenOn, configured] : destinations) {
        UdpListener listener(listenOn);
        ASSERT_TRUE(listener.IsOpen()) << listenOn;
        EXPECT_EQ(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, configured, listener.Port()), 0) << configured;
        KVCOM_send(kLine);
        KVCOM_send("second");
        EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), kLine) << configured;
        EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "second") << configured;
    }
    // Nothing leaves after close or for an address that is not dotted decimal; initialising
    // again moves to the new address.
    UdpListener listener("127.0.0.1");
    KVCOM_close();
    EXPECT_NE(KVCOM_send("after close"), 0);
    EXPECT_NE(KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.1 ", listener.Port()), 0);
    EXPECT_NE(KVCOM_send("lost"), 0);
    KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.1", listener.Port());
    KVCOM_send("the one");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "the one");
    KVCOM_close();
}
}
