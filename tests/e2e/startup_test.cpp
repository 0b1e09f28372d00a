// The real kvMidi.exe starting as a user starts it: the first run that asks for the settings,
// the folders and INI file named on the command line, one copy per INI file, and Restart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tests/support/program_run.h"

#include <tlhelp32.h>   // after windows.h

using namespace std::chrono_literals;

namespace {
// An INI file without an address opens the settings dialog before the panel shows. OK stores
// the address, in folders made along a relative path, or says once that it could not; then
// the panel shows.
TEST(Startup, AFirstRunAsksForTheSettingsAndSavesThemOrSaysItCannot)
{
    // Relative paths: the program runs in the test's folder. failure: the message of a save
    // that failed, or "".
    struct FirstRun { const char* arguments; const char* iniFile; const char* failure; };
    const FirstRun cases[] = {
        { "-a Sub\\Dir", "Sub\\Dir\\cfg\\kvMidi.ini", "" },
        { "-i Gone\\kv.ini", "Gone\\kv.ini", "Unable to save the settings to Gone\\kv.ini." },
    };
    for (const FirstRun& c : cases) {
        ProgramRun program;   // started in its folder, without an INI file
        ASSERT_TRUE(program.KvMidiProcess::Start(c.arguments, program.folder.Path()));
        SettingsDialog dialog = WaitForSettingsDialog(program.ProcessId());
        ASSERT_TRUE(dialog.IsOpen());
        HWND controller = FindProcessWindowIf(program.ProcessId(), IsController);
        ASSERT_TRUE(controller && !::IsWindowVisible(controller)) << "the panel shows only once start-up is over";
        dialog.SetText(IDC_BROADCAST_ADDRESS, "127.255.255.255");
        dialog.SetText(IDC_PORT, std::to_string(program.listener.Port()));
        dialog.Click(IDOK);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(controller) != FALSE; }));
        EXPECT_TRUE(!*c.failure || AnswerDialog(WaitForMessageBox(program.ProcessId(), c.failure), IDOK));
        ::PostMessageA(controller, WM_COM_LINE_EVENT, 0, 1);
        EXPECT_EQ(program.listener.Receive(), RemoteLine("MIDI", "", "AUXMIDI/10/144/0/127"));
        EXPECT_TRUE(!*c.failure || !WaitForMessageBox(program.ProcessId(), c.failure, 0ms)) << "one message per save";
        EXPECT_EQ(IniValue(program.folder.Path() + c.iniFile, "Network", "BroadcastAddress").value_or(""),
                  *c.failure ? "" : "127.255.255.255");
    }
}

std::vector<DWORD> KvMidiProcesses(DWORD except)
{
    std::vector<DWORD> found;
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry))
        if (_stricmp(entry.szExeFile, "kvMidi.exe") == 0 && entry.th32ProcessID != except)
            found.push_back(entry.th32ProcessID);
    return found;
}

// One copy runs per INI file: a second start on the default file, named in other letters,
// ends and opens the first copy's settings dialog; a copy on another file runs beside it.
// The port error dialog names the port as it is, never as a format. Restart with that
// settings dialog open cancels it, gives the claim up and starts exactly one new copy, which
// tries the port again; Esc there disables the port for good, keeping its name. (What a later
// save keeps of a port given up for this session only is the settings test's.)
TEST(Startup, OneCopyRunsPerIniFileThePortErrorDialogAndRestartHandsItOn)
{
    ASSERT_TRUE(KvMidiProcesses(0).empty()) << "another kvMidi.exe is running";
    const std::string port = "COM%s%n%x%%";
    // The default file of the test prefix (the installer's round trip keeps its own copy aside),
    // removed however the test ends, once the programs below have ended.
    const std::string karvo = std::string(std::getenv("ProgramData")) + "\\Karvo\\";
    const std::string defaultIni = karvo + "cfg\\kvMidi.ini";
    SeedIni(karvo, 9, "[Com]\r\nEnable=1\r\nPort=" + port + "\r\n");
    std::shared_ptr<void> removal(nullptr, [&](void*) { std::filesystem::remove(defaultIni); });

    KvMidiProcess first, second;
    ASSERT_TRUE(first.Start(""));
    HWND error = WaitForPortErrorDialog(first.ProcessId());
    EXPECT_EQ(WindowText(::GetDlgItem(error, IDC_PORT_ERROR_TEXT)), "Unable to open " + port + ".");
    ASSERT_TRUE(AnswerDialog(error, IDOK));
    ASSERT_TRUE(second.Start("-i " + karvo + "CFG\\KVMIDI.INI"));
    EXPECT_EQ(second.WaitForExit(), 0);
    SettingsDialog dialog = WaitForSettingsDialog(first.ProcessId());
    ASSERT_TRUE(dialog.IsOpen());
    ProgramRun beside;
    ASSERT_TRUE(beside.Start() && beside.HidePanel());

    // Restart closes the settings dialog as if cancelled: nothing typed is kept.
    dialog.SetText(IDC_DESTINATION, "Typed");
    ::PostMessageA(first.ControllerWindow(), WM_COMMAND, ID_RESTART, 0);
    EXPECT_EQ(first.WaitForExit(), 0);
    EXPECT_EQ(IniValue(defaultIni, "RemoteCmd", "Destination"), std::nullopt) << "the file was written";
    std::vector<DWORD> copies;
    EXPECT_TRUE(WaitUntil([&] { return (copies = KvMidiProcesses(beside.ProcessId())).size() == 1; }));
    for (DWORD id : copies) {
        KvMidiProcess copy(id);
        EXPECT_TRUE(AnswerDialog(WaitForPortErrorDialog(id), IDCANCEL));
        EXPECT_TRUE(copy.Exit());
    }
    EXPECT_EQ(IniValue(defaultIni, "Com", "Enable"), "0");
    EXPECT_EQ(IniValue(defaultIni, "Com", "Port"), port);
}
}
