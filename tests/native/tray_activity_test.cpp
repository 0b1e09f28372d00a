// The activity display as the user sees it: commands drive the tray's frames through the
// controller's activity timer, on a simulated clock.
#include "remote/activity.h"
#include "ui/tray_icon_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {
constexpr int kActivityMs = 5000;
constexpr int kFrameMs = 800;

TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }

struct Shown {
    int time;
    std::uintptr_t icon;
};

// The shell and both timers on one clock. Like the system's timers, the frame timer repeats
// from the moment it was set, and setting the activity timer again restarts its time.
class SimulatedDesktop : public TrayShell, public ActivityTimer {
public:
    bool NotifyIcon(Action action, unsigned, TrayIcon icon) override
    {
        if (action == Action::Modify)
            shown.push_back({ now, reinterpret_cast<std::uintptr_t>(icon) });
        return true;
    }
    unsigned SetFrameTimer() override
    {
        ++framesStarted;
        frameTimerSet = now;
        return 4567;
    }
    bool KillFrameTimer(unsigned) override
    {
        frameTimerSet.reset();
        return true;
    }
    void SetActivityTimer(unsigned milliseconds) override
    {
        ++activitySets;
        activityDue = now + static_cast<int>(milliseconds);
    }
    void KillActivityTimer() override { activityDue.reset(); }

    int now = 0;
    int framesStarted = 0;
    int activitySets = 0;
    std::optional<int> frameTimerSet;
    std::optional<int> activityDue;
    std::vector<Shown> shown;
};

// How the tray window lends its icon state to the controller's activity calls.
class TrayActivity : public ActivityDisplay {
public:
    explicit TrayActivity(TrayIconState& state) : m_state(state) {}
    bool IsAnimating() const override { return m_state.IsAnimating(); }
    void StartFrames() override { m_state.StartFrames(); }
    void StopFrames() override { m_state.StopFrames(); }

private:
    TrayIconState& m_state;
};

class ActivityTest : public testing::Test {
protected:
    ActivityTest()
    {
        state.SetShellOk(true);
        state.AddIcon(Icon(130));
        state.SetFrames({ Icon(131), Icon(132), Icon(133) });
    }

    // Commands every `every` ms from t = 0 to lastCommand, then the clock runs to 20 s.
    void Run(int every, int lastCommand)
    {
        for (desktop.now = 0; desktop.now <= 20000; ++desktop.now) {
            if (desktop.now % every == 0 && desktop.now <= lastCommand)
                activity.OnCommands(static_cast<std::uint64_t>(desktop.now));
            if (desktop.activityDue && desktop.now == *desktop.activityDue)
                activity.OnTimer(static_cast<std::uint64_t>(desktop.now));
            if (desktop.frameTimerSet && desktop.now > *desktop.frameTimerSet &&
                (desktop.now - *desktop.frameTimerSet) % kFrameMs == 0)
                state.OnTimer(4567);
        }
    }

    SimulatedDesktop desktop;
    TrayIconState state{ desktop };
    TrayActivity display{ state };
    CommandActivity activity{ display, desktop };
};

TEST_F(ActivityTest, TenCommandsOneSecondApartNeverRestartTheSequence)
{
    Run(1000, 9000);
    EXPECT_EQ(desktop.framesStarted, 1);
    const std::uintptr_t sequence[] = { 132, 133, 131 };
    size_t frames = desktop.shown.size() - 1;   // the last one is the icon coming back
    ASSERT_GE(frames, 17u);
    for (size_t i = 0; i < frames; ++i) {
        EXPECT_EQ(desktop.shown[i].icon, sequence[i % 3]) << "change " << i;
        EXPECT_EQ(desktop.shown[i].time, kFrameMs * static_cast<int>(i + 1)) << "change " << i;
    }
}

TEST_F(ActivityTest, TheIconReturnsFiveSecondsAfterTheLastCommandAndAFloodRenewsTheTimerRarely)
{
    struct Case { int every; int lastCommand; int maxTimerSets; };
    for (const Case& c : { Case{ 1000, 9000, 10 }, Case{ 1, 3003, 32 + 1 } }) {
        SimulatedDesktop clock;
        TrayIconState icon{ clock };
        icon.SetShellOk(true);
        icon.AddIcon(Icon(130));
        icon.SetFrames({ Icon(131), Icon(132), Icon(133) });
        TrayActivity shown{ icon };
        CommandActivity commands{ shown, clock };
        for (clock.now = 0; clock.now <= 20000; ++clock.now) {
            if (clock.now % c.every == 0 && clock.now <= c.lastCommand)
                commands.OnCommands(static_cast<std::uint64_t>(clock.now));
            if (clock.activityDue && clock.now == *clock.activityDue)
                commands.OnTimer(static_cast<std::uint64_t>(clock.now));
        }
        ASSERT_FALSE(clock.shown.empty());
        EXPECT_EQ(clock.shown.back().icon, 130u) << c.every;
        EXPECT_EQ(clock.shown.back().time, c.lastCommand + kActivityMs) << c.every;
        EXPECT_FALSE(icon.IsAnimating());
        EXPECT_FALSE(clock.activityDue.has_value());
        EXPECT_LE(clock.activitySets, c.maxTimerSets) << c.every;
    }
}
}
