// The real kvMidi.exe starting as a user starts it: the first run that asks for the settings,
// the data folder and INI file named on the command line, the panel at start, and Restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "res/resource.h"
#include "res/settings_ids.h"
#include "tests/support/settings_driver.h"

using namespace std::chrono_literals;

namespace {
struct FirstRunCase {
    int answer;
    bool runsOn;
};

// An INI file without an address opens the settings dialog before anything else: Cancel ends
// the program without writing, OK with an address stores it and the program runs on.
TEST(Startup, AFirstRunAsksForTheSettingsFirst)
{
    for (const FirstRunCase& c : { FirstRunCase{ IDCANCEL, false }, FirstRunCase{ IDOK, true } }) {
        SettingsRun run;
        ::CreateDirectoryA((run.Folder() + "cfg").c_str(), nullptr);
        WriteWholeFile(run.IniPath(), "");
        ASSERT_TRUE(run.StartWithoutSeed());
        SettingsDialog dialog = WaitForSettingsDialog(run.Program().ProcessId());
        ASSERT_TRUE(dialog.IsOpen());
        EXPECT_EQ(dialog.Text(IDC_BROADCAST_ADDRESS), "");
        HWND controller = FindController(run.Program().ProcessId());
        EXPECT_FALSE(controller && ::IsWindowVisible(controller)) << "the panel shows only once start-up is over";

        dialog.SetText(IDC_BROADCAST_ADDRESS, "127.255.255.255");
        dialog.SetText(IDC_PORT, std::to_string(run.Listener().Port()));
        dialog.Click(c.answer);
        if (!c.runsOn) {
            EXPECT_EQ(run.Program().WaitForExit(kProgramDeadline), 0);
            EXPECT_EQ(ReadWholeFile(run.IniPath()), "");
            continue;
        }
        ASSERT_TRUE(dialog.WaitUntilClosed());
        run.PostLineEvent(0, 1);
        EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/10/144/0/127"));
        EXPECT_EQ(IniValue(run.IniPath(), "Network", "BroadcastAddress"), "127.255.255.255");
        EXPECT_TRUE(run.End());
    }
}

// "-a" makes the data folder's cfg folder, "-i" names the INI file read instead of the one
// there; the panel shows at start and hides by itself after five seconds.
TEST(Startup, TheCommandLineNamesTheDataFolderAndTheIniFile)
{
    TempDirectory folder;
    UdpListener listener("127.255.255.255");
    std::string seed = folder.Path() + "seed.ini";
    WriteWholeFile(seed, "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
                             std::to_string(listener.Port()) + "\r\n");
    std::string data = folder.Path() + "data";

    KvMidiProcess program;
    ASSERT_TRUE(program.Start("--alternate-appdata " + data + " -i " + seed));
    HWND controller = program.ControllerWindow(kProgramDeadline);
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }));
    auto shown = std::chrono::steady_clock::now();
    EXPECT_TRUE(DirectoryExists(data + "\\cfg"));
    PostComLineEvent(controller, 2, 1);
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), RemoteLine("MIDI", "", "AUXMIDI/10/144/2/127"));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(controller); }, 30s));
    EXPECT_GE(std::chrono::steady_clock::now() - shown, 4s);
    EXPECT_TRUE(program.Exit(kProgramDeadline));
    EXPECT_FALSE(FileExists(data + "\\cfg\\kvMidi.ini"));
}

// Another kvMidi.exe than the one given, or 0.
DWORD FindOtherKvMidi(DWORD except)
{
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (_stricmp(entry.szExeFile, "kvMidi.exe") == 0 && entry.th32ProcessID != except)
            return entry.th32ProcessID;
    }
    return 0;
}

// Restart ends the program even while the panel shows, and the new copy starts from the
// default location without the first copy's arguments.
TEST(Startup, RestartStartsANewCopyFromTheDefaultLocation)
{
    ASSERT_EQ(FindOtherKvMidi(0), 0u) << "another kvMidi.exe is running";
    UdpListener defaultListener("127.255.255.255");
    char programData[MAX_PATH] = {};
    ::ExpandEnvironmentStringsA("%ProgramData%", programData, sizeof programData);
    std::string defaultIni = std::string(programData) + "\\Karvo\\cfg\\kvMidi.ini";
    bool hadDefault = FileExists(defaultIni);
    std::string savedDefault = hadDefault ? ReadWholeFile(defaultIni) : std::string();
    WriteWholeFile(defaultIni, "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
                                   std::to_string(defaultListener.Port()) + "\r\n[Com]\r\nDevice=77\r\n");

    TempDirectory folder;
    SeedIni(folder.Path(), 9);
    KvMidiProcess first;
    ASSERT_TRUE(first.Start("-a " + folder.Path()));
    HWND controller = first.ControllerWindow(kProgramDeadline);
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }));
    ::PostMessageA(controller, WM_COMMAND, ID_RESTART, 0);
    EXPECT_EQ(first.WaitForExit(kProgramDeadline), 0);

    DWORD second = 0;
    HWND secondController = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        second = FindOtherKvMidi(first.ProcessId());
        return second && (secondController = FindController(second)) != nullptr;
    }));
    PostComLineEvent(secondController, 3, 1);
    EXPECT_EQ(defaultListener.Receive(20000).value_or("<none>"), RemoteLine("MIDI", "", "AUXMIDI/77/144/3/127"));

    UniqueKernelHandle secondProcess(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, second));
    EXPECT_TRUE(WaitUntil([&] {
        ::PostMessageA(secondController, WM_COMMAND, IDOK, 0);
        return ::WaitForSingleObject(secondProcess.Get(), 200) == WAIT_OBJECT_0;
    }));
    if (::WaitForSingleObject(secondProcess.Get(), 0) != WAIT_OBJECT_0)
        ::TerminateProcess(secondProcess.Get(), 1);
    if (hadDefault)
        WriteWholeFile(defaultIni, savedDefault);
    else
        ::DeleteFileA(defaultIni.c_str());
}
}
