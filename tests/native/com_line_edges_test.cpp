// What the COM polling thread posts for the modem-status words it reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "config/com_lines.h"
#include "input/com_line_edges.h"
#include "input/com_switch_polling.h"

namespace {
constexpr std::uint32_t kCts = kComLines[0].statusBit;
constexpr std::uint32_t kDcd = kComLines[1].statusBit;
constexpr std::uint32_t kDsr = kComLines[2].statusBit;
constexpr std::uint32_t kRi = kComLines[3].statusBit;
constexpr ComLineFlags kAllLines = { 1, 1, 1, 1 };
constexpr ComLineFlags kCtsOnly = { 1, 0, 0, 0 };

std::vector<ComLineEvent> EventsFor(const ComLineFlags& monitored, const std::vector<std::uint32_t>& words)
{
    ComLineEdges edges(monitored);
    std::vector<ComLineEvent> events;
    for (std::uint32_t word : words) {
        for (const ComLineEvent& event : edges.Update(word))
            events.push_back(event);
    }
    return events;
}

TEST(ComLineEdges, ReportsEachLevelChangeOfAWatchedLineInLineOrder)
{
    struct Case {
        const char* rule;
        ComLineFlags monitored;
        std::vector<std::uint32_t> words;
        std::vector<ComLineEvent> events;
    };
    const Case cases[] = {
        { "CTS active when monitoring starts, then released", kCtsOnly, { kCts, kCts, 0 }, { { 0, 1 }, { 0, 0 } } },
        { "an inactive line at start gives nothing", kAllLines, { 0, 0 }, {} },
        { "DCD and RI change between two polls: DCD first", kAllLines, { 0, kDcd | kRi }, { { 1, 1 }, { 3, 1 } } },
        { "all four at once come in line order", kAllLines, { kRi | kDsr | kDcd | kCts }, { { 0, 1 }, { 1, 1 }, { 2, 1 }, { 3, 1 } } },
        { "an unwatched change hides no later watched change", kCtsOnly, { kDsr, kDsr | kCts, kCts }, { { 0, 1 } } },
        { "bits outside the four lines change nothing", kAllLines, { 0x01, 0x0F, 0x01 | kDsr }, { { 2, 1 } } },
        { "each line keeps its own last level", kAllLines, { kCts, kCts | kRi, kRi, 0 }, { { 0, 1 }, { 3, 1 }, { 0, 0 }, { 3, 0 } } },
        { "only the watched lines of a combined change", ComLineFlags{ 0, 1, 0, 1 }, { kCts | kDcd | kDsr | kRi }, { { 1, 1 }, { 3, 1 } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EventsFor(c.monitored, c.words), c.events) << c.rule;
}

// The polling loop against a scripted port: each read takes the next word (nullopt: the read
// fails); once the script is used up the monitor closes, as the window thread would.
class ScriptedPort : public ComSwitchPollPort {
public:
    ScriptedPort(std::deque<std::optional<std::uint32_t>> script, std::atomic<bool>& stop)
        : m_script(std::move(script)), m_stop(stop)
    {
    }

    bool ReadModemStatus(std::uint32_t& status) override
    {
        ++reads;
        std::optional<std::uint32_t> next = m_script.front();
        m_script.pop_front();
        if (!next)
            return false;
        status = *next;
        return true;
    }
    void PostLineEvent(const ComLineEvent& event) override { posted.push_back(event); }
    void WaitPollInterval() override
    {
        ++pauses;
        if (m_script.empty())
            m_stop.store(true);
    }

    int reads = 0;
    int pauses = 0;
    std::vector<ComLineEvent> posted;

private:
    std::deque<std::optional<std::uint32_t>> m_script;
    std::atomic<bool>& m_stop;
};

TEST(ComSwitchPolling, ReadsPausesAndStopsOnlyAfterAPause)
{
    using Script = std::deque<std::optional<std::uint32_t>>;
    struct Case {
        const char* rule;
        bool stoppedBefore;
        ComLineFlags monitored;
        Script script;
        std::vector<ComLineEvent> posted;
        int reads;
    };
    const Case cases[] = {
        { "closing while a switch is held gives no release", false, kCtsOnly, { kCts, kCts, kCts }, { { 0, 1 } }, 3 },
        { "a stop flag already set ends it before the first read", true, kAllLines, { kCts }, {}, 0 },
        { "a failed read is skipped and polling goes on", false, kAllLines, { std::nullopt, kRi, std::nullopt, 0 },
          { { 3, 1 }, { 3, 0 } }, 4 },
    };
    for (const Case& c : cases) {
        std::atomic<bool> stop{ c.stoppedBefore };
        ScriptedPort port(c.script, stop);
        RunComSwitchPolling(c.monitored, stop, port);
        EXPECT_EQ(port.posted, c.posted) << c.rule;
        EXPECT_EQ(port.reads, c.reads) << c.rule;
        EXPECT_EQ(port.pauses, c.reads) << c.rule << ": every read is followed by one pause";
    }
}
}
