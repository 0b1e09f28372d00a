// The real kvMidi.exe, started as a user would, each run with a data folder of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
constexpr UINT kComLineEvent = WM_USER + 20;

TEST(Startup, AnAlternateDataFolderGetsItsCfgFolder)
{
    TempDirectory folder;
    UdpListener listener("127.255.255.255");
    std::string seed = folder.Path() + "seed.ini";
    WriteWholeFile(seed, "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
                             std::to_string(listener.Port()) + "\r\n");
    std::string data = folder.Path() + "data";

    KvMidiProcess program;
    ASSERT_TRUE(program.Start("-a " + data + " -i " + seed));
    EXPECT_TRUE(WaitUntil([&] { return DirectoryExists(data + "\\cfg"); }, kDeadline));
    ASSERT_NE(program.ControllerWindow(kDeadline), nullptr);
    EXPECT_TRUE(program.Exit(kDeadline));
    EXPECT_FALSE(FileExists(data + "\\cfg\\kvMidi.ini"));
}

// The first run asks for the settings before anything else; leaving them without an
// address ends the program.
TEST(Startup, AFirstRunCancelledInTheSettingsDialogEndsTheProgram)
{
    TempDirectory folder;
    KvMidiProcess program;
    ASSERT_TRUE(program.Start("-a " + folder.Path()));
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindProcessDialog(program.ProcessId(), 1007)) != nullptr; }, kDeadline));
    EXPECT_TRUE(DirectoryExists(folder.Path() + "cfg"));
    ::PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.WaitForExit(kDeadline), 0);
    EXPECT_FALSE(FileExists(folder.Path() + "cfg\\kvMidi.ini"));
}

TEST(CommandPath, TheRemoteLineCarriesTheConfiguredTexts)
{
    TempDirectory folder;
    UdpListener listener("127.255.255.255");
    SeedIni(folder.Path(), listener.Port(),
            "ApplicationId=LOGGER\r\n[RemoteCmd]\r\nDestination=Desk 2\r\n[Midi]\r\nTextCmd=FOOT\r\n");

    KvMidiProcess program;
    ASSERT_TRUE(program.Start("--alternate-appdata " + folder.Path()));
    HWND controller = program.ControllerWindow(kDeadline);
    ASSERT_NE(controller, nullptr);
    ::PostMessageA(controller, kComLineEvent, 0, 1);
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), "REMOTE: \"LOGGER\" \"Desk 2\" \"FOOT/10/144/0/127\" 1");
    EXPECT_TRUE(program.Exit(kDeadline));
}
}
