// Where the settings dialog's LEDs are cut from their strip and placed, and the tray's queue of
// shell calls.
#include "ui/led_placement.h"
#include "ui/tray_call_queue.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {
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
