// Opening the COM switches' port while the user retries or gives it up, and the error text.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "input/com_port_error_text.h"
#include "input/com_switch_opening.h"

namespace {
class ScriptedOpening : public PortOpening {
public:
    ScriptedOpening(std::deque<bool> opens, std::deque<PortErrorAnswer> answers)
        : m_opens(std::move(opens)), m_answers(std::move(answers))
    {
    }

    bool TryOpen() override
    {
        ++tries;
        bool opened = m_opens.front();
        m_opens.pop_front();
        return opened;
    }
    PortErrorAnswer AskAfterFailure() override
    {
        ++questions;
        PortErrorAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    int tries = 0;
    int questions = 0;

private:
    std::deque<bool> m_opens;
    std::deque<PortErrorAnswer> m_answers;
};

TEST(ComSwitchOpening, AsksAfterEveryFailureUntilThePortOpensOrIsGivenUp)
{
    using A = PortErrorAnswer;
    struct Case {
        const char* rule;
        std::deque<bool> opens;
        std::deque<PortErrorAnswer> answers;
        ComSwitchesResult result;
        int tries;
        int questions;
    };
    const Case cases[] = {
        { "opens at once: no question", { true }, {}, ComSwitchesResult::Open, 1, 0 },
        { "retried until it opens", { false, false, true }, { A::Retry, A::Retry }, ComSwitchesResult::Open, 3, 2 },
        { "disabled for this session", { false }, { A::DisableForSession }, ComSwitchesResult::DisabledForSession, 1, 1 },
        { "retried, then disabled permanently", { false, false }, { A::Retry, A::DisablePermanently },
          ComSwitchesResult::DisabledPermanently, 2, 2 },
    };
    for (const Case& c : cases) {
        ScriptedOpening opening(c.opens, c.answers);
        EXPECT_EQ(OpenOrAskUser(opening), c.result) << c.rule;
        EXPECT_EQ(opening.tries, c.tries) << c.rule;
        EXPECT_EQ(opening.questions, c.questions) << c.rule;
    }
}

TEST(ComSwitchOpening, ADialogThatCouldNotBeShownDisablesThePortForThisSession)
{
    struct Case { std::intptr_t result; PortErrorAnswer answer; };
    const Case cases[] = {
        { kPortErrorDisableForSession, PortErrorAnswer::DisableForSession },
        { kPortErrorDisablePermanently, PortErrorAnswer::DisablePermanently },
        { kPortErrorRetry, PortErrorAnswer::Retry },
        { -1, PortErrorAnswer::DisableForSession },
        { 0, PortErrorAnswer::DisableForSession },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortErrorAnswerFor(c.result), c.answer) << c.result;
}

TEST(UnableToOpenText, PutsThePortNameInAsItIs)
{
    struct Case { const char* pattern; const char* port; const char* text; };
    const Case cases[] = {
        { "Unable to open %s.", "COM12", "Unable to open COM12." },
        { "Unable to open %s.", "COM%s%n%d", "Unable to open COM%s%n%d." },
        { "Unable to open %s.", "", "Unable to open ." },
        { "100%% sure %s is %s", "COM1", "100% sure COM1 is %s" },
        { "No placeholder", "COM1", "No placeholder" },
        { "Trailing %", "COM1", "Trailing %" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnableToOpenText(c.pattern, c.port), c.text) << c.pattern << " / " << c.port;
}
}
