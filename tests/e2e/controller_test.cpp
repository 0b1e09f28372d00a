// The controller's life as a user sees it: the panel at start, Exit, Restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstring>
#include <string>

#include "tests/support/kvmidi_process.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
constexpr UINT kComLineEvent = WM_USER + 20;
constexpr WPARAM kRestartCommand = 32777;

// Another kvMidi.exe than the one given, or 0.
DWORD FindOtherKvMidi(DWORD except)
{
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry)) {
        if (_stricmp(entry.szExeFile, "kvMidi.exe") == 0 && entry.th32ProcessID != except)
            return entry.th32ProcessID;
    }
    return 0;
}

// The INI a copy started without arguments reads, inside the test prefix.
std::string DefaultIniPath()
{
    char folder[MAX_PATH] = {};
    ::ExpandEnvironmentStringsA("%ProgramData%", folder, sizeof folder);
    return std::string(folder) + "\\Karvo\\cfg\\kvMidi.ini";
}

// The program started on a seeded data folder, its panel up as after every start.
class ControllerPanel : public testing::Test {
protected:
    void SetUp() override
    {
        SeedIni(folder.Path(), 9);
        ASSERT_TRUE(program.Start("-a " + folder.Path()));
        controller = program.ControllerWindow(kDeadline);
        ASSERT_NE(controller, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsShown(); }, kDeadline));
    }

    bool IsShown() const { return ::IsWindowVisible(controller) != FALSE; }
    bool HidesWithinDeadline() const { return WaitUntil([&] { return !IsShown(); }, kDeadline); }

    TempDirectory folder;
    KvMidiProcess program;
    HWND controller = nullptr;
};

TEST_F(ControllerPanel, AFirstExitOnlyHidesThePanelAndASecondEndsTheProgram)
{
    ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(HidesWithinDeadline());
    EXPECT_TRUE(program.IsRunning());

    ::PostMessageA(controller, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(kDeadline), 0);
}

TEST_F(ControllerPanel, HidesByItselfAfterFiveSeconds)
{
    auto shown = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !IsShown(); }, 30s));
    EXPECT_GE(std::chrono::steady_clock::now() - shown, 4s);
    EXPECT_TRUE(program.IsRunning());
    EXPECT_TRUE(program.Exit(kDeadline));
}

TEST_F(ControllerPanel, EscapeAndAClickHideItWithoutEndingTheProgram)
{
    ::PostMessageA(controller, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(HidesWithinDeadline());

    ::PostMessageA(controller, WM_COMMAND, 32773, 0);   // About kvMidi...
    ASSERT_TRUE(WaitUntil([&] { return IsShown(); }, kDeadline));
    ::PostMessageA(controller, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(HidesWithinDeadline());
    EXPECT_TRUE(program.IsRunning());
    EXPECT_TRUE(program.Exit(kDeadline));
}

// Restart ends the program even while the panel shows, and the new copy starts from the
// default location without the first copy's arguments.
TEST(Controller, RestartStartsANewCopyFromTheDefaultLocation)
{
    ASSERT_EQ(FindOtherKvMidi(0), 0u) << "another kvMidi.exe is running";
    UdpListener defaultListener("127.255.255.255");
    std::string defaultIni = DefaultIniPath();
    std::string savedDefault = FileExists(defaultIni) ? ReadWholeFile(defaultIni) : std::string();
    bool hadDefault = FileExists(defaultIni);
    WriteWholeFile(defaultIni, "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=" +
                                   std::to_string(defaultListener.Port()) + "\r\n[Com]\r\nDevice=77\r\n");

    TempDirectory folder;
    SeedIni(folder.Path(), 9);
    KvMidiProcess first;
    ASSERT_TRUE(first.Start("-a " + folder.Path()));
    HWND controller = first.ControllerWindow(kDeadline);
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }, kDeadline));
    ::PostMessageA(controller, WM_COMMAND, kRestartCommand, 0);
    EXPECT_EQ(first.WaitForExit(kDeadline), 0);

    DWORD second = 0;
    ASSERT_TRUE(WaitUntil([&] { return (second = FindOtherKvMidi(first.ProcessId())) != 0; }, kDeadline));
    HWND secondController = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (secondController = FindProcessDialog(second, 1044)) != nullptr; }, kDeadline));
    ::PostMessageA(secondController, kComLineEvent, 3, 1);
    EXPECT_EQ(defaultListener.Receive(20000).value_or("<none>"), "REMOTE: \"MIDI\" \"\" \"AUXMIDI/77/144/3/127\" 1");

    UniqueKernelHandle secondProcess(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, second));
    EXPECT_TRUE(WaitUntil([&] {
        ::PostMessageA(secondController, WM_COMMAND, IDOK, 0);
        return ::WaitForSingleObject(secondProcess.Get(), 200) == WAIT_OBJECT_0;
    }, kDeadline));
    if (::WaitForSingleObject(secondProcess.Get(), 0) != WAIT_OBJECT_0)
        ::TerminateProcess(secondProcess.Get(), 1);

    if (hadDefault)
        WriteWholeFile(defaultIni, savedDefault);
    else
        ::DeleteFileA(defaultIni.c_str());
}
}
