// The activity display: commands start the frames, and the icon returns five seconds after
// the last one, on a simulated clock of milliseconds.
#include "remote/activity.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
// The frames and the activity timer; like the system's timer, setting it again restarts it.
struct Display : ActivityDisplay, ActivityTimer {
    bool IsAnimating() const override { return animating; }
    void StartFrames() override { animating = true, ++starts; }
    void StopFrames() override { animating = false, stoppedAt = now; }
    void SetActivityTimer(unsigned ms) override { ++timerSets, due = now + static_cast<int>(ms); }
    void KillActivityTimer() override { due.reset(); }

    bool animating = false;
    int now = 0, starts = 0, stoppedAt = -1, timerSets = 0;
    std::optional<int> due;
    CommandActivity activity{ *this, *this };
};

TEST(Activity, TheFramesRunUnbrokenUntilFiveSecondsAfterTheLastCommandAFloodRenewingTheTimerRarely)
{
    // A flood renews the timer every 100 ms, not more often nor less, and sets it once more for the rest.
    struct Case { int every, lastCommand, timerSets; };
    for (const Case& c : { Case{ 1000, 9000, 10 }, Case{ 1, 5050, 50 + 1 + 1 } }) {
        Display d;
        for (d.now = 0; d.now <= 20000; ++d.now) {
            if (d.now % c.every == 0 && d.now <= c.lastCommand)
                d.activity.OnCommands(static_cast<std::uint64_t>(d.now));
            if (d.due == d.now)
                d.activity.OnTimer(static_cast<std::uint64_t>(d.now));
        }
        EXPECT_EQ(std::tuple(d.starts, d.stoppedAt, d.animating, d.due), std::tuple(1, c.lastCommand + 5000, false, std::nullopt))
            << c.every;
        EXPECT_EQ(d.timerSets, c.timerSets) << c.every;
    }
}
}
