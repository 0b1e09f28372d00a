// The real kvMidi.exe with the virtual MIDI driver beside it: messages delivered to a device
// by the driver's own thread, as the system would, come out as REMOTE datagrams.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/kvmidi_process.h"
#include "tests/support/message_box_window.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"
#include "tests/virtual_midi/virtual_midi_client.h"

using namespace std::chrono_literals;
using virtual_midi::ShortMessage;

namespace {
constexpr auto kDeadline = 20s;
constexpr unsigned kReceiveMs = 20000;
constexpr const char* kFiveDevices = "Keys,Pads,Pedal,Drums,Wind";

std::string Line(const std::string& application, const std::string& destination, const std::string& command)
{
    return "REMOTE: \"" + application + "\" \"" + destination + "\" \"" + command + "\" 1";
}

std::string DefaultLine(const std::string& command) { return Line("MIDI", "", command); }

// One run of the program with its own data folder, its own listener and the given devices.
class MidiProgram {
public:
    MidiProgram(const std::string& devices, const std::string& iniLines) : m_listener("127.255.255.255")
    {
        SeedIni(m_folder.Path(), m_listener.Port(), iniLines);
        m_started = m_program.Start("-a " + m_folder.Path(), std::string(virtual_midi::kConfigVariable) + "=" + devices);
        if (m_started)
            m_driver = VirtualMidiDriver::Find(m_program.ProcessId(), kDeadline);
    }
    ~MidiProgram()
    {
        if (m_program.IsRunning() && !m_program.Exit(kDeadline))
            m_program.Kill();
    }

    // True once the program runs with the driver loaded and each device open and started.
    bool Ready(const std::vector<unsigned>& devices)
    {
        if (!m_started || !m_listener.IsOpen() || !m_driver.IsFound())
            return false;
        return WaitUntil([&] {
            for (unsigned device : devices)
                if (m_driver.Query(device, virtual_midi::kIsStarted) != 1)
                    return false;
            return true;
        }, kDeadline) && m_program.ControllerWindow(kDeadline) != nullptr;
    }

    int Deliver(unsigned device, const std::vector<ShortMessage>& messages)
    {
        return m_driver.Deliver(device, messages);
    }
    std::string Receive() { return m_listener.Receive(kReceiveMs).value_or("<none>"); }

    KvMidiProcess& Program() { return m_program; }
    const VirtualMidiDriver& Driver() const { return m_driver; }

private:
    TempDirectory m_folder;
    UdpListener m_listener;
    KvMidiProcess m_program;
    VirtualMidiDriver m_driver;
    bool m_started = false;
};

// A message sent after the ones under test: the next datagram proves nothing else came
// between, without waiting for an absence.
const ShortMessage kSentinel = MidiShortMessage(0xB0, 120, 0);
const std::string kSentinelCommand = "AUXMIDI/0/176/120/0";

TEST(MidiE2e, ANoteOnOfDeviceZeroBecomesTheDefaultRemoteLine)
{
    MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=0 \r\n");
    ASSERT_TRUE(run.Ready({ 0 }));
    ASSERT_EQ(run.Deliver(0, { MidiShortMessage(0x90, 60, 100, 1234), kSentinel }), 2);
    EXPECT_EQ(run.Receive(), "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1");
    EXPECT_EQ(run.Receive(), DefaultLine(kSentinelCommand));
}

TEST(MidiE2e, TheDeviceNumberIsTheSecondField)
{
    MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=0 4 \r\n");
    ASSERT_TRUE(run.Ready({ 0, 4 }));
    ASSERT_EQ(run.Deliver(4, { MidiShortMessage(0x90, 60, 100) }), 1);
    EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/4/144/60/100"));
    ASSERT_EQ(run.Deliver(0, { MidiShortMessage(0x91, 61, 101) }), 1);
    EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/145/61/101"));
    EXPECT_EQ(run.Driver().Query(1, virtual_midi::kOpenAttempts), 0);
}

TEST(MidiE2e, TheConfiguredTextsFillTheLine)
{
    struct Case { const char* iniLines; const char* expected; };
    const Case cases[] = {
        { "ApplicationId=\r\n[Midi]\r\nDevices=0 \r\nTextCmd=\r\n",
          "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1" },
        { "ApplicationId=LOGGER\r\n[RemoteCmd]\r\nDestination=Desk 2\r\n[Midi]\r\nDevices=0 \r\nTextCmd=FOOT\r\n",
          "REMOTE: \"LOGGER\" \"Desk 2\" \"FOOT/0/144/60/100\" 1" },
    };
    for (const Case& c : cases) {
        MidiProgram run(kFiveDevices, c.iniLines);
        ASSERT_TRUE(run.Ready({ 0 }));
        ASSERT_EQ(run.Deliver(0, { MidiShortMessage(0x90, 60, 100) }), 1);
        EXPECT_EQ(run.Receive(), c.expected);
    }
}

TEST(MidiE2e, TheNoteOffFilterDropsOnlyNoteOnWithVelocityZero)
{
    const std::vector<ShortMessage> messages = {
        MidiShortMessage(0x90, 60, 0), MidiShortMessage(0x80, 60, 0), MidiShortMessage(0x90, 60, 1),
        MidiShortMessage(0xB0, 7, 0), kSentinel,
    };
    {
        MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=0 \r\nFilterNoteOff=1\r\n");
        ASSERT_TRUE(run.Ready({ 0 }));
        ASSERT_EQ(run.Deliver(0, messages), 5);
        EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/128/60/0"));
        EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/144/60/1"));
        EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/176/7/0"));
        EXPECT_EQ(run.Receive(), DefaultLine(kSentinelCommand));
    }
    {
        MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=0 \r\nFilterNoteOff=0\r\n");
        ASSERT_TRUE(run.Ready({ 0 }));
        ASSERT_EQ(run.Deliver(0, { messages[0] }), 1);
        EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/144/60/0"));
    }
}

TEST(MidiE2e, TimingClockAndActiveSensingNeverArrive)
{
    MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=0 \r\n");
    ASSERT_TRUE(run.Ready({ 0 }));
    ASSERT_EQ(run.Deliver(0, { MidiShortMessage(0xF8, 0, 0), MidiShortMessage(0xFE, 0, 0), MidiShortMessage(0xF8, 0, 0),
                               kSentinel }), 4);
    EXPECT_EQ(run.Receive(), DefaultLine(kSentinelCommand));
}

TEST(MidiE2e, ABurstOfSixtyThreeArrivesWholeAndInOrder)
{
    MidiProgram run(kFiveDevices, "[Midi]\r\nDevices=2 \r\n");
    ASSERT_TRUE(run.Ready({ 2 }));
    std::vector<ShortMessage> burst;
    for (unsigned i = 0; i < 63; ++i)
        burst.push_back(MidiShortMessage(0x90, i, 1 + i, i));
    ASSERT_EQ(run.Deliver(2, burst), 63);
    for (unsigned i = 0; i < 63; ++i)
        ASSERT_EQ(run.Receive(), DefaultLine("AUXMIDI/2/144/" + std::to_string(i) + "/" + std::to_string(1 + i))) << i;
}

TEST(MidiE2e, OnlyDevicesZeroToFourAreOfferedAndOpened)
{
    MidiProgram run("A,B,C,D,E,F,G", "[Midi]\r\nDevices=0 4 5 6 \r\n");
    ASSERT_TRUE(run.Ready({ 0, 4 }));
    for (unsigned device = 0; device < 5; ++device)
        EXPECT_EQ(run.Driver().Query(device, virtual_midi::kCapsReads), 1) << device;
    for (unsigned device = 5; device < 7; ++device) {
        EXPECT_EQ(run.Driver().Query(device, virtual_midi::kCapsReads), 0) << device;
        EXPECT_EQ(run.Driver().Query(device, virtual_midi::kOpenAttempts), 0) << device;
    }
    ASSERT_EQ(run.Deliver(4, { MidiShortMessage(0x90, 60, 100) }), 1);
    EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/4/144/60/100"));
}

TEST(MidiE2e, ADeviceWithoutANameIsNeverOpened)
{
    MidiProgram run("Keys,,Pedal", "[Midi]\r\nDevices=0 1 2 \r\n");
    ASSERT_TRUE(run.Ready({ 0, 2 }));
    EXPECT_EQ(run.Driver().Query(1, virtual_midi::kOpenAttempts), 0);
    ASSERT_EQ(run.Deliver(2, { MidiShortMessage(0x90, 60, 100) }), 1);
    EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/2/144/60/100"));
}

TEST(MidiE2e, ADeviceThatFailsShowsItsMessageAndTheOthersWork)
{
    struct Case { const char* devices; const char* text; };
    const Case cases[] = {
        { "Keys,Pads!open", "Cannot open MIDI device" },
        { "Keys,Pads!start", "Cannot start MIDI device" },
    };
    for (const Case& c : cases) {
        MidiProgram run(c.devices, "[Midi]\r\nDevices=0 1 \r\n");
        HWND box = WaitForMessageBox(run.Program().ProcessId(), c.text, kDeadline);
        ASSERT_NE(box, nullptr) << c.text;
        EXPECT_EQ(WindowCaption(box), "kvMidi");
        ASSERT_TRUE(DismissMessageBox(box, kDeadline));
        ASSERT_TRUE(run.Ready({ 0 }));
        EXPECT_EQ(run.Driver().Query(1, virtual_midi::kOpenAttempts), 1);
        EXPECT_EQ(run.Driver().Query(1, virtual_midi::kIsOpen), 0);
        ASSERT_EQ(run.Deliver(0, { MidiShortMessage(0x90, 60, 100) }), 1);
        EXPECT_EQ(run.Receive(), DefaultLine("AUXMIDI/0/144/60/100"));
    }
}
}
