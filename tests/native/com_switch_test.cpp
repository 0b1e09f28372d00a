// The COM switches: which serial ports the settings dialog offers, and in which order; opening
// the port while the user retries or gives it up, or the port comes by itself, or the tray's
// settings start the switches anew, and what "Only for this session" keeps in the file (the
// error text's placeholders are those of the text rules, tested with them; each answer's effect
// on the running program is the end-to-end test's); what the COM polling thread posts for the
// modem-status words it reads, and how it loses and reopens a port that goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/com_lines.h"
#include "input/com_port_names.h"
#include "input/com_switch_opening.h"
#include "input/com_switch_polling.h"

namespace {
using namespace std::string_literals;
using Names = std::vector<std::string>;

TEST(ComPortNames, OfADeviceListTakeTheNumberAfterComInAnyCaseSortedUntilTheEmptyNameOrTheListsEnd)
{
    // "COM4" and "COM" end without the zero byte: the list's length ends them.
    const std::pair<std::string, Names> cases[] = {
        { "COM10\0cOm3X\0COM007\0\0COM9\0"s, { "COM3", "COM7", "COM10" } },
        { "C:\0XCOM1\0LPT1\0COM\0COM0\0COM256\0COM-1\0COM99999999999999999999\0COMX\0com255\0"s, { "COM255" } },
        { "COM4"s, { "COM4" } }, { "COM"s, {} }, { ""s, {} },
    };
    for (const auto& [list, names] : cases)
        EXPECT_EQ(ComPortNames(ComPortNumbersInDeviceNames(list)), names) << list;
}

TEST(ComPortNames, OfTheProbesAreThoseThatExistAndTheListIsReadIntoABufferDoublingUpTo16Mb)
{
    auto probe = [](int n) { return n == 1 || n == 255 ? ComPortProbe::Opened : n == 7 ? ComPortProbe::AccessDenied : ComPortProbe::Missing; };
    EXPECT_EQ(ProbeComPortNumbers(probe), (std::vector<int>{ 1, 7, 255 }));
    for (std::size_t fits : { kDeviceNamesMaxSize, kDeviceNamesMaxSize + 1 }) {
        std::vector<std::size_t> sizes;
        std::string list = ReadDeviceNameList([&](std::vector<char>& buffer) {
            sizes.push_back(buffer.size());
            return DeviceNamesRead{ buffer.size() < fits ? 0 : kDeviceNamesMaxSize + 9, buffer.size() < fits };
        });
        EXPECT_EQ(std::pair(list.size(), sizes.size()), std::pair(fits > kDeviceNamesMaxSize ? 0 : kDeviceNamesMaxSize, 8ul));
        EXPECT_EQ(sizes.back(), 0x1FFFFu * 128);
    }
}

constexpr std::intptr_t kTick = 0;           // 2 s pass with the dialog shown
constexpr std::intptr_t kSupersede = -2;     // the tray's settings start the switches anew

// Each open comes from the script; the dialog takes its events until one ends it.
struct ScriptedOpening : PortOpening {
    bool TryOpen() override { return Take(opens); }
    bool TryOpenOnce() override { return Take(opens); }
    bool Superseded() const override { return superseded; }
    PortErrorAnswer AskAfterFailure() override
    {
        for (;;) {
            std::intptr_t event = Take(events);
            if (event == kSupersede)
                superseded = true;
            else if (event != kTick)
                return PortErrorAnswerFor(event);
            else if (auto answer = RetryWhileAsking(*this))
                return *answer;
        }
    }
    template <typename T>
    static T Take(std::deque<T>& script) { return [&](T next) { return script.pop_front(), next; }(script.front()); }

    std::deque<bool> opens;
    std::deque<std::intptr_t> events;
    bool superseded = false;
};

TEST(ComSwitchOpening, AsksAfterEveryFailureRetriesMeanwhileAndLeavesANewerStartAlone)
{
    using R = ComSwitchesResult;
    const struct { std::deque<bool> opens; std::deque<std::intptr_t> events; R result; } cases[] = {
        { { true }, {}, R::Open },
        { { false, false, true }, { kPortErrorRetry, kPortErrorRetry }, R::Open },
        { { false }, { kPortErrorDisableForSession }, R::DisabledForSession },
        { { false, false }, { kPortErrorRetry, kPortErrorDisablePermanently }, R::DisabledPermanently },
        { { false }, { -1 }, R::DisabledForSession },   // a dialog that could not be shown, or any other result
        { { false, false, true }, { kTick, kTick }, R::OpenedWhileAsking },
        { { false }, { kSupersede, kPortErrorDisableForSession }, R::Superseded },
        { { false, false }, { kTick, kSupersede, kTick }, R::Superseded },   // the old port is not tried again
    };
    for (const auto& c : cases) {
        ScriptedOpening opening;
        opening.opens = c.opens, opening.events = c.events;
        EXPECT_EQ(OpenOrAskUser(opening), c.result) << c.events.size();
        EXPECT_TRUE(opening.opens.empty() && opening.events.empty()) << "every step was taken";
    }
}

TEST(ComSwitchOpening, ForThisSessionOnlyStaysStoredAsOnUntilTheUserEnablesOrDisablesAgain)
{
    using R = ComSwitchesResult;
    const struct {
        std::vector<std::pair<R, std::string>> answers;   // each for a start of the port named
        int running, stored;                              // the enable flags after them, and as saved
        std::string storedPort;
        int com3Loaded;   // the enable flag a file with COM3 on runs with (its port cleared when off)
    } cases[] = {
        { { { R::DisabledForSession, "COM3" } }, 0, 1, "COM3", 0 },
        { { { R::DisabledForSession, "COM3" }, { R::Open, "COM4" } }, 1, 1, "COM4", 1 },
        { { { R::DisabledForSession, "COM3" }, { R::DisabledPermanently, "COM4" } }, 0, 0, "COM4", 1 },
        { { { R::DisabledForSession, "COM4" }, { R::Superseded, "COM3" } }, 0, 1, "COM4", 1 },
    };
    for (const auto& c : cases) {
        SessionDisabledPort session;
        Settings running;
        for (const auto& [answer, port] : c.answers) {
            if (answer != R::Superseded)
                running.m_bComEnabled = 1, running.m_comConfig.Port = port;
            session.TakeAnswer(answer, port, running);
        }
        Settings stored = session.ToStore(running);
        Settings com3;
        com3.m_bComEnabled = 1, com3.m_comConfig.Port = "COM3";
        session.AfterLoading(com3);
        EXPECT_EQ(running.m_bComEnabled, c.running) << c.answers.size();
        EXPECT_EQ(std::pair(stored.m_bComEnabled, stored.m_comConfig.Port), std::pair(c.stored, c.storedPort));
        EXPECT_EQ(std::pair(com3.m_bComEnabled, com3.m_comConfig.Port), std::pair(c.com3Loaded, std::string(c.com3Loaded ? "COM3" : "")));
    }
}

constexpr std::uint32_t kCts = kComLines[0].statusBit, kDcd = kComLines[1].statusBit;
constexpr std::uint32_t kDsr = kComLines[2].statusBit, kRi = kComLines[3].statusBit;
constexpr std::nullopt_t kFails = std::nullopt;
constexpr ComLineFlags kAll = { 1, 1, 1, 1 };
using Trace = std::vector<std::string>;

struct Case {
    const char* rule;
    std::deque<std::optional<std::uint32_t>> reads;   // the last one repeats; nullopt: fails
    std::uint64_t stopAt;                             // ms on the port's clock, 10 ms a pause
    Trace trace;                                      // "<ms> <what>"
    ComLineFlags monitored = kAll;
    std::deque<bool> posts = { true };   // the answers to the posts and reopens in turn, the last repeating
    std::uint64_t pause = kComPollMilliseconds;
};

// Each answer comes from the case's script; every call but a read is traced with the time.
class ScriptedPort : public ComSwitchPollPort {
public:
    ScriptedPort(const Case& c, std::atomic<bool>& stop) : m_case(c), m_stop(stop) { m_stop = false; }

    bool ReadModemStatus(std::uint32_t& status) override
    {
        m_bOpen || Log("read while closed");
        std::optional<std::uint32_t> next = Next(m_case.reads);
        return status = next.value_or(0), next.has_value();
    }
    bool PostLineEvent(const ComLineEvent& e) override { return Posted("post " + std::to_string(e.line) + "=" + std::to_string(e.level)); }
    bool PostPortState(bool present) override { return Posted(present ? "back" : "lost"); }
    void ClearErrors() override { Log("clear errors"); }
    void ClosePort() override { m_bOpen = !Log("closed"); }
    bool ReopenPort() override { return m_bOpen = Posted("reopen"); }
    void WaitPollInterval() override { m_stop = (now += m_case.pause) >= m_case.stopAt; }
    std::uint64_t NowMilliseconds() override { return now; }

    Trace trace;
    std::uint64_t now = 0;

private:
    template <typename T>
    static T Next(std::deque<T>& script) { return [&](T next) { return script.size() > 1 && (script.pop_front(), true), next; }(script.front()); }
    bool Posted(const std::string& what) { return [&](bool ok) { return Log(what + (ok ? "" : " failed")), ok; }(Next(m_case.posts)); }
    bool Log(const std::string& what) { return trace.push_back(std::to_string(now) + " " + what), true; }

    Case m_case;
    std::atomic<bool>& m_stop;
    bool m_bOpen = true;
};

TEST(ComSwitchPolling, PostsEachLevelChangeOnceAndReopensALostPortEveryTwoSeconds)
{
    const Case cases[] = {
        { "CTS active at start, then released", { kCts, kCts, 0 }, 30, { "0 post 0=1", "20 post 0=0" }, { 1, 0, 0, 0 } },
        { "inactive at start: nothing; DCD and RI between two polls: DCD first", { 0, kDcd | kRi }, 20, { "10 post 1=1", "10 post 3=1" } },
        { "all four at once in line order", { kRi | kDsr | kDcd | kCts }, 10,
          { "0 post 0=1", "0 post 1=1", "0 post 2=1", "0 post 3=1" } },
        { "only the watched lines of a combined change", { kCts | kDcd | kDsr | kRi }, 10, { "0 post 1=1", "0 post 3=1" },
          { 0, 1, 0, 1 } },
        { "closing while a switch is held gives no release", { kCts }, 30, { "0 post 0=1" } },
        { "a failed read is tried again 10 ms later, its errors cleared: the port is not lost", { kCts, kFails, 0, kFails, 0 }, 50,
          { "0 post 0=1", "10 clear errors", "20 post 0=0", "30 clear errors" } },
        { "a second failed read closes the port, reopened after 2 s; back reports only real changes, releases too",
          { kCts | kDcd, kFails, kFails, kCts | kRi }, 2040,
          { "0 post 0=1", "0 post 1=1", "10 clear errors", "20 closed", "20 lost", "2020 reopen", "2030 back", "2030 post 1=0",
            "2030 post 3=1" } },
        { "a port that opens but cannot be read is not back", { kFails, kFails, kFails, kFails, 0 }, 4040,
          { "0 clear errors", "10 closed", "10 lost", "2010 reopen", "2020 clear errors", "2030 closed", "4030 reopen" } },
        { "a port that does not open is tried again 2 s later, not a millisecond sooner; a stop while it is away ends it at the "
          "next pause", { kFails }, 4002, { "0 clear errors", "1 closed", "1 lost", "2001 reopen failed", "4001 reopen failed" },
          kAll, { true, false, false }, 1 },
        { "what was not posted comes again at the next poll, in order", { kDcd | kRi, kDcd | kRi, kFails }, 50,
          { "0 post 1=1", "0 post 3=1 failed", "10 post 3=1", "20 clear errors", "30 closed", "30 lost failed", "40 lost" }, kAll,
          { true, false, true, false, true } },
    };
    for (const Case& c : cases) {
        std::atomic<bool> stop;
        ScriptedPort port(c, stop);
        RunComSwitchPolling(c.monitored, stop, port);
        EXPECT_EQ(port.trace, c.trace) << c.rule;
        EXPECT_EQ(port.now, c.stopAt) << c.rule;
    }
}
}
