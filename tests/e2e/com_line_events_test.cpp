// COM switch events as the polling thread posts them to the real kvMidi.exe, and the REMOTE
// lines that reach the network for them.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
constexpr unsigned kReceiveMs = 20000;
constexpr UINT kComLineEvent = WM_USER + 20;

std::string RemoteLine(const std::string& command) { return "REMOTE: \"MIDI\" \"\" \"" + command + "\" 1"; }

struct LineEvent {
    WPARAM line;
    LPARAM level;
    const char* command;
};

// The program on its own data folder, with the [Com] lines given, and its controller.
class ComLineEvents : public testing::Test {
protected:
    void Start(const std::string& comLines)
    {
        ASSERT_TRUE(listener.IsOpen());
        SeedIni(folder.Path(), listener.Port(), "[Com]\r\n" + comLines);
        ASSERT_TRUE(program.Start("-a " + folder.Path()));
        controller = program.ControllerWindow(kDeadline);
        ASSERT_NE(controller, nullptr);
    }

    // Posts each event as the polling thread would and expects its REMOTE line.
    template <size_t N>
    void ExpectRemoteLines(const LineEvent (&events)[N])
    {
        for (const LineEvent& event : events) {
            ::PostMessageA(controller, kComLineEvent, event.line, event.level);
            EXPECT_EQ(listener.Receive(kReceiveMs).value_or("<none>"), RemoteLine(event.command));
        }
    }

    TempDirectory folder;
    UdpListener listener{ "127.255.255.255" };
    KvMidiProcess program;
    HWND controller = nullptr;
};

TEST_F(ComLineEvents, EveryLineAndLevelReachesTheNetworkWithTheConfiguredDevice)
{
    ASSERT_NO_FATAL_FAILURE(Start("Device=37\r\n"));
    const LineEvent events[] = {
        { 0, 1, "AUXMIDI/37/144/0/127" }, { 0, 0, "AUXMIDI/37/144/0/0" },
        { 1, 1, "AUXMIDI/37/144/1/127" }, { 1, 0, "AUXMIDI/37/144/1/0" },
        { 2, 1, "AUXMIDI/37/144/2/127" }, { 2, 0, "AUXMIDI/37/144/2/0" },
        { 3, 1, "AUXMIDI/37/144/3/127" }, { 3, 0, "AUXMIDI/37/144/3/0" },
    };
    ExpectRemoteLines(events);
    EXPECT_TRUE(program.Exit(kDeadline));
}

// The volume commands a muted line sends go to the shell, which under the tests has no audio
// to act on: what can be seen is that each REMOTE line still goes out and the program goes on.
TEST_F(ComLineEvents, AMutedLineStillSendsItsRemoteLineAndTheProgramGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(Start("Device=11\r\nCtsMute=1\r\nRiMute=1\r\n"));
    const LineEvent events[] = {
        { 3, 1, "AUXMIDI/11/144/3/127" }, { 3, 0, "AUXMIDI/11/144/3/0" },
        { 0, 1, "AUXMIDI/11/144/0/127" }, { 2, 1, "AUXMIDI/11/144/2/127" },
    };
    ExpectRemoteLines(events);
    EXPECT_TRUE(program.IsRunning());
    EXPECT_TRUE(program.Exit(kDeadline));
}
}
