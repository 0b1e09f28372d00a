// Opening the COM switches' port while the user retries or gives it up, or the port comes by
// itself, or the tray's settings start the switches anew; and what "Only for this session"
// keeps in the file. The error text's placeholders are those of the text rules, tested with
// them; each answer's effect on the running program is the end-to-end test's.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "input/com_switch_opening.h"

namespace {
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
}
