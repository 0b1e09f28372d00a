// Opening the COM switches' port while the user retries or gives it up. The error text's
// placeholders are those of the text rules, tested with them; each answer's effect on the
// running program is the end-to-end test's.
#include <gtest/gtest.h>

#include <deque>

#include "input/com_switch_opening.h"

namespace {
// Each open and each answer (the dialog's result) comes from the script.
struct ScriptedOpening : PortOpening {
    bool TryOpen() override { return Take(opens); }
    PortErrorAnswer AskAfterFailure() override { return PortErrorAnswerFor(Take(results)); }
    template <typename T>
    static T Take(std::deque<T>& script) { return [&](T next) { return script.pop_front(), next; }(script.front()); }

    std::deque<bool> opens;
    std::deque<std::intptr_t> results;
};

TEST(ComSwitchOpening, AsksAfterEveryFailureUntilThePortOpensOrIsGivenUp)
{
    using R = ComSwitchesResult;
    const struct { std::deque<bool> opens; std::deque<std::intptr_t> results; R result; } cases[] = {
        { { true }, {}, R::Open },
        { { false, false, true }, { kPortErrorRetry, kPortErrorRetry }, R::Open },
        { { false }, { kPortErrorDisableForSession }, R::DisabledForSession },
        { { false, false }, { kPortErrorRetry, kPortErrorDisablePermanently }, R::DisabledPermanently },
        { { false }, { -1 }, R::DisabledForSession },   // a dialog that could not be shown, or any other result
    };
    for (const auto& c : cases) {
        ScriptedOpening opening;
        opening.opens = c.opens, opening.results = c.results;
        EXPECT_EQ(OpenOrAskUser(opening), c.result) << c.results.size();
        EXPECT_TRUE(opening.opens.empty() && opening.results.empty()) << "every step was taken";
    }
}
}
