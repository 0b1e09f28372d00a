// Opening the COM switches' port while the user retries or gives it up. The error text's
// placeholders are those of the text rules, tested with them.
#include <gtest/gtest.h>

#include <deque>

#include "input/com_switch_opening.h"

namespace {
// Each open and each answer comes from the script; the answers are the dialog's results.
class ScriptedOpening : public PortOpening {
public:
    ScriptedOpening(std::deque<bool> opens, std::deque<std::intptr_t> results) : opens(opens), results(results) {}

    bool TryOpen() override { return Take(opens); }
    PortErrorAnswer AskAfterFailure() override { return PortErrorAnswerFor(Take(results)); }
    template <typename T>
    static T Take(std::deque<T>& script) { return [&](T next) { return script.pop_front(), next; }(script.front()); }

    std::deque<bool> opens;
    std::deque<std::intptr_t> results;
};

TEST(ComSwitchOpening, AsksAfterEveryFailureUntilThePortOpensOrIsGivenUp)
{
    struct Case {
        const char* rule;
        std::deque<bool> opens;
        std::deque<std::intptr_t> results;
        ComSwitchesResult result;
    };
    const Case cases[] = {
        { "opens at once: no question", { true }, {}, ComSwitchesResult::Open },
        { "retried until it opens", { false, false, true }, { kPortErrorRetry, kPortErrorRetry }, ComSwitchesResult::Open },
        { "OK disables it for this session", { false }, { kPortErrorDisableForSession },
          ComSwitchesResult::DisabledForSession },
        { "retried, then Cancel disables it for good", { false, false }, { kPortErrorRetry, kPortErrorDisablePermanently },
          ComSwitchesResult::DisabledPermanently },
        { "a dialog that could not be shown counts as for this session", { false }, { -1 },
          ComSwitchesResult::DisabledForSession },
        { "so does any other result", { false }, { 0 }, ComSwitchesResult::DisabledForSession },
    };
    for (const Case& c : cases) {
        ScriptedOpening opening(c.opens, c.results);
        EXPECT_EQ(OpenOrAskUser(opening), c.result) << c.rule;
        EXPECT_TRUE(opening.opens.empty() && opening.results.empty()) << c.rule << ": every step was taken";
    }
}
}
