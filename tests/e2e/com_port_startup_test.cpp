// A COM switch port that does not exist when kvMidi.exe starts: the port error dialog and what
// each way of leaving it leaves in the INI file.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "res/resource.h"
#include "tests/support/com_port_error_window.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/pseudo_terminal_port.h"
#include "tests/support/temp_directory.h"
#include "tests/support/udp_listener.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
constexpr UINT kComLineEvent = WM_USER + 20;
constexpr int kFirstMissingPort = 210;

// The [Com] section's text as the file holds it now.
std::string ComSection(const std::string& ini)
{
    std::string text = ReadWholeFile(ini);
    size_t start = text.find("[Com]");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find("\n[", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

class ComPortAtStartup : public testing::Test {
protected:
    void SetUp() override
    {
        int number = UnusedComPortNumber(kFirstMissingPort);
        ASSERT_NE(number, 0);
        port = "COM" + std::to_string(number);
        ASSERT_TRUE(listener.IsOpen());
        ini = SeedIni(folder.Path(), listener.Port(), "[Com]\r\nEnable=1\r\nPort=" + port + "\r\n");
    }

    HWND StartAndWaitForDialog()
    {
        if (!program.Start("-a " + folder.Path()))
            return nullptr;
        return WaitForComPortErrorDialog(program.ProcessId(), kDeadline);
    }

    TempDirectory folder;
    UdpListener listener{ "127.255.255.255" };
    std::string port;
    std::string ini;
    KvMidiProcess program;
};

TEST_F(ComPortAtStartup, EscDisablesThePortPermanentlyAndStoresEnableOff)
{
    HWND dialog = StartAndWaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogItemText(dialog, IDC_PORT_ERROR_TEXT), "Unable to open " + port + ".");
    PressKeyInDialog(dialog, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return ComSection(ini).find("Enable=0") != std::string::npos; }, kDeadline))
        << ComSection(ini);
    EXPECT_NE(ComSection(ini).find("Port=" + port), std::string::npos) << ComSection(ini);
    EXPECT_TRUE(program.Exit(kDeadline));
}

TEST_F(ComPortAtStartup, EnterDisablesItForThisRunOnlySoTheNextStartAsksAgain)
{
    std::string seeded = ReadWholeFile(ini);
    HWND dialog = StartAndWaitForDialog();
    ASSERT_NE(dialog, nullptr);
    PressKeyInDialog(dialog, VK_RETURN);

    // Start-up has gone on to its end once a switch event makes its way to the network.
    HWND controller = program.ControllerWindow(kDeadline);
    ASSERT_NE(controller, nullptr);
    ::PostMessageA(controller, kComLineEvent, 1, 1);
    EXPECT_EQ(listener.Receive(20000).value_or("<none>"), "REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/1/127\" 1");
    EXPECT_EQ(ReadWholeFile(ini), seeded);
    ASSERT_TRUE(program.Exit(kDeadline));

    KvMidiProcess again;
    ASSERT_TRUE(again.Start("-a " + folder.Path()));
    HWND second = WaitForComPortErrorDialog(again.ProcessId(), kDeadline);
    ASSERT_NE(second, nullptr);
    PressKeyInDialog(second, VK_RETURN);
    EXPECT_TRUE(again.Exit(kDeadline));
    EXPECT_EQ(ReadWholeFile(ini), seeded);
}
}
