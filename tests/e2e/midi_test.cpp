// The real kvMidi.exe with the virtual MIDI driver beside it: messages delivered to devices by
// the driver's own thread, as the system would, come out as REMOTE datagrams, and a device
// pulled and plugged back in at another number works again, by its name, without a word.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/program_run.h"

using namespace std::chrono_literals;

namespace {
TEST(MidiE2e, OpenDevicesSendTheirMessagesAndAPulledDeviceReturnsAtItsNewNumber)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start("[Midi]\r\nDevices=0 1 2 \r\nFilterNoteOff=1\r\n", "",
                          std::string(virtual_midi::kConfigVariable) + "=Keys,Pads!open,Pedal"));
    EXPECT_TRUE(run.Answer("Cannot open MIDI device", IDOK));
    VirtualMidiDriver driver = VirtualMidiDriver::Find(run.Pid(), kProgramDeadline);
    auto started = [&](unsigned device) { return driver.Query(device, virtual_midi::kIsStarted) == 1; };
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(2); }));

    // A NOTE ON of velocity 0 is a NOTE OFF, which the setting filters out.
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 60, 0), MidiShortMessage(0x90, 60, 100) }), 2);
    ASSERT_EQ(driver.Deliver(2, { MidiShortMessage(0xB0, 7, 0) }), 1);
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/0/144/60/100"));
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/2/176/7/0"));

    // Pedal goes and comes back first in the list: it is open again within 3 s, as device 0.
    ASSERT_TRUE(driver.Plug(2, false));
    ASSERT_TRUE(driver.Plug(0, true));
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(1); }, 3s));
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 61, 1) }), 1);
    EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/0/144/61/1"));
    EXPECT_EQ(WaitForMessageBox(run.Pid(), "Cannot open MIDI device", 0ms), nullptr);
}
}
