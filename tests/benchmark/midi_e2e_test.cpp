// The real kvMidi.exe with the virtual MIDI driver beside it: messages delivered to devices by
// the driver's own thread, as the system would, come out as REMOTE datagrams; a device pulled
// and plugged back in at another position, with the settings dialog open, works again under its
// own number without a word, and OK leaves the choice as it was; and while the notification
// area stops answering and the window thread is busy, no message is lost.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "tests/benchmark/virtual_midi_client.h"
#include "tests/support/program_run.h"

namespace {
TEST(MidiE2e, DevicesSendAPulledDeviceKeepsItsNumberThroughTheOpenDialogAndABusyWindowThreadOrHungShellLosesNothing)
{
    ProgramRun run;
    ::SetEnvironmentVariableA(virtual_midi::kConfigVariable, "Keys,Pads!open,Pedal,D,E");   // the program inherits it
    ASSERT_TRUE(run.Start("[Midi]\r\nDevices=0 1 2 3 4 \r\n"));
    EXPECT_TRUE(run.Answer("Cannot open MIDI device", IDOK));
    VirtualMidiDriver driver = VirtualMidiDriver::Find(run.ProcessId());
    auto started = [&](unsigned device) { return driver.IsStarted(device); };
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(2) && started(3) && started(4); }));

    // With the settings dialog open, Pedal (device 2) goes and comes back first in the list: it
    // is open again at the next look and still sends as device 2, the others undisturbed; the
    // dialog shows it under 2, and OK with the boxes untouched keeps the choice as it was. (How
    // the messages are filtered and formatted is the sending thread's native test's.)
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());
    ASSERT_TRUE(driver.Plug(2, false));
    ASSERT_TRUE(driver.Plug(0, true));
    ASSERT_TRUE(WaitUntil([&] { return started(0) && started(1) && started(3) && started(4); }));
    MidiStreams pedal(driver, std::array{ 1u }, 1);   // message 0: status 0x80, data 0 0
    EXPECT_EQ(run.listener.Receive(), RemoteLine("MIDI", "", "AUXMIDI/2/128/0/0"));
    EXPECT_EQ(dialog.Text(IDC_DEVICE_0 + 2), "Dev. 2 - Pedal");
    dialog.Click(IDOK);
    EXPECT_TRUE(run.Answer("Cannot open MIDI device", IDOK));   // Pads, still chosen, still held elsewhere
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(IniValue(run.IniPath(), "Midi", "DeviceNames"), "0:Keys,1:Pads,2:Pedal,3:D,4:E");
    MidiStreams keys(driver, std::array{ 0u, 1u }, 1);
    EXPECT_EQ(run.listener.Receive(), RemoteLine("MIDI", "", "AUXMIDI/0/128/0/0"));

    // The thread of Wine's taskbar answers every call of the notification area; it is held
    // as a busy or restarting Explorer would hold it. Meanwhile the window thread hides the
    // About panel (which waits for a window manager under Wine) and saves the settings of an
    // OK, reopening and reinitialising, while each open device sends 200 messages a second
    // from the driver's thread, and the tray's animation asks the held shell for a new frame
    // every 800 ms: nothing is lost, as nothing on the command path waits on the shell or the
    // window thread.
    DWORD taskbarThread = ::GetWindowThreadProcessId(::FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    UniqueKernelHandle shell(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, taskbarThread));
    ASSERT_TRUE(shell && ::SuspendThread(shell.Get()) != static_cast<DWORD>(-1));
    // 2 s: enough to overflow the rings if the window thread waited on the shell.
    MidiStreams streams(driver, std::array{ 200u, 200u, 0u, 200u, 200u }, 2);
    std::atomic<bool> streaming{ true };
    std::atomic<int> received{ 0 };
    std::thread receiver([&] {   // until 2 s pass without a datagram once the streams have ended
        for (std::string got; (got = run.listener.Receive(2000)) != "<none>" || streaming;)
            received += got != "<none>";
    });
    EXPECT_TRUE(WaitUntil([&] { return streams.Called(0, 0) != 0; }));   // the actions begin in the stream
    ::PostMessageA(run.ControllerWindow(), WM_COMMAND, ID_ABOUT, 0);
    EXPECT_TRUE(run.HidePanel());
    dialog = run.OpenSettings();
    dialog.Click(IDOK);
    EXPECT_TRUE(run.Answer("Cannot open MIDI device", IDOK));
    EXPECT_TRUE(dialog.WaitUntilClosed());
    EXPECT_TRUE(WaitUntil([&] { return streams.Ended(); }));
    ::ResumeThread(shell.Get());
    streaming = false;
    receiver.join();
    int delivered = 0;   // what found its device started
    for (unsigned device : { 0u, 1u, 3u, 4u })
        for (unsigned k = 0; k < streams.Count(device); ++k)
            delivered += streams.Called(device, k) > 0;
    EXPECT_GE(delivered, 1200);
    EXPECT_EQ(received, delivered);
}
}
