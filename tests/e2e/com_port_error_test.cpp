// A COM switch port that cannot be opened when kvMidi.exe starts: the port error dialog, and
// what each of its three answers leaves in the INI file and in the running program.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/support/message_box_window.h"
#include "tests/support/settings_driver.h"

namespace {
// No device has this name, and the dialog must show it as it is, never as a format.
const char kPort[] = "COM%s%n%x%%";

HWND WaitForPortErrorDialog(DWORD processId, HWND previous = nullptr)
{
    HWND found = nullptr;
    WaitUntil([&] {
        return found = FindProcessWindowIf(processId, [&](HWND window) {
            return window != previous && ::IsWindowVisible(window) && WindowText(window) == "COM port opening error";
        });
    });
    return found;
}

struct Answer {
    int button;
    const char* storedEnable;   // what [Com] Enable says afterwards
};

TEST(ComPortError, EachAnswerOfTheDialogDisablesThePortForTheSessionOrForGood)
{
    // Retry asks again while the port fails, then Enter (the default button) disables it for
    // this run only; Esc disables it for good, keeping its name.
    const Answer answers[] = { { IDC_RETRY_PORT, "1" }, { IDCANCEL, "0" } };
    for (const Answer& a : answers) {
        SettingsRun run;
        SeedIni(run.Folder(), run.Listener().Port(), std::string("[Com]\r\nEnable=1\r\nPort=") + kPort + "\r\n");
        KvMidiProcess& program = run.Program();
        ASSERT_TRUE(program.Start("-a " + run.Folder()));
        HWND dialog = WaitForPortErrorDialog(program.ProcessId());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_PORT_ERROR_TEXT)), std::string("Unable to open ") + kPort + ".");
        ASSERT_TRUE(AnswerDialog(dialog, a.button));
        if (a.button == IDC_RETRY_PORT) {
            HWND again = WaitForPortErrorDialog(program.ProcessId(), dialog);
            ASSERT_NE(again, nullptr) << "Retry did not ask again";
            ASSERT_TRUE(AnswerDialog(again, IDOK));
        }
        // Start-up has gone on to its end once a switch event makes its way to the network.
        run.PostLineEvent(1, 1);
        EXPECT_EQ(run.Receive(), RemoteLine("MIDI", "", "AUXMIDI/10/144/1/127"));
        EXPECT_EQ(IniValue(run.IniPath(), "Com", "Enable"), a.storedEnable);
        EXPECT_EQ(IniValue(run.IniPath(), "Com", "Port"), kPort);
        EXPECT_TRUE(run.End());
    }
}
}
