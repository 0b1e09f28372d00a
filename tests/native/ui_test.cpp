// The notification-area icon's record: what reaches the shell, and when, for the frames and for
// the flags, while the shell refuses it, takes it late or goes away; the tray's queue of shell
// calls; and the texts the icon shows. The icon added, changed by the frames and deleted is the
// Wine tier's. Where the settings dialog's LEDs are cut from their strip and placed.
#include "ui/led_placement.h"
#include "ui/tray_call_queue.h"
#include "ui/tray_icon_state.h"
#include "ui/tray_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {
TrayIcon Icon(std::uintptr_t resourceId) { return reinterpret_cast<TrayIcon>(resourceId); }

struct FakeShell : TrayShell {
    // "add 130;" for an add of icon 130 (always with kTrayAddFlags), "mod", "del".
    bool NotifyIcon(Action action, unsigned flags, TrayIcon icon) override
    {
        const char* names[] = { "add ", "mod ", "del " };
        trace += names[static_cast<int>(action)] + std::to_string(reinterpret_cast<std::uintptr_t>(icon)) +
                 (action == Action::Add && flags != kTrayAddFlags ? "!" : "") + ";";
        return refusals > 0 ? (--refusals, false) : true;
    }
    unsigned SetFrameTimer() override { return timer; }
    bool KillFrameTimer(unsigned id) override { return trace += "kill " + std::to_string(id) + ";", true; }

    std::string trace;
    unsigned timer = 4567;
    int refusals = 0;   // how many of the next calls the shell refuses
};

// One letter a step: A adds icon 130 (the application's), D deletes the icon; s starts the
// frames 131 to 133, n shows the next, p stops them; t is a tick of their timer, o one of another
// timer, 0 one without a timer; c: the taskbar is created anew; w: the work area changed; y and x:
// the shell's late answer to an add, taken or refused; r: the shell refuses its next call; F:
// the system has no timer left; E: the frames are cleared.
// The trace: the shell's calls, what a step returned (=1, =0), and after ? the icon's state
// (h hidden or v visible, d deleted or k kept, a animating or - not).
std::string Trace(std::string_view steps, bool shellOk = true)
{
    FakeShell shell;
    TrayIconState state{ shell };
    state.SetShellOk(shellOk);
    state.SetFrames({ Icon(131), Icon(132), Icon(133) });
    auto returned = [&](bool result) { shell.trace += result ? "=1;" : "=0;"; };
    for (char step : steps) {
        switch (step) {
        case 'A': returned(state.AddIcon(Icon(130))); break;
        case 'D': state.DeleteIcon(); break;
        case 's': returned(state.StartFrames()); break;
        case 'n': returned(state.NextFrame()); break;
        case 'p': returned(state.StopFrames()); break;
        case 't': case 'o': case '0': state.OnTimer(step == 't' ? 4567 : step == 'o' ? 1 : 0); break;
        case 'c': state.OnTaskbarCreated(); break;
        case 'w': state.OnWorkAreaChanged(); break;
        case 'y': case 'x': state.OnAddAnswered(step == 'y'); break;
        case 'r': ++shell.refusals; break;
        case 'F': shell.timer = 0; break;
        case 'E': state.ClearFrames(); break;
        case '?': shell.trace += std::string(state.IconHidden() ? "h" : "v") + (state.IconDeleted() ? "d" : "k") +
                                 (state.IsAnimating() ? "a;" : "-;"); break;
        }
    }
    return shell.trace;
}

TEST(TrayIcon, AnIconTheShellRefusedKeepsItsFramesInTheRecordUntilTheShellTakesIt)
{
    const std::pair<const char*, const char*> cases[] = {
        // Nothing reaches the shell before the first add; a refused one is tried again when the
        // taskbar comes, and the frames go on in the record meanwhile.
        { "Dcy?rA?sttw?rc?c?", "hd-;add 130;=0;hd-;=1;hda;add 133;hda;add 133;vka;" },
        // The shell's late answer decides whether the icon is shown. A re-add the shell refuses
        // leaves the icon counted as added: the end still deletes it.
        { "Astt xt? yt? cx? D?", "add 130;=1;=1;mod 132;mod 133;hda;mod 132;vka;add 132;hka;del 132;hda;" },
        // Only the frame timer's ticks step; the stop puts the icon from before back.
        { "Asot0p?0t", "add 130;=1;=1;mod 132;kill 4567;mod 130;=1;vk-;" },
        { "Asn?rw?np?", "add 130;=1;=1;mod 132;=1;vka;add 132;hka;=1;kill 4567;=1;hk-;" },
        { "AFs?p Esn", "add 130;=1;=0;vk-;mod 130;=0;=0;=0;" },
    };
    for (auto [steps, trace] : cases)
        EXPECT_EQ(Trace(steps), trace) << steps;
    EXPECT_EQ(Trace("Asn?pcwyD", false), "=0;=1;=0;hda;kill 4567;=1;") << "no shell: only the timer";
}

TEST(TrayTexts, TheTooltipSaysTheProfileAndWhatIsOpen)
{
    EXPECT_EQ(TrayTooltip("Studio", 2, "COM3") + "|" + TrayTooltip("", 1, "") + "|" + TrayTooltip("", 0, "COM10") + "|" +
                  TrayTooltip("Live", 0, ""),
              "kvMidi - Studio - 2 MIDI devices, COM3|kvMidi - 1 MIDI device|kvMidi - COM10|kvMidi - Live - no device open");
    EXPECT_EQ(DeviceStateText("Pads", false), "Pads is no longer connected.");
}

TEST(LedPlacement, CellsLieOnASixteenPixelGridAndTheLedIsCentredOnAControlLargeEnough)
{
    EXPECT_EQ(LedCellOrigin(LED_ROW_RED, LED_DARK, LED_SHAPE_CIRCLE), (LedPoint{ 16, 0 }));
    EXPECT_EQ(LedCellOrigin(LED_ROW_GREEN, LED_LIT, LED_SHAPE_CIRCLE), (LedPoint{ 0, 16 }));
    EXPECT_EQ(LedCellOrigin(LED_ROW_YELLOW, LED_GREY, LED_SHAPE_SQUARE), (LedPoint{ 32, 96 }));
    EXPECT_EQ(LedCellOrigin(LED_ROW_BLUE, LED_DARK, LED_SHAPE_SQUARE), (LedPoint{ 16, 112 }));
    // left, top, right, bottom; a side with an odd excess keeps the extra pixel after the LED.
    const std::pair<std::array<int, 4>, LedPoint> cases[] = {
        { { 10, 20, 43, 40 }, { 18, 22 } }, { { 10, 20, 26, 36 }, { 10, 20 } },
        { { 0, 0, 15, 40 }, { 0, 0 } }, { { 0, 0, 40, 15 }, { 0, 0 } },
    };
    for (const auto& [r, origin] : cases)
        EXPECT_EQ(LedTargetOrigin(r[0], r[1], r[2], r[3]), origin) << r[2] << "x" << r[3];
}

TEST(TrayCallQueue, AChangeMergesIntoTheWaitingChangeOrAddButNeverIntoABalloonOrADelete)
{
    using A = TrayShell::Action;
    auto icon = [](std::uintptr_t id) { return reinterpret_cast<TrayIcon>(id); };
    TrayCallQueue queue;
    for (const TrayCall& call : { TrayCall{ A::Modify, kTrayIconFlag, icon(1) }, TrayCall{ A::Modify, kTrayTipFlag, icon(2) },
                                  TrayCall{ A::Add, kTrayAddFlags, icon(3) }, TrayCall{ A::Modify, kTrayIconFlag, icon(4) },
                                  TrayCall{ A::Modify, kTrayInfoFlag, icon(4) }, TrayCall{ A::Delete, 0, icon(4) },
                                  TrayCall{ A::Modify, kTrayIconFlag, icon(5) } })
        queue.Push(call);
    std::string calls;   // action (add 0, change 1, delete 2), flags and icon of each call
    for (const TrayCall& call : queue.TakeAll())
        calls += std::to_string(static_cast<int>(call.action)) + " " + std::to_string(call.flags) + " " +
                 std::to_string(reinterpret_cast<std::uintptr_t>(call.icon)) + ";";
    EXPECT_EQ(calls, "1 6 2;0 7 4;1 16 4;2 0 4;1 2 5;");
    EXPECT_TRUE(queue.Empty());
}
}
