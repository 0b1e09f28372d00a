// The sending thread's rules with its hand-overs done before it runs: what each entry and COM
// change becomes, the turns a flooding ring takes, the drop counts, and what the window
// thread then makes of a report: the dialog, the tray's activity (its frames until five seconds
// after the last command), the volume keys and the balloons.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "remote/command_dispatcher.h"
#include "remote/command_text.h"
#include "tests/native/sending_fakes.h"

namespace {
using Log = std::vector<std::string>;

void Push(MidiRing& ring, int status, int data1, int data2)
{
    ring.TryPush(MakeMidiRingEntry(static_cast<std::uint32_t>(status | data1 << 8 | data2 << 16), 0));
}

TEST(SendingThread, EntriesGoOutInTurnsFilteredAndFormattedFromTheSettingsTheirDropsAndRefusalsCounted)
{
    SendingFakes f;
    std::array<MidiRing, kMidiDeviceCount> rings;
    for (int i = 0; i < 12; ++i)
        Push(rings[0], 0xB0, 7, i);
    // The filter drops NOTE ON of velocity 0 on any channel, never a NOTE OFF.
    for (int status : { 0x90, 0x80, 0x9A, 0x91 })
        Push(rings[2], status, 60, status & 1);
    for (int i = 0; i < 66; ++i)   // 63 fit
        Push(rings[4], 0xE0, i, 0);
    for (int n : { 0, 2, 4 })
        f.thread.Publish(n, rings[static_cast<std::size_t>(n)]);
    Settings settings;
    settings.m_strBroadcastAddress = "127.0.0.1", settings.m_nPort = 9871, settings.m_strApplicationId = "A\"B";
    settings.m_strDestination = "%d", settings.m_strTextCommand = "%s%n", settings.m_bFilterNoteOff = 1, settings.m_comConfig.Device = 10;
    f.refused = "/4/224/62/0";   // the last line
    f.held = true;   // the COM line is there before the first round
    f.thread.Start(SendSettingsOf(settings), true);
    ASSERT_TRUE(f.thread.HandOverComLine(3, 1) && f.thread.HandOverComLine(2, 0));
    f.held = false;
    f.thread.Stop();

    // Texts are text, never formats, and nothing is escaped.
    ASSERT_EQ(f.log.size(), 2u + 2 + 12 + 2 + 63);
    EXPECT_EQ(f.log[0], "init 127.0.0.1:9871");
    EXPECT_EQ(f.log[1], "REMOTE: \"A\"B\" \"%d\" \"%s%n/10/144/3/127\" 1");
    EXPECT_EQ(f.log[2], "REMOTE: \"A\"B\" \"%d\" \"%s%n/10/144/2/0\" 1");
    EXPECT_EQ(f.log[3], "REMOTE: \"A\"B\" \"%d\" \"%s%n/0/176/7/0\" 1");
    EXPECT_EQ(f.log.back(), "close");
    // Eight from each ring per turn: the flood of device 4 never holds the others back.
    std::string devices;
    for (std::size_t i = 3; i + 1 < f.log.size(); ++i)
        devices += f.log[i][f.log[i].find("%s%n/") + 5];
    std::string four(8, '4');
    EXPECT_EQ(devices, std::string(8, '0') + "22" + four + "0000" + four + four + four + four + four + four + "4444444");
    EXPECT_NE(f.log.end(), std::find(f.log.begin(), f.log.end(), "REMOTE: \"A\"B\" \"%d\" \"%s%n/2/145/60/1\" 1"));
    SendReport report = f.thread.TakeReport();
    EXPECT_EQ(std::tuple(report.lastCommand, report.lastDevice, report.dropped, report.refused, report.comChanges),
              std::tuple("%s%n/4/224/61/0", 4, std::array<std::uint64_t, 5>{ 0, 0, 0, 0, 3 }, 1u,
                         std::vector<ComLineChange>{ { 3, 1 }, { 2, 0 } }));
    EXPECT_EQ(f.notified, 1);
}

TEST(SendingThread, SettingsPublishedReachTheLibraryAndTheNextRoundAndTheWindowThreadHearsAtMostEvery50Ms)
{
    SendingFakes f;
    f.failedNotifications = 1;
    MidiRing empty, ring, gone;
    Push(gone, 0x90, 1, 0);
    f.thread.Publish(2, gone);
    f.thread.Withdraw(2);   // before the start: at once, and never seen
    f.thread.Start({ "127.0.0.1", 1, "A", "a", "X", false, 10 }, true);
    f.thread.Publish(0, empty);
    f.thread.Withdraw(0);   // a round went by with the first settings
    f.thread.PublishSettings({ "127.0.0.2", 2, "B", "b", "Y" }, true);   // no filter, COM as device 0
    // Told at once; the message lost, told again once 50 ms are up, not sooner; a COM line at once.
    std::string reported;
    for (auto [now, told] : { std::pair(1000, 1), std::pair(1049, 1), std::pair(1050, 2), std::pair(1060, 3) }) {
        f.now = static_cast<std::uint64_t>(now);
        if (now == 1060)
            ASSERT_TRUE(f.thread.HandOverComLine(2, 1));
        else
            Push(ring, 0x90, 60, now % 100);
        f.thread.Publish(1, ring);
        f.thread.Withdraw(1);
        f.thread.Publish(0, empty);
        f.thread.Withdraw(0);   // the round that told, or not, is over
        EXPECT_EQ(f.notified, told) << now;
        if (told > f.failedNotifications)   // as the window thread does once a message came
            reported = f.thread.TakeReport().lastCommand;
    }
    EXPECT_EQ(reported, "Y/0/144/2/127");
    SendReport again = f.thread.TakeReport();   // taken again with nothing new: no command, no COM change
    EXPECT_EQ(std::pair(again.lastDevice, again.comChanges.empty()), std::pair(-1, true));
    f.thread.Stop();
    EXPECT_FALSE(f.thread.HandOverComLine(0, 1));   // stopped: refused, for the caller to keep
    // Started again, asleep, it is woken by a COM line; by a ring published with entries whose wake
    // went to a round before (all go out, in turns, with no other wake); by another published in its
    // place, once the first gave its last entries (refused: no command). Each ring's drops are its own,
    // also told by a round that sends nothing.
    for (MidiRing* filled : { &ring, &gone })
        for (int i = 0; i < 66; ++i)
            Push(*filled, 0x90, 0, filled == &ring ? 127 : 0);   // 63 fit; ring's as the COM line
    f.thread.Start({ "", 0, "", "", "", true }, true);
    auto asleep = [&] { return f.parked.load(); };
    ASSERT_TRUE(WaitFor(f, asleep));
    EXPECT_TRUE(f.thread.HandOverComLine(0, 1));
    ASSERT_TRUE(WaitFor(f, [&] { return f.sends == 5; }) && WaitFor(f, asleep));
    f.now += 50;   // the news is told at once: no time-out wakes the thread either
    f.thread.Publish(0, ring);
    ASSERT_TRUE(WaitFor(f, [&] { return f.sends == 68; }) && WaitFor(f, asleep));
    f.thread.TakeReport();   // as the window thread, told
    for (int i = 0; i < 9; ++i)   // a turn and one
        Push(ring, 0x90, 0, 127);
    f.refused = "AUX";
    f.thread.Publish(0, gone);
    f.thread.Stop();
    SendReport last = f.thread.TakeReport();
    EXPECT_EQ(std::tuple(last.lastDevice, last.refused, last.dropped[0], +f.notified),
              std::tuple(-1, 9u, 7u, 5));   // one message while a report waited
    const std::string line = "REMOTE: \"B\" \"b\" \"Y/";
    Log expected{ "init 127.0.0.1:1", "init 127.0.0.2:2", line + "1/144/60/0\" 1", line + "1/144/60/49\" 1",
                  line + "1/144/60/50\" 1", line + "0/144/2/127\" 1", "close", "init :0" };
    expected.resize(expected.size() + 73, "REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/0/127\" 1");
    expected.push_back("close");
    EXPECT_EQ(f.log, expected);
}

// A failed round is given up with what it had in hand (here the entry being sent), and the
// next one tried after a pause: a failure that lasts does not keep a core busy.
TEST(SendingThread, AFailedRoundIsTriedAgainAfterAPause)
{
    SendingFakes f;
    MidiRing ring;
    for (int i = 0; i < 60; ++i)
        Push(ring, 0x90, 60, i);
    f.thread.Publish(0, ring);
    f.failing = 1000;
    auto start = std::chrono::steady_clock::now();
    f.thread.Start({}, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int tries = 1000 - f.failing.exchange(0);   // taken before the time: the bound only grows
    EXPECT_LE(tries, 1 + (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(10));
    f.thread.Stop();
    EXPECT_EQ(f.sends + static_cast<std::size_t>(tries), 60u);
}

// The window thread's outlets; the activity timer, like the system's, restarts when set again.
struct Shell : CommandWatcher, ActivityDisplay, ActivityTimer, AudioCommands {
    void ShowLastCommand(const std::string& text, int device) override { Add("dialog " + text, device); }
    void ShowComLineState(int line, int level) override { Add("led " + std::to_string(line), level); }
    bool IsAnimating() const override { return animating; }
    void StartFrames() override { animating = true, log.push_back("frames"); }
    void StopFrames() override { animating = false, stoppedAt = now; }
    void SetActivityTimer(unsigned ms) override { ++timerSets, due = now + static_cast<int>(ms); }
    void KillActivityTimer() override { due.reset(); }
    void SendAppCommand(int command) override { Add("app", command); }
    void ShowShedBalloon(const std::string& text) override { log.push_back(text); }
    void Add(const std::string& what, int value) { log.push_back(what + " " + std::to_string(value)); }

    Log log;
    bool animating = false;
    int now = 0, stoppedAt = -1, timerSets = 0;
    std::optional<int> due;
    CommandActivity activity{ *this, *this };
    CommandDispatcher dispatcher{ { *this, activity, *this } };
};

TEST(CommandDispatcher, AReportPressesTheVolumeKeysOfMutingLinesThenTellsTheDialogAndTheTray)
{
    struct Case { int line, level, mutingLine; Log log; };   // "app": 9 volume down, 10 up, 8 mute
    const Case cases[] = {
        { 2, 0, -1, { "dialog C 0", "frames", "led 2 0" } },   // no muting line
        { 3, 1, 3, { "app 9", "app 10", "app 8", "dialog C 0", "frames", "led 3 1" } },   // active: down, up, mute
        { 1, 0, 1, { "app 9", "app 10", "dialog C 0", "frames", "led 1 0" } },   // released: down and up
        { 0, 1, 1, { "dialog C 0", "frames", "led 0 1" } },   // another line's mute flag does nothing
    };
    for (const Case& c : cases) {
        Shell s;
        ComSwitchConfig com;
        com.Mute(std::max(c.mutingLine, 0)) = c.mutingLine >= 0;
        s.dispatcher.Apply({ "C", 0, { { c.line, c.level } } }, com, 1000);
        EXPECT_EQ(s.log, c.log) << c.line;
    }
}

// Told by a report or by the 2 s tick, also when the drops stopped before.
TEST(CommandDispatcher, DropsAreToldOncePerEpisodeASecondAfterTheyBeganAndCountedForTheTooltipWithWhatWasNotSent)
{
    EXPECT_EQ(ShedText(0, 1234), "MIDI device 0: 1,234 messages dropped, they came faster than the network carries");
    EXPECT_EQ(ShedTooltip(1, 0), ", 1 message dropped");
    EXPECT_EQ(ShedTooltip(123456, 1), ", 123,456 messages dropped, 1 command not sent");
    EXPECT_EQ(ShedTooltip(0, 2), ", 2 commands not sent");
    struct Step { std::uint64_t now, device0, device3; Log balloons; };   // device0 0: the tick
    const Step steps[] = {
        { 0, 100, 1, {} },
        { 999, 1100, 1, {} },
        { 1000, 1234, 1, { ShedText(0, 1234), ShedText(3, 1) } },
        { 2500, 1300, 1, {} },   // the same episode
        { 4400, 1300, 1, {} },
        { 4500, 1301, 1, {} },   // after 2 s of quiet, another one
        { 5500, 0, 0, { ShedText(0, 1) } },
    };
    Shell s;
    EXPECT_EQ(s.dispatcher.NotSentSinceStart(), 0u);
    for (const Step& step : steps) {
        s.log.clear();
        step.device0 ? void(s.dispatcher.Apply({ "", -1, {}, { step.device0, 0, 0, step.device3, 0 } }, {}, step.now))
                     : s.dispatcher.Tick(step.now);
        EXPECT_EQ(s.log, step.balloons) << step.now;
    }
    EXPECT_EQ(s.dispatcher.DroppedSinceStart(), 1302u);
    // Lines the network library refused change the tooltip as drops do, also with drops.
    for (bool changed : { true, false })
        EXPECT_EQ(s.dispatcher.Apply({ "", -1, {}, {}, 2 }, {}, 6000), changed);
    EXPECT_TRUE(s.dispatcher.Apply({ "", -1, {}, { 1302, 0, 0, 2, 0 }, 3 }, {}, 6000));
    EXPECT_EQ(s.dispatcher.DroppedSinceStart() * 10 + s.dispatcher.NotSentSinceStart(), 13043u);
}

TEST(Activity, TheFramesRunUnbrokenUntilFiveSecondsAfterTheLastCommandAFloodRenewingTheTimerRarely)
{
    // A flood renews the timer every 100 ms, not more often nor less, and sets it once more for the rest.
    struct Case { int every, lastCommand, timerSets; };
    for (const Case& c : { Case{ 1000, 9000, 10 }, Case{ 1, 5050, 50 + 1 + 1 } }) {
        Shell s;
        for (s.now = 0; s.now <= 20000; ++s.now) {
            if (s.now % c.every == 0 && s.now <= c.lastCommand)
                s.activity.OnCommands(static_cast<std::uint64_t>(s.now));
            if (s.due == s.now)
                s.activity.OnTimer(static_cast<std::uint64_t>(s.now));
        }
        EXPECT_EQ(std::tuple(s.log, s.stoppedAt, s.animating, s.due, s.timerSets),
                  std::tuple(Log{ "frames" }, c.lastCommand + 5000, false, std::nullopt, c.timerSets))
            << c.every;
    }
}
}
