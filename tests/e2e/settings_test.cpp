// The settings dialog of the real kvMidi.exe as one round trip: COM line changes, as the
// polling thread posts them, reach the network and show in the open dialog; what the checks
// refuse, with their messages, leaving every control as typed and the focus on the field at
// fault; what Apply hands to the running program at once, trimmed; what Cancel undoes and
// what only OK stores.
//
// Every address typed here begins with 127.
#include <gtest/gtest.h>

#include <optional>

#include "tests/support/program_run.h"
#include "tests/support/pseudo_terminal_port.h"

namespace {
TEST(Settings, LinesShowRefusedEntriesKeepTheDialogAsTypedApplyActsAtOnceCancelRestoresOkStores)
{
    ProgramRun run;
    UdpListener next;
    ASSERT_TRUE(next.IsOpen() && run.Start("ApplicationId=STORED\r\n[RemoteCmd]\r\nDestination=Desk\r\n[Midi]\r\n"
                                           "TextCmd=FOOT\r\n[Com]\r\nDevice=20\r\nCtsMute=1\r\n") && run.HidePanel());
    SettingsDialog dialog = run.OpenSettings();
    ASSERT_TRUE(dialog.IsOpen());

    // A muted line sends its REMOTE line like the others (its volume commands go to a shell
    // without audio here); the COM switches are off, so the LEDs start grey.
    EXPECT_TRUE(WaitUntil([&] { return ShownLed(dialog.Item(IDC_COM_LED_DSR)) == LedShown::Grey; }));
    const int leds[] = { IDC_COM_LED_CTS, IDC_COM_LED_DCD, IDC_COM_LED_DSR, IDC_COM_LED_RI };
    for (int line = 0; line < 4; ++line)
        for (int level : { 1, 0 }) {
            std::string command = "FOOT/20/144/" + std::to_string(line) + (level ? "/127" : "/0");
            EXPECT_EQ(run.LineEvent(line, level), RemoteLine("STORED", "Desk", command));
            LedShown led = level ? LedShown::Lit : LedShown::Dark;
            EXPECT_TRUE(WaitUntil([&] {
                return dialog.Text(IDC_LAST_COMMAND) == command && ShownLed(dialog.Item(leds[line])) == led;
            }))
                << command;
        }
    // "Settings..." again brings the open dialog forward: no second one opens inside it.
    ::PostMessageA(run.ControllerWindow(), WM_COMMAND, ID_SETTINGS, 0);

    // An edit elsewhere, of a field that the exchange reads after the port: whichever check
    // refuses, even the port's in the middle of the exchange, every control stays as typed.
    dialog.SetText(IDC_APPLICATION_ID, "TYPED");
    struct Refusal { int field; const char* text; const char* message; };
    const Refusal refusals[] = {
        { IDC_PORT, "65536", "Please enter an integer between 1 and 65535." },
        { IDC_BROADCAST_ADDRESS, "127.256.1.255", "Invalid IP address!" },
        { IDC_BROADCAST_ADDRESS, "127.0.0.1", "IP broadcast addresses normally end with 255.\nDo you confirm the usage of 127.0.0.1?" },
        { IDC_TEXT_COMMAND, "FOOT-1", "The text command can only contains letters and numbers" },
    };
    for (const Refusal& r : refusals) {
        std::string before = dialog.Text(r.field);
        dialog.SetText(r.field, r.text);
        dialog.Click(IDC_APPLY);
        // Under Wine No closes a plain message box as well as it declines the question.
        EXPECT_TRUE(run.Answer(r.message, IDNO) && dialog.WaitForSelectedField(r.field) &&
                    dialog.Text(IDC_APPLICATION_ID) == "TYPED")
            << r.text;
        dialog.SetText(r.field, before);
    }
    // Nothing was handed over: the next switch event still carries the stored values. The
    // "Settings..." above, posted before the first Apply, opened no second dialog.
    EXPECT_EQ(run.LineEvent(3, 1), RemoteLine("STORED", "Desk", "FOOT/20/144/3/127"));
    EXPECT_FALSE(FindProcessWindowIf(run.ProcessId(), [&](HWND w) {
        return w != dialog.Window() && ::GetDlgItem(w, IDC_BROADCAST_ADDRESS);
    }));

    // Apply: the texts act at once, trimmed as the file would give them back; the port only
    // after OK; the file is not written (a save writes every key, the application's too).
    dialog.SetText(IDC_APPLICATION_ID, "  TEMP ");
    dialog.SetText(IDC_DESTINATION, "Elsewhere ");
    dialog.SetText(IDC_TEXT_COMMAND, "BAR");
    dialog.SetText(IDC_COM_DEVICE, "255");
    dialog.SetText(IDC_PORT, std::to_string(next.Port()));
    dialog.Click(IDC_APPLY);
    // Posted after the click, so handled after Apply is through.
    EXPECT_EQ(run.LineEvent(1, 1), RemoteLine("TEMP", "Elsewhere", "BAR/255/144/1/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "ApplicationId"), "STORED");

    // Cancel after Apply: the stored settings come back.
    dialog.Click(IDCANCEL);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(run.LineEvent(1, 0), RemoteLine("STORED", "Desk", "FOOT/20/144/1/0"));

    // OK stores and moves the network to the new port; an empty text command is allowed.
    ASSERT_TRUE((dialog = run.OpenSettings()).IsOpen());
    dialog.SetText(IDC_TEXT_COMMAND, "");
    dialog.SetText(IDC_PORT, std::to_string(next.Port()));
    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(run.LineEvent(0, 1, &next), RemoteLine("STORED", "Desk", "AUXMIDI/20/144/0/127"));
    EXPECT_EQ(IniValue(run.IniPath(), "Network", "Port"), std::to_string(next.Port()));
    EXPECT_EQ(IniValue(run.IniPath(), "Midi", "TextCmd"), "");
}

// The port error dialog at start, the adapter missing: the settings that the tray opens
// meanwhile move the switches to another port, which an answer given afterwards leaves alone.
// Given up for this session only after Apply, that port stays stored as on by OK. Enabled
// again while it is still out, it is plugged in while the dialog waits: the dialog opens it.
TEST(Settings, ThePortErrorDialogsAnswerConcernsThePortItAskedAbout)
{
    const int number = UnusedComPortNumber(250);
    std::optional<PseudoTerminalPort> adapter(std::in_place, number);
    const std::string adapterName = adapter->Name();
    ProgramRun run;
    ASSERT_TRUE(run.Start("[Com]\r\nEnable=1\r\nPort=COM" + std::to_string(UnusedComPortNumber(210)) + "\r\n"));
    HWND error = WaitForPortErrorDialog(run.ProcessId());
    ASSERT_TRUE(error);
    // Opens the settings and chooses the adapter. Wine lists only the ports it mapped when it
    // started: the adapter is listed as Windows would.
    SettingsDialog dialog;
    auto name = reinterpret_cast<LPARAM>(adapterName.c_str());
    auto chooseAdapter = [&] {
        ASSERT_TRUE((dialog = run.OpenSettings()).IsOpen());
        dialog.Send(IDC_COM_PORT, CB_ADDSTRING, 0, name);
        EXPECT_NE(dialog.Send(IDC_COM_PORT, CB_SELECTSTRING, static_cast<WPARAM>(-1), name), CB_ERR);
        dialog.Click(IDC_COM_PORT, CBN_SELCHANGE);
    };
    chooseAdapter();
    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_TRUE(AnswerDialog(error, IDOK));   // "for this session"; it may have closed by itself
    ASSERT_TRUE(run.HidePanel());

    chooseAdapter();
    adapter.reset();   // pulled
    dialog.Click(IDC_APPLY);
    EXPECT_TRUE(AnswerDialog(WaitForPortErrorDialog(run.ProcessId()), IDOK));
    EXPECT_TRUE(WaitUntil([&] { return dialog.Send(IDC_COM_ENABLE, BM_GETCHECK, 0) == BST_UNCHECKED; }));
    dialog.Click(IDOK);
    ASSERT_TRUE(dialog.WaitUntilClosed());
    EXPECT_EQ(IniValue(run.IniPath(), "Com", "Enable"), "1");
    EXPECT_EQ(IniValue(run.IniPath(), "Com", "Port"), adapterName);

    chooseAdapter();
    dialog.Send(IDC_COM_ENABLE, BM_SETCHECK, BST_CHECKED);
    dialog.Click(IDC_APPLY);
    HWND asked = WaitForPortErrorDialog(run.ProcessId());
    adapter.emplace(number);
    EXPECT_TRUE(asked && WaitUntil([&] { return !::IsWindow(asked); })) << "the dialog did not open the port that came";
}
}
