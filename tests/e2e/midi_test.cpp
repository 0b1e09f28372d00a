// The real kvMidi.exe with the virtual MIDI driver beside it: messages delivered to devices by
// the driver's own thread, as the system would, come out as REMOTE datagrams, and a device
// pulled and plugged back in at another number works again, by its name, without a word.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/message_box_window.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;
using virtual_midi::ShortMessage;

namespace {
constexpr auto kDeadline = 20s;

std::string Line(const std::string& command) { return "REMOTE: \"MIDI\" \"\" \"AUXMIDI/" + command + "\" 1"; }

TEST(MidiE2e, OpenDevicesSendTheirMessagesAndAPulledDeviceReturnsAtItsNewNumber)
{
    TempDirectory folder;
    UdpListener listener("127.255.255.255");
    SeedIni(folder.Path(), listener.Port(), "[Midi]\r\nDevices=0 1 2 \r\nFilterNoteOff=1\r\n");
    KvMidiProcess program;
    ASSERT_TRUE(program.Start("-a " + folder.Path(), std::string(virtual_midi::kConfigVariable) + "=Keys,Pads!open,Pedal"));

    HWND box = WaitForMessageBox(program.ProcessId(), "Cannot open MIDI device", kDeadline);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowCaption(box), "kvMidi");
    ASSERT_TRUE(DismissMessageBox(box, kDeadline));
    VirtualMidiDriver driver = VirtualMidiDriver::Find(program.ProcessId(), kDeadline);
    auto started = [&](unsigned device) { return driver.Query(device, virtual_midi::kIsStarted) == 1; };
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(2); }, kDeadline));
    ASSERT_NE(program.ControllerWindow(kDeadline), nullptr);

    // A NOTE ON of velocity 0 is a NOTE OFF, which the setting filters out.
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 60, 0), MidiShortMessage(0x90, 60, 100),
                                  MidiShortMessage(0xB0, 7, 0) }), 3);
    // A burst that fills a ring arrives whole and in order.
    std::vector<ShortMessage> burst;
    for (unsigned i = 0; i < 63; ++i)
        burst.push_back(MidiShortMessage(0x80, i, 1 + i));
    ASSERT_EQ(driver.Deliver(2, burst), 63);
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), Line("0/144/60/100"));
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), Line("0/176/7/0"));
    for (unsigned i = 0; i < 63; ++i)
        ASSERT_EQ(listener.Receive(20000).value_or("<none>"),
                  Line("2/128/" + std::to_string(i) + "/" + std::to_string(1 + i))) << i;

    // Pedal goes and comes back first in the list: it is open again within 3 s, as device 0.
    ASSERT_TRUE(driver.Plug(2, false));
    ASSERT_TRUE(driver.Plug(0, true));
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(1); }, 3s));
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 61, 1) }), 1);
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), Line("0/144/61/1"));
    EXPECT_EQ(WaitForMessageBox(program.ProcessId(), "Cannot open MIDI device", 0ms), nullptr);
    EXPECT_TRUE(program.Exit(kDeadline));
}
}
