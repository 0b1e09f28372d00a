// What the COM polling thread posts for the modem-status words it reads, and how it loses and
// reopens a port that goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "config/com_lines.h"
#include "input/com_switch_polling.h"

namespace {
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
