// The activity display as the user sees it: commands drive the tray's frames through the
// controller's activity timer, on a simulated clock.
#include "remote/activity.h"
#include "ui/tray_icon_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }

// The shell, the tray window and both timers on one clock. Like the system's timers, the frame
// timer repeats from the moment it was set, and setting the activity timer again restarts it.
struct Desktop : TrayShell, ActivityTimer, ActivityDisplay {
    bool NotifyIcon(Action action, unsigned, TrayIcon icon) override
    {
        if (action == Action::Modify)
            shown.push_back({ now, reinterpret_cast<std::uintptr_t>(icon) });
        return true;
    }
    unsigned SetFrameTimer() override { return ++framesStarted, frameTimerSet = now, 4567; }
    bool KillFrameTimer(unsigned) override { return frameTimerSet.reset(), true; }
    void SetActivityTimer(unsigned ms) override { ++activitySets, activityDue = now + static_cast<int>(ms); }
    void KillActivityTimer() override { activityDue.reset(); }
    bool IsAnimating() const override { return state.IsAnimating(); }
    void StartFrames() override { state.StartFrames(); }
    void StopFrames() override { state.StopFrames(); }

    int now = 0, framesStarted = 0, activitySets = 0;
    std::optional<int> frameTimerSet, activityDue;
    std::vector<std::pair<int, std::uintptr_t>> shown;   // time, icon
    TrayIconState state{ *this };
    CommandActivity activity{ *this, *this };
};

TEST(Activity, FramesRunUnbrokenAndTheIconReturnsFiveSecondsAfterTheLastCommandAFloodRenewingTheTimerRarely)
{
    struct Case { int every, lastCommand, maxTimerSets; };
    for (const Case& c : { Case{ 1000, 9000, 10 }, Case{ 1, 3003, 32 + 1 } }) {
        Desktop d;
        d.state.SetShellOk(true);
        d.state.AddIcon(Icon(130));
        d.state.SetFrames({ Icon(131), Icon(132), Icon(133) });
        for (d.now = 0; d.now <= 20000; ++d.now) {
            if (d.now % c.every == 0 && d.now <= c.lastCommand)
                d.activity.OnCommands(static_cast<std::uint64_t>(d.now));
            if (d.activityDue && d.now == *d.activityDue)
                d.activity.OnTimer(static_cast<std::uint64_t>(d.now));
            if (d.frameTimerSet && d.now > *d.frameTimerSet && (d.now - *d.frameTimerSet) % 800 == 0)
                d.state.OnTimer(4567);
        }
        EXPECT_EQ(d.framesStarted, 1) << c.every;
        ASSERT_EQ(d.shown.size(), static_cast<size_t>((c.lastCommand + 5000) / 800 + 1)) << c.every;
        const std::uintptr_t sequence[] = { 132, 133, 131 };   // from the second frame, never restarted
        for (size_t i = 0; i + 1 < d.shown.size(); ++i)
            EXPECT_EQ(d.shown[i], std::make_pair(800 * static_cast<int>(i + 1), sequence[i % 3])) << i;
        EXPECT_EQ(d.shown.back(), std::make_pair(c.lastCommand + 5000, std::uintptr_t(130))) << c.every;
        EXPECT_FALSE(d.state.IsAnimating() || d.activityDue);
        EXPECT_LE(d.activitySets, c.maxTimerSets) << c.every;
    }
}
}
