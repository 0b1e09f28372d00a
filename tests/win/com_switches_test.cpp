// The COM switch monitor on a real (pseudo-terminal) port, and the port error dialog that
// StartComSwitchMonitor offers while the port fails to open, answered as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "framework/win_app.h"
#include "input/com_port_enumeration_win.h"
#include "input/com_switches_win.h"
#include "res/resource.h"
#include "tests/support/com_port_error_window.h"
#include "tests/support/kvmidi_process.h"
#include "tests/support/program_resources.h"
#include "tests/support/pseudo_terminal_port.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kDeadline = 20s;
// Missing ports and pseudo-terminal ports come from ranges of their own, above anything Wine
// maps by itself.
constexpr int kFirstMissingPort = 200;
constexpr int kFirstTerminalPort = 230;

std::string MissingPortName()
{
    int number = UnusedComPortNumber(kFirstMissingPort);
    return number ? "COM" + std::to_string(number) : "COM-none-free";
}

// StartComSwitchMonitor runs on a worker thread, as its dialog blocks; the test thread answers.
class OpenComSwitchesTest : public testing::Test {
protected:
    ~OpenComSwitchesTest() override
    {
        // A dialog left open by a failed expectation is dismissed, so that the worker ends.
        if (m_result.valid()) {
            while (m_result.wait_for(50ms) != std::future_status::ready) {
                if (HWND dialog = FindProcessWindow(::GetCurrentProcessId(), "#32770", kComPortErrorCaption))
                    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
        StopComSwitchMonitor(monitor);
    }

    void StartOpening()
    {
        m_result = std::async(std::launch::async, [this] { return StartComSwitchMonitor(monitor, config, nullptr, nullptr); });
    }

    HWND WaitForDialog(HWND previous = nullptr)
    {
        return WaitForComPortErrorDialog(::GetCurrentProcessId(), kDeadline, previous);
    }

    // The result once StartComSwitchMonitor has returned, or none when it has not within the deadline.
    std::optional<ComSwitchesResult> Result()
    {
        if (m_result.wait_for(kDeadline) != std::future_status::ready)
            return std::nullopt;
        return m_result.get();
    }

    ProgramResources resources;
    ComSwitchConfig config;
    std::unique_ptr<ComSwitchMonitor> monitor;

private:
    std::future<ComSwitchesResult> m_result;
};

struct ButtonPlace {
    int id;
    std::string text;
    RECT rect;
};

ButtonPlace Button(HWND dialog, int id)
{
    ButtonPlace place = { id, DialogItemText(dialog, id), {} };
    ::GetWindowRect(::GetDlgItem(dialog, id), &place.rect);
    return place;
}

TEST_F(OpenComSwitchesTest, TheErrorDialogNamesThePortAndOffersThreeAnswers)
{
    ASSERT_TRUE(resources.IsLoaded());
    config.Port = MissingPortName();
    StartOpening();
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(DialogItemText(dialog, IDC_PORT_ERROR_TEXT), "Unable to open " + config.Port + ".");
    EXPECT_NE(::SendDlgItemMessageA(dialog, IDC_PORT_ERROR_ICON, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0);

    ButtonPlace retry = Button(dialog, IDC_RETRY_PORT);
    ButtonPlace session = Button(dialog, IDOK);
    ButtonPlace permanent = Button(dialog, IDCANCEL);
    EXPECT_EQ(retry.text, "Retry opening this port");
    EXPECT_EQ(session.text, "Disable this port only\nfor this session");
    EXPECT_EQ(permanent.text, "Disable this port\npermanently");
    EXPECT_LT(retry.rect.right, session.rect.left);
    EXPECT_LT(session.rect.right, permanent.rect.left);
    for (const ButtonPlace& button : { retry, session, permanent }) {
        EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(dialog, button.id), GWL_STYLE) & BS_MULTILINE) << button.text;
        EXPECT_EQ(button.rect.top, session.rect.top) << button.text;
    }
    EXPECT_EQ(LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(::GetNextDlgTabItem(dialog, ::GetDlgItem(dialog, IDOK), FALSE), ::GetDlgItem(dialog, IDCANCEL));
    EXPECT_EQ(::GetNextDlgTabItem(dialog, ::GetDlgItem(dialog, IDCANCEL), FALSE), ::GetDlgItem(dialog, IDC_RETRY_PORT));

    bool explained = false;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char text[512] = {};
        ::GetWindowTextA(child, text, sizeof text);
        explained |= std::string(text) ==
                     "It may be used by another application, or not yet initialized by a third-party "
                     "application. If so, act accordingly and retry opening this port.";
    }
    EXPECT_TRUE(explained);

    PressKeyInDialog(dialog, VK_ESCAPE);
    EXPECT_EQ(Result(), ComSwitchesResult::DisabledPermanently);
}

TEST_F(OpenComSwitchesTest, TheErrorDialogNeverTakesThePortNameForAFormat)
{
    ASSERT_TRUE(resources.IsLoaded());
    config.Port = "COM%s%n%x%%";
    StartOpening();
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogItemText(dialog, IDC_PORT_ERROR_TEXT), "Unable to open COM%s%n%x%%.");
    PressKeyInDialog(dialog, VK_ESCAPE);
    EXPECT_EQ(Result(), ComSwitchesResult::DisabledPermanently);
}

TEST_F(OpenComSwitchesTest, EnterDisablesThePortForThisSessionOnly)
{
    ASSERT_TRUE(resources.IsLoaded());
    config.Port = MissingPortName();
    StartOpening();
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    PressKeyInDialog(dialog, VK_RETURN);
    EXPECT_EQ(Result(), ComSwitchesResult::DisabledForSession);
    EXPECT_EQ(config.Port, "");
    EXPECT_EQ(monitor, nullptr);
}

TEST_F(OpenComSwitchesTest, EscDisablesThePortPermanentlyAndKeepsItsName)
{
    ASSERT_TRUE(resources.IsLoaded());
    std::string port = MissingPortName();
    config.Port = port;
    StartOpening();
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    PressKeyInDialog(dialog, VK_ESCAPE);
    EXPECT_EQ(Result(), ComSwitchesResult::DisabledPermanently);
    EXPECT_EQ(config.Port, port);
    EXPECT_EQ(monitor, nullptr);
}

TEST_F(OpenComSwitchesTest, RetryTriesThePortAgainAndAsksAgainWhileItFails)
{
    ASSERT_TRUE(resources.IsLoaded());
    config.Port = MissingPortName();
    StartOpening();
    HWND first = WaitForDialog();
    ASSERT_NE(first, nullptr);
    ClickDialogButton(first, IDC_RETRY_PORT);
    HWND second = WaitForDialog(first);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DialogItemText(second, IDC_PORT_ERROR_TEXT), "Unable to open " + config.Port + ".");
    PressKeyInDialog(second, VK_RETURN);
    EXPECT_EQ(Result(), ComSwitchesResult::DisabledForSession);
}

TEST_F(OpenComSwitchesTest, RetryAfterThePortHasAppearedOpensItWithoutAnotherDialog)
{
    ASSERT_TRUE(resources.IsLoaded());
    int number = UnusedComPortNumber(kFirstTerminalPort);
    ASSERT_NE(number, 0);
    config.Port = "COM" + std::to_string(number);
    config.Cts = 1;
    StartOpening();
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);

    PseudoTerminalPort port(number);
    ASSERT_TRUE(port.WaitUntilReady());
    ClickDialogButton(dialog, IDC_RETRY_PORT);
    EXPECT_EQ(Result(), ComSwitchesResult::Open);
    EXPECT_EQ(FindProcessWindow(::GetCurrentProcessId(), "#32770", kComPortErrorCaption), nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->IsOpen());
    EXPECT_TRUE(monitor->IsPolling());
    EXPECT_EQ(config.Port, port.Name());
    EXPECT_TRUE(port.WaitUntilHeld());
    StopComSwitchMonitor(monitor);
    EXPECT_TRUE(port.WaitUntilReleased());
}

TEST_F(OpenComSwitchesTest, WithoutAPortNameNothingIsOpenedAndNoDialogShows)
{
    config.Cts = 1;
    StartOpening();
    EXPECT_EQ(Result(), ComSwitchesResult::Open);
    EXPECT_EQ(monitor, nullptr);
}

TEST_F(OpenComSwitchesTest, OpeningAndClosingReleaseTheCurrentMonitorsPort)
{
    int number = UnusedComPortNumber(kFirstTerminalPort);
    ASSERT_NE(number, 0);
    PseudoTerminalPort port(number);
    ASSERT_TRUE(port.WaitUntilReady());

    config.Port = port.Name();
    StartOpening();
    ASSERT_EQ(Result(), ComSwitchesResult::Open);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(port.WaitUntilHeld());

    // Opening again replaces the monitor, which holds the port in its turn.
    StartOpening();
    ASSERT_EQ(Result(), ComSwitchesResult::Open);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->IsOpen());
    EXPECT_TRUE(port.WaitUntilHeld());

    StopComSwitchMonitor(monitor);
    EXPECT_EQ(monitor, nullptr);
    EXPECT_TRUE(port.WaitUntilReleased());
}

TEST(OpenComSwitches, WhenTheErrorDialogCannotBeShownThePortIsDisabledForThisSession)
{
    // Without the program's resources there is no template to make the dialog from.
    ASSERT_EQ(::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDD_COMPORT_ERROR), RT_DIALOG), nullptr);
    struct Run {
        ComSwitchConfig config;
        std::unique_ptr<ComSwitchMonitor> monitor;
        std::promise<ComSwitchesResult> result;
    };
    auto run = std::make_shared<Run>();
    run->config.Port = MissingPortName();
    std::future<ComSwitchesResult> result = run->result.get_future();
    // Detached, so that a loop that never ends fails this test instead of hanging the binary.
    std::thread([run] { run->result.set_value(StartComSwitchMonitor(run->monitor, run->config, nullptr, nullptr)); }).detach();
    ASSERT_EQ(result.wait_for(kDeadline), std::future_status::ready);
    EXPECT_EQ(result.get(), ComSwitchesResult::DisabledForSession);
    EXPECT_EQ(run->config.Port, "");
}

class ComSwitchMonitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        int number = UnusedComPortNumber(kFirstTerminalPort);
        ASSERT_GE(number, 10);
        port = std::make_unique<PseudoTerminalPort>(number);
        ASSERT_TRUE(port->WaitUntilReady());
        config.Port = port->Name();
    }

    ComSwitchConfig config;
    std::unique_ptr<PseudoTerminalPort> port;
};

TEST_F(ComSwitchMonitorTest, WithNoLineWatchedThePortIsHeldOpenWithoutAThread)
{
    config.RtsOn = 1;
    ComSwitchMonitor monitor(nullptr);
    ASSERT_TRUE(monitor.Open(config));
    EXPECT_TRUE(monitor.IsOpen());
    EXPECT_FALSE(monitor.IsPolling());
    EXPECT_TRUE(port->WaitUntilHeld());
    EXPECT_TRUE(monitor.Close());
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_TRUE(port->WaitUntilReleased());
}

TEST_F(ComSwitchMonitorTest, AWatchedLineStartsThePollingThreadWhichCloseEndsBeforeThePortGoes)
{
    config.Ri = 1;
    config.DtrOn = 1;
    ComSwitchMonitor monitor(nullptr);
    ASSERT_TRUE(monitor.Open(config));
    EXPECT_TRUE(monitor.IsPolling());
    EXPECT_TRUE(port->WaitUntilHeld());
    EXPECT_TRUE(monitor.Close());
    EXPECT_FALSE(monitor.IsPolling());
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_TRUE(port->WaitUntilReleased());
}

TEST_F(ComSwitchMonitorTest, OpeningAnOpenMonitorChangesNothing)
{
    config.Cts = 1;
    ComSwitchMonitor monitor(nullptr);
    ASSERT_TRUE(monitor.Open(config));
    ComSwitchConfig other = config;
    other.Port = "COM-not-a-port";
    other.Cts = 0;
    EXPECT_TRUE(monitor.Open(other));
    EXPECT_TRUE(monitor.IsOpen());
    EXPECT_TRUE(monitor.IsPolling());
}

TEST_F(ComSwitchMonitorTest, AFailedOpenTriesThreeTimesAndLeavesTheMonitorReadyForAnother)
{
    ComSwitchConfig missing = config;
    missing.Port = MissingPortName();
    ComSwitchMonitor monitor(nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(monitor.Open(missing));
    // Three attempts, each followed by 100 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_FALSE(monitor.IsOpen());
    EXPECT_TRUE(monitor.Open(config));
    EXPECT_TRUE(monitor.IsOpen());
}

TEST(EnumerateComPorts, ReplacesTheProgramsListWithAscendingPortNames)
{
    g_comPortNames = { "stale" };
    const std::vector<std::string>& first = EnumerateComPorts();
    EXPECT_EQ(&first, &g_comPortNames);
    std::vector<std::string> copy = first;
    EXPECT_EQ(EnumerateComPorts(), copy);
    auto number = [](const std::string& name) { return std::stoi(name.substr(3)); };
    for (size_t i = 0; i < copy.size(); ++i) {
        EXPECT_EQ(copy[i].rfind("COM", 0), 0u) << copy[i];
        if (i > 0) {
            EXPECT_LE(number(copy[i - 1]), number(copy[i]));
        }
    }
}
}
