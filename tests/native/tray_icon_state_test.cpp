// The notification-area icon's rules: what reaches the shell, and when, for the frames and
// for the flags after failures.
#include "ui/tray_icon_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <vector>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }
std::uintptr_t Id(TrayIcon icon) { return reinterpret_cast<std::uintptr_t>(icon); }

struct ShellCall {
    TrayShell::Action action;
    unsigned flags;
    std::uintptr_t icon;
    bool operator==(const ShellCall&) const = default;
};

class FakeShell : public TrayShell {
public:
    bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) override
    {
        calls.push_back({ action, flags, Id(icon) });
        if (results.empty())
            return true;
        bool result = results.front();
        results.pop_front();
        return result;
    }
    unsigned SetFrameTimer() override
    {
        ++timersSet;
        return timerId;
    }
    bool KillFrameTimer(unsigned id) override
    {
        killed.push_back(id);
        return true;
    }

    std::vector<ShellCall> calls;
    std::deque<bool> results;   // the answers of the next calls; true once they run out
    unsigned timerId = 4567;
    int timersSet = 0;
    std::vector<unsigned> killed;
};

using Action = TrayShell::Action;

class TrayIconTest : public testing::Test {
protected:
    // The controller's start-up: the application icon, then frames 131 to 133.
    void AddWithFrames(bool addSucceeds = true)
    {
        state.SetShellOk(true);
        shell.results = { addSucceeds };
        state.AddIcon(Icon(130));
        state.SetFrames({ Icon(131), Icon(132), Icon(133) });
        shell.calls.clear();
    }

    std::vector<std::uintptr_t> ShownIcons() const
    {
        std::vector<std::uintptr_t> icons;
        for (const ShellCall& call : shell.calls)
            if (call.action == Action::Modify)
                icons.push_back(call.icon);
        return icons;
    }

    FakeShell shell;
    TrayIconState state{ shell };
};

TEST_F(TrayIconTest, TheFirstAddSendsTheWholeRecord)
{
    state.SetShellOk(true);
    EXPECT_TRUE(state.AddIcon(Icon(130)));
    EXPECT_EQ(shell.calls, (std::vector<ShellCall>{ { Action::Add, kTrayAddFlags, 130 } }));
    EXPECT_FALSE(state.IconHidden());
    EXPECT_FALSE(state.IconDeleted());
}

TEST_F(TrayIconTest, FramesRunFromTheSecondOneAndWrapAround)
{
    AddWithFrames();
    ASSERT_TRUE(state.StartFrames());
    EXPECT_TRUE(shell.calls.empty()) << "the start itself shows nothing new";
    for (int tick = 0; tick < 7; ++tick)
        EXPECT_TRUE(state.NextFrame());
    EXPECT_EQ(ShownIcons(), (std::vector<std::uintptr_t>{ 132, 133, 131, 132, 133, 131, 132 }));
    for (const ShellCall& call : shell.calls)
        EXPECT_EQ(call.flags, kTrayIconFlag);
}

TEST_F(TrayIconTest, StartingAgainBeginsTheSequenceAnew)
{
    AddWithFrames();
    state.StartFrames();
    state.NextFrame();
    state.NextFrame();
    state.StartFrames();
    state.NextFrame();
    EXPECT_EQ(ShownIcons(), (std::vector<std::uintptr_t>{ 132, 133, 130, 132 }));
    EXPECT_EQ(shell.timersSet, 2);
}

TEST_F(TrayIconTest, StopPutsBackTheIconFromBeforeTheStart)
{
    AddWithFrames();
    state.StartFrames();
    state.NextFrame();
    EXPECT_TRUE(state.StopFrames());
    EXPECT_EQ(ShownIcons(), (std::vector<std::uintptr_t>{ 132, 130 }));
    EXPECT_EQ(shell.killed, (std::vector<unsigned>{ 4567 }));
    EXPECT_FALSE(state.IsAnimating());
    EXPECT_EQ(Id(state.CurrentIcon()), 130u);
}

TEST_F(TrayIconTest, StopWithoutAnimationReturnsFalseAndCallsNothing)
{
    AddWithFrames();
    EXPECT_FALSE(state.StopFrames());
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(shell.killed.empty());
}

TEST_F(TrayIconTest, WithoutFramesNothingAnimates)
{
    state.SetShellOk(true);
    state.AddIcon(Icon(130));
    shell.calls.clear();
    EXPECT_FALSE(state.StartFrames());
    EXPECT_FALSE(state.NextFrame());
    EXPECT_EQ(shell.timersSet, 0);
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayIconTest, ATimerThatCannotBeSetLeavesTheAnimationIdle)
{
    AddWithFrames();
    shell.timerId = 0;
    EXPECT_FALSE(state.StartFrames());
    EXPECT_FALSE(state.IsAnimating());
    shell.timerId = 4567;
    EXPECT_TRUE(state.StartFrames()) << "the next command tries again";
    EXPECT_TRUE(state.IsAnimating());
}

TEST_F(TrayIconTest, OnlyTheFrameTimerMovesTheFrames)
{
    AddWithFrames();
    state.StartFrames();
    state.OnTimer(1026);
    state.OnTimer(0);
    EXPECT_TRUE(shell.calls.empty());
    state.OnTimer(4567);
    EXPECT_EQ(ShownIcons(), (std::vector<std::uintptr_t>{ 132 }));
}

TEST_F(TrayIconTest, WhileHiddenFrameStepsOnlyChangeTheRecord)
{
    AddWithFrames(false);
    state.StartFrames();
    EXPECT_TRUE(state.NextFrame());
    EXPECT_TRUE(state.NextFrame());
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(Id(state.CurrentIcon()), 133u);
    // A later successful add shows the icon the record holds at that moment.
    state.OnTaskbarCreated();
    EXPECT_EQ(shell.calls, (std::vector<ShellCall>{ { Action::Add, kTrayAddFlags, 133 } }));
}

TEST_F(TrayIconTest, TheTaskbarsReturnAddsAnIconWhoseFirstAddFailed)
{
    AddWithFrames(false);
    ASSERT_TRUE(state.IconHidden());
    shell.results = { false };
    state.OnTaskbarCreated();
    EXPECT_TRUE(state.IconHidden()) << "refused again: still waiting for a shell";
    EXPECT_TRUE(state.IconDeleted());
    state.OnTaskbarCreated();
    EXPECT_EQ(shell.calls, (std::vector<ShellCall>(2, { Action::Add, kTrayAddFlags, 130 })));
    EXPECT_FALSE(state.IconHidden());
    EXPECT_FALSE(state.IconDeleted());
    state.DeleteIcon();
    EXPECT_EQ(shell.calls.back(), (ShellCall{ Action::Delete, 0, 130 }));
}

TEST_F(TrayIconTest, AShownIconIsAddedAgainOnBothTriggers)
{
    AddWithFrames();
    state.OnTaskbarCreated();
    state.OnWorkAreaChanged();
    EXPECT_EQ(shell.calls, (std::vector<ShellCall>(2, { Action::Add, kTrayAddFlags, 130 })));
    EXPECT_FALSE(state.IconHidden());
}

TEST_F(TrayIconTest, AWorkAreaChangeNeverAddsAnIconThatWasNotShown)
{
    AddWithFrames(false);
    state.OnWorkAreaChanged();
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayIconTest, AFailedReAddIsNotRetriedButTheIconIsStillDeletedAtTheEnd)
{
    AddWithFrames();
    shell.results = { false };
    state.OnWorkAreaChanged();
    EXPECT_TRUE(state.IconHidden());
    EXPECT_FALSE(state.IconDeleted());
    state.OnTaskbarCreated();
    state.OnWorkAreaChanged();
    EXPECT_EQ(shell.calls.size(), 1u);
    state.DeleteIcon();
    EXPECT_EQ(shell.calls.back(), (ShellCall{ Action::Delete, 0, 130 }));
    EXPECT_TRUE(state.IconDeleted());
}

TEST_F(TrayIconTest, TheEndDeletesOnlyAnIconThatIsRegistered)
{
    struct Case { const char* name; bool shellOk; bool add; bool addSucceeds; bool deleted; };
    const Case cases[] = {
        { "never added", true, false, true, false },
        { "add refused", true, true, false, false },
        { "added", true, true, true, true },
        { "no shell", false, true, true, false },
    };
    for (const Case& c : cases) {
        FakeShell fake;
        TrayIconState icon(fake);
        icon.SetShellOk(c.shellOk);
        fake.results = { c.addSucceeds };
        if (c.add)
            icon.AddIcon(Icon(130));
        fake.calls.clear();
        icon.DeleteIcon();
        icon.DeleteIcon();
        EXPECT_EQ(fake.calls.size(), c.deleted ? 1u : 0u) << c.name;
    }
}

TEST_F(TrayIconTest, WithoutAShellNothingReachesIt)
{
    state.SetShellOk(false);
    EXPECT_FALSE(state.AddIcon(Icon(130)));
    state.SetFrames({ Icon(131), Icon(132), Icon(133) });
    state.StartFrames();
    EXPECT_FALSE(state.NextFrame());
    state.StopFrames();
    state.OnTaskbarCreated();
    state.OnWorkAreaChanged();
    state.DeleteIcon();
    EXPECT_TRUE(shell.calls.empty());
}
}
