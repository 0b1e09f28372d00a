// Our KvCom.dll as the program uses it: one datagram per line, to loopback only.
#include <gtest/gtest.h>

#include <string>

#include "remote/kvcom_api.h"
#include "tests/support/udp_listener.h"

namespace {
constexpr unsigned kDeadlineMs = 5000;

class KvComLibrary : public testing::Test {
protected:
    ~KvComLibrary() override { KVCOM_close(); }
};

struct Destination {
    const char* listenOn;
    const char* configured;   // groups are decimal even with leading zeros
};

TEST_F(KvComLibrary, DeliversEachLineAsOneDatagramToTheAddressAndPort)
{
    const Destination destinations[] = {
        { "127.0.0.1", "127.0.0.1" }, { "127.255.255.255", "127.255.255.255" }, { "127.0.0.10", "127.000.000.010" } };
    for (const Destination& d : destinations) {
        UdpListener listener(d.listenOn);
        ASSERT_TRUE(listener.IsOpen()) << d.listenOn;
        KVCOM_init(nullptr, WM_NETWORK_NOTIFY, d.configured, listener.Port());
        std::string line = "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1";
        KVCOM_send(line.c_str());
        line.assign(line.size(), 'x');   // the library keeps its own copy
        KVCOM_send("second");
        EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1")
            << d.configured;
        EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "second") << d.configured;
        KVCOM_close();
    }
}

TEST_F(KvComLibrary, SendsNothingBeforeInitAfterCloseOrToAnInvalidAddress)
{
    UdpListener listener("127.0.0.1");
    KVCOM_close();
    KVCOM_send("before init");
    KVCOM_send(nullptr);
    KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.1", listener.Port());
    KVCOM_close();
    KVCOM_close();
    KVCOM_send("after close");
    for (const char* address : { "not an address", "127.0.0", "127.0.0.1.5", "127.0.0.256", "127.0.0.1 ", "" }) {
        KVCOM_init(nullptr, WM_NETWORK_NOTIFY, address, listener.Port());
        KVCOM_send("lost");
    }
    // Initialising again moves to the new address: the one line that arrives.
    KVCOM_init(nullptr, WM_NETWORK_NOTIFY, "127.0.0.1", listener.Port());
    KVCOM_send("the one");
    EXPECT_EQ(listener.Receive(kDeadlineMs).value_or("<none>"), "the one");
}
}
