// The notification-area icon after the shell refused it: what reaches the shell, and when, for
// the frames and for the flags; and the texts the icon shows. The icon added, changed by the
// frames and deleted is the Wine tier's.
#include "ui/tray_icon_state.h"
#include "ui/tray_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }
using Action = TrayShell::Action;

// "add 130;" for an add of icon 130 (always with kTrayAddFlags), "mod", "del".
std::string Call(Action action, unsigned flags, TrayIcon icon)
{
    const char* names[] = { "add ", "mod ", "del " };
    return names[static_cast<int>(action)] + std::to_string(reinterpret_cast<std::uintptr_t>(icon)) +
           (action == Action::Add && flags != kTrayAddFlags ? "!" : "") + ";";
}

struct FakeShell : TrayShell {
    // The controller's start-up: the application icon, which the shell refuses, and frames 131
    // to 133.
    FakeShell()
    {
        state.SetShellOk(true);
        results = { false };
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
    bool KillFrameTimer(unsigned) override { return true; }

    std::string calls;
    std::deque<bool> results;   // the answers of the next calls; true once they run out
    TrayIconState state{ *this };
};

TEST(TrayIcon, AHiddenIconKeepsItsFramesInTheRecordUntilTheShellTakesIt)
{
    FakeShell shell;
    TrayIconState& state = shell.state;
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
    // A re-add the shell refuses leaves the icon counted as added: the end still deletes it.
    state.OnTaskbarCreated();
    state.OnAddAnswered(false);
    EXPECT_FALSE(state.IconDeleted());
    state.DeleteIcon();
    EXPECT_EQ(shell.calls, "add 130;add 133;add 133;mod 132;add 132;del 132;");
}

TEST(TrayTexts, TheTooltipSaysTheProfileAndWhatIsOpen)
{
    EXPECT_EQ(TrayTooltip("Studio", 2, "COM3") + "|" + TrayTooltip("", 1, "") + "|" + TrayTooltip("", 0, "COM10") + "|" +
                  TrayTooltip("Live", 0, ""),
              "kvMidi - Studio - 2 MIDI devices, COM3|kvMidi - 1 MIDI device|kvMidi - COM10|kvMidi - Live - no device open");
    EXPECT_EQ(DeviceStateText("Pads", false), "Pads is no longer connected.");
}
}
