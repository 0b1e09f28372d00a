// The notification-area icon's rules: what reaches the shell, and when, for the frames and
// for the flags after failures; and the queue that carries the calls to the tray's thread.
#include "ui/tray_call_queue.h"
#include "ui/tray_icon_state.h"
#include "ui/tray_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }
using Action = TrayShell::Action;

// "add 130;" for an add of icon 130 (always with kTrayAddFlags), "mod", "del"; "(kill n)" for a kill.
std::string Call(Action action, unsigned flags, TrayIcon icon)
{
    const char* names[] = { "add ", "mod ", "del " };
    return names[static_cast<int>(action)] + std::to_string(reinterpret_cast<std::uintptr_t>(icon)) +
           (action == Action::Add && flags != kTrayAddFlags ? "!" : "") + ";";
}

struct FakeShell : TrayShell {
    // The controller's start-up: the application icon, added as the shell answers, and frames
    // 131 to 133.
    explicit FakeShell(bool addSucceeds = true)
    {
        state.SetShellOk(true);
        results = { addSucceeds };
        state.AddIcon(Icon(130));
        state.SetFrames({ Icon(131), Icon(132), Icon(133) });
    }
    bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) override
    {
        calls += Call(action, flags, icon);
        bool result = results.empty() || results.front();
        return results.empty() ? result : (results.pop_front(), result);
    }
    unsigned SetFrameTimer() override { return 4567; }
    bool KillFrameTimer(unsigned id) override { return calls += "(kill " + std::to_string(id) + ")", true; }

    std::string calls;
    std::deque<bool> results;   // the answers of the next calls; true once they run out
    TrayIconState state{ *this };
};

TEST(TrayIcon, FramesRunFromTheSecondWrapRestartAndStopOnTheIconFromBefore)
{
    FakeShell shell;
    TrayIconState& state = shell.state;
    ASSERT_TRUE(state.StartFrames());
    for (int tick = 0; tick < 4; ++tick)
        state.OnTimer(4567);
    state.OnTimer(1026);   // only the frame timer moves the frames
    state.StartFrames();
    state.NextFrame();
    EXPECT_TRUE(state.StopFrames());
    EXPECT_FALSE(state.StopFrames() || state.IsAnimating()) << "a second stop has nothing to stop";
    state.DeleteIcon();
    state.DeleteIcon();   // only an icon that is registered, and once
    EXPECT_EQ(shell.calls, "add 130;mod 132;mod 133;mod 131;mod 132;(kill 4567)mod 130;mod 132;(kill 4567)mod 130;del 130;");
}

TEST(TrayIcon, AHiddenIconKeepsItsFramesInTheRecordUntilTheShellTakesIt)
{
    FakeShell shell(false);
    TrayIconState& state = shell.state;
    state.DeleteIcon();   // never registered: nothing to delete
    state.StartFrames();
    state.NextFrame();
    state.NextFrame();
    state.OnWorkAreaChanged();
    shell.results = { false };
    state.OnTaskbarCreated();
    EXPECT_TRUE(state.IconHidden()) << "refused again: still waiting for a shell";
    state.OnTaskbarCreated();
    EXPECT_FALSE(state.IconHidden());
    // The shell's late answer to an add decides whether the icon is shown.
    state.OnAddAnswered(false);
    state.NextFrame();
    EXPECT_TRUE(state.IconHidden());
    state.OnAddAnswered(true);
    state.NextFrame();
    state.DeleteIcon();
    EXPECT_EQ(shell.calls, "add 130;add 133;add 133;mod 132;del 132;");
}

TEST(TrayCallQueue, ARunOfChangesShrinksToTheLatestWhileAddsAndDeletesAndBalloonsKeepTheirOrder)
{
    TrayCallQueue queue;
    for (auto [action, flags, icon] : { std::tuple{ Action::Modify, kTrayIconFlag, 131 }, { Action::Modify, kTrayIconFlag, 132 },
                                        { Action::Add, kTrayAddFlags, 130 }, { Action::Modify, kTrayIconFlag, 133 },
                                        { Action::Delete, 0u, 133 }, { Action::Modify, kTrayIconFlag, 131 },
                                        { Action::Modify, kTrayInfoFlag, 131 }, { Action::Modify, kTrayTipFlag, 132 } })
        queue.Push({ action, flags, Icon(static_cast<std::uintptr_t>(icon)) });
    std::string taken;
    for (const TrayCall& call : queue.TakeAll())
        taken += Call(call.action, call.flags, call.icon) + std::to_string(call.flags) + " ";
    EXPECT_EQ(taken, "mod 132;2 add 133;7 del 133;0 mod 131;2 mod 132;20 ");
    EXPECT_TRUE(queue.Empty());
}

TEST(TrayTexts, TheTooltipSaysTheProfileAndWhatIsOpen)
{
    EXPECT_EQ(TrayTooltip("Studio", 2, "COM3") + "|" + TrayTooltip("", 1, "") + "|" + TrayTooltip("", 0, "COM10") + "|" +
                  TrayTooltip("Live", 0, ""),
              "kvMidi - Studio - 2 MIDI devices, COM3|kvMidi - 1 MIDI device|kvMidi - COM10|kvMidi - Live - no device open");
    EXPECT_EQ(DeviceStateText("Pads", false), "Pads is no longer connected.");
}
}
