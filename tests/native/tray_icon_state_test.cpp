// The notification-area icon's rules: what reaches the shell, and when, for the frames and
// for the flags after failures; and the queue that carries the calls to the tray's thread.
#include "ui/tray_call_queue.h"
#include "ui/tray_icon_state.h"
#include "ui/tray_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <vector>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }
std::uintptr_t Id(TrayIcon icon) { return reinterpret_cast<std::uintptr_t>(icon); }
using Action = TrayShell::Action;

struct ShellCall {
    Action action;
    unsigned flags;
    std::uintptr_t icon;
    bool operator==(const ShellCall&) const = default;
};

class FakeShell : public TrayShell {
public:
    bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) override
    {
        calls.push_back({ action, flags, Id(icon) });
        bool result = results.empty() || results.front();
        if (!results.empty())
            results.pop_front();
        return result;
    }
    unsigned SetFrameTimer() override { return timerId; }
    bool KillFrameTimer(unsigned id) override
    {
        killed.push_back(id);
        return true;
    }

    std::vector<ShellCall> calls;
    std::deque<bool> results;   // the answers of the next calls; true once they run out
    unsigned timerId = 4567;
    std::vector<unsigned> killed;
};

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

TEST_F(TrayIconTest, FramesRunFromTheSecondWrapRestartAndStopOnTheIconFromBefore)
{
    AddWithFrames();
    ASSERT_TRUE(state.StartFrames());
    EXPECT_TRUE(shell.calls.empty()) << "the start itself shows nothing new";
    for (int tick = 0; tick < 4; ++tick)
        state.OnTimer(4567);
    state.OnTimer(1026);   // only the frame timer moves the frames
    state.StartFrames();
    state.NextFrame();
    EXPECT_TRUE(state.StopFrames());
    EXPECT_EQ(ShownIcons(), (std::vector<std::uintptr_t>{ 132, 133, 131, 132, 130, 132, 130 }));
    EXPECT_EQ(shell.killed, (std::vector<unsigned>{ 4567, 4567 }));
    EXPECT_FALSE(state.IsAnimating());
    EXPECT_FALSE(state.StopFrames()) << "a second stop has nothing to stop";
}

TEST_F(TrayIconTest, WithoutFramesOrTimerNothingAnimates)
{
    state.SetShellOk(true);
    state.AddIcon(Icon(130));
    EXPECT_FALSE(state.StartFrames());
    AddWithFrames();
    shell.timerId = 0;
    EXPECT_FALSE(state.StartFrames());
    EXPECT_FALSE(state.IsAnimating());
    shell.timerId = 4567;
    EXPECT_TRUE(state.StartFrames()) << "the next command tries again";
}

TEST_F(TrayIconTest, AHiddenIconKeepsItsFramesInTheRecordUntilTheTaskbarReturns)
{
    AddWithFrames(false);
    state.StartFrames();
    state.NextFrame();
    state.NextFrame();
    state.OnWorkAreaChanged();
    EXPECT_TRUE(shell.calls.empty()) << "nothing reaches the shell for an icon not shown";
    shell.results = { false };
    state.OnTaskbarCreated();
    EXPECT_TRUE(state.IconHidden()) << "refused again: still waiting for a shell";
    state.OnTaskbarCreated();
    EXPECT_EQ(shell.calls, (std::vector<ShellCall>(2, { Action::Add, kTrayAddFlags, 133 })));
    EXPECT_FALSE(state.IconHidden());
}

TEST_F(TrayIconTest, TheShellsLateAnswerToAnAddDecidesWhetherTheIconIsShown)
{
    AddWithFrames();
    state.OnAddAnswered(false);
    EXPECT_TRUE(state.IconHidden());
    state.StartFrames();
    state.NextFrame();
    EXPECT_TRUE(shell.calls.empty());
    state.OnTaskbarCreated();
    state.OnAddAnswered(true);
    EXPECT_FALSE(state.IconHidden());
    state.DeleteIcon();
    EXPECT_EQ(shell.calls.back(), (ShellCall{ Action::Delete, 0, 132 }));
}

TEST(TrayIconEnd, DeletesOnlyAnIconThatIsRegistered)
{
    struct Case { const char* name; bool shellOk; bool add; bool addSucceeds; size_t calls; };
    const Case cases[] = {
        { "never added", true, false, true, 0 },
        { "add refused", true, true, false, 1 },
        { "added", true, true, true, 2 },
        { "no shell", false, true, true, 0 },
    };
    for (const Case& c : cases) {
        FakeShell shell;
        TrayIconState icon(shell);
        icon.SetShellOk(c.shellOk);
        shell.results = { c.addSucceeds };
        if (c.add)
            icon.AddIcon(Icon(130));
        icon.DeleteIcon();
        icon.DeleteIcon();
        EXPECT_EQ(shell.calls.size(), c.calls) << c.name;
    }
}

TEST(TrayCallQueue, ARunOfChangesShrinksToTheLatestWhileAddsAndDeletesKeepTheirOrder)
{
    TrayCallQueue queue;
    queue.Push({ Action::Modify, kTrayIconFlag, Icon(131) });
    queue.Push({ Action::Modify, kTrayIconFlag, Icon(132) });
    queue.Push({ Action::Add, kTrayAddFlags, Icon(130) });
    queue.Push({ Action::Modify, kTrayIconFlag, Icon(133) });
    queue.Push({ Action::Delete, 0, Icon(133) });
    queue.Push({ Action::Modify, kTrayIconFlag, Icon(131) });
    queue.Push({ Action::Modify, kTrayInfoFlag, Icon(131), "kvMidi", "Pads is no longer connected.", true });
    queue.Push({ Action::Modify, kTrayTipFlag, Icon(132) });
    std::vector<ShellCall> taken;
    for (const TrayCall& call : queue.TakeAll())
        taken.push_back({ call.action, call.flags, Id(call.icon) });
    EXPECT_EQ(taken, (std::vector<ShellCall>{ { Action::Modify, kTrayIconFlag, 132 },
                                              { Action::Add, kTrayAddFlags, 133 },
                                              { Action::Delete, 0, 133 },
                                              { Action::Modify, kTrayIconFlag, 131 },
                                              { Action::Modify, kTrayInfoFlag | kTrayTipFlag, 132 } }));
    EXPECT_TRUE(queue.Empty());
}

TEST(TrayTexts, TheTooltipSaysTheProfileAndWhatIsOpen)
{
    struct Case { const char* profile; int midi; const char* port; const char* tip; };
    const Case cases[] = {
        { "Studio", 2, "COM3", "kvMidi - Studio - 2 MIDI devices, COM3" },
        { "", 1, "", "kvMidi - 1 MIDI device" },
        { "", 0, "COM10", "kvMidi - COM10" },
        { "Live", 0, "", "kvMidi - Live - no device open" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayTooltip(c.profile, c.midi, c.port), c.tip);
    EXPECT_EQ(DeviceStateText("Pads", false), "Pads is no longer connected.");
}
}
