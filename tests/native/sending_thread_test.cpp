// The sending thread's rules with its hand-overs done before it runs: what each entry and COM
// change becomes, the turns a flooding ring takes, the drop counts, and what the window
// thread then makes of a report: the dialog, the tray, the volume keys and the balloons.
#include <gtest/gtest.h>

#include <array>
#include <string>
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
    ASSERT_TRUE(f.thread.HandOverComLine(3, 1));
    f.held = false;
    f.thread.Stop();

    // Texts are text, never formats, and nothing is escaped.
    ASSERT_EQ(f.log.size(), 2u + 1 + 12 + 2 + 63);
    EXPECT_EQ(f.log[0], "init 127.0.0.1:9871");
    EXPECT_EQ(f.log[1], "REMOTE: \"A\"B\" \"%d\" \"%s%n/10/144/3/127\" 1");
    EXPECT_EQ(f.log[2], "REMOTE: \"A\"B\" \"%d\" \"%s%n/0/176/7/0\" 1");
    EXPECT_EQ(f.log.back(), "close");
    // Eight from each ring per turn: the flood of device 4 never holds the others back.
    std::string devices;
    for (std::size_t i = 2; i + 1 < f.log.size(); ++i)
        devices += f.log[i][f.log[i].find("%s%n/") + 5];
    std::string four(8, '4');
    EXPECT_EQ(devices, std::string(8, '0') + "22" + four + "0000" + four + four + four + four + four + four + "4444444");
    EXPECT_NE(f.log.end(), std::find(f.log.begin(), f.log.end(), "REMOTE: \"A\"B\" \"%d\" \"%s%n/2/145/60/1\" 1"));
    SendReport report = f.thread.TakeReport();
    EXPECT_EQ(std::tuple(report.lastCommand, report.lastDevice, report.dropped, report.refused, report.comChanges),
              std::tuple("%s%n/4/224/61/0", 4, std::array<std::uint64_t, 5>{ 0, 0, 0, 0, 3 }, 1u,
                         std::vector<ComLineChange>{ { 3, 1 } }));
    EXPECT_EQ(f.notified, 1);
}

TEST(SendingThread, SettingsPublishedReachTheLibraryAndTheNextRoundAndTheWindowThreadHearsAtMostEvery50Ms)
{
    SendingFakes f;
    f.failedNotifications = 1;
    MidiRing empty, ring;
    f.thread.Start({ "127.0.0.1", 1, "A", "a", "X", false, 10 }, true);
    f.thread.Publish(0, empty);
    f.thread.Withdraw(0);   // a round went by with the first settings
    f.thread.PublishSettings({ "127.0.0.2", 2, "B", "b", "Y", false, 10 }, true);
    // Told at once; the message lost, told again once 50 ms are up, not sooner.
    for (auto [now, told] : { std::pair(1000, 1), std::pair(1049, 1), std::pair(1050, 2) }) {
        f.now = static_cast<std::uint64_t>(now);
        Push(ring, 0x90, 60, now % 100);
        f.thread.Publish(1, ring);
        f.thread.Withdraw(1);
        f.thread.Publish(0, empty);
        f.thread.Withdraw(0);   // the round that told, or not, is over
        EXPECT_EQ(f.notified, told) << now;
        f.thread.TakeReport();
    }
    f.now = 1060;
    ASSERT_TRUE(f.thread.HandOverComLine(2, 1));   // a COM line is told at once
    f.thread.Stop();
    EXPECT_EQ(f.notified, 3);
    const std::string line = "REMOTE: \"B\" \"b\" \"Y/";
    EXPECT_EQ(f.log, (std::vector<std::string>{ "init 127.0.0.1:1", "init 127.0.0.2:2", line + "1/144/60/0\" 1",
                                                line + "1/144/60/49\" 1", line + "1/144/60/50\" 1", line + "10/144/2/127\" 1", "close" }));
}

struct Shell : CommandWatcher, ActivityDisplay, ActivityTimer, AudioCommands {
    void ShowLastCommand(const std::string& text, int device) override { Add("dialog " + text, device); }
    void ShowComLineState(int line, int level) override { Add("led " + std::to_string(line), level); }
    bool IsAnimating() const override { return false; }
    void StartFrames() override { log.push_back("frames"); }
    void StopFrames() override {}
    void SetActivityTimer(unsigned) override {}
    void KillActivityTimer() override {}
    void SendAppCommand(int command) override { Add("app", command); }
    void ShowShedBalloon(const std::string& text) override { log.push_back(text); }
    void Add(const std::string& what, int value) { log.push_back(what + " " + std::to_string(value)); }

    Log log;
    CommandActivity activity{ *this, *this };
    CommandDispatcher dispatcher{ { *this, activity, *this } };
};

TEST(CommandDispatcher, AReportPressesTheVolumeKeysOfMutingLinesThenTellsTheDialogAndTheTray)
{
    const std::string down = "app " + std::to_string(kAppCommandVolumeDown), up = "app " + std::to_string(kAppCommandVolumeUp);
    const std::string mute = "app " + std::to_string(kAppCommandVolumeMute);
    struct Case { const char* rule; int line, level, mutingLine; Log log; };   // mutingLine -1: none
    const Case cases[] = {
        { "no muting line", 2, 0, -1, { "dialog C 10", "frames", "led 2 0" } },
        { "a muting line, active: down, up and mute", 3, 1, 3, { down, up, mute, "dialog C 10", "frames", "led 3 1" } },
        { "a muting line, released: down and up", 1, 0, 1, { down, up, "dialog C 10", "frames", "led 1 0" } },
        { "another line's mute flag does nothing", 0, 1, 1, { "dialog C 10", "frames", "led 0 1" } },
    };
    for (const Case& c : cases) {
        Shell s;
        ComSwitchConfig com;
        if (c.mutingLine >= 0)
            com.Mute(c.mutingLine) = 1;
        SendReport report;
        report.lastCommand = "C", report.lastDevice = 10, report.comChanges = { { c.line, c.level } };
        s.dispatcher.Apply(report, com, 1000);
        EXPECT_EQ(s.log, c.log) << c.rule;
    }
}

TEST(CommandDispatcher, DropsAreToldOncePerEpisodeASecondAfterTheyBeganAndCountedForTheTooltip)
{
    EXPECT_EQ(ShedText(0, 1234), "MIDI device 0: 1,234 messages dropped, they came faster than the network carries");
    EXPECT_EQ(ShedTooltip(1), ", 1 message dropped");
    EXPECT_EQ(ShedTooltip(123456), ", 123,456 messages dropped");
    struct Step { std::uint64_t now, device0, device3; Log balloons; };
    const Step steps[] = {
        { 0, 100, 1, {} },
        { 900, 1100, 1, {} },
        { 1000, 1234, 1, { ShedText(0, 1234), ShedText(3, 1) } },
        { 2500, 1300, 1, {} },   // the same episode
        { 4400, 1300, 1, {} },
        { 4600, 1301, 1, {} },   // after 2 s of quiet, another one
        { 5600, 1301, 1, { ShedText(0, 1) } },
    };
    Shell s;
    for (const Step& step : steps) {
        SendReport report;
        report.dropped = { step.device0, 0, 0, step.device3, 0 };
        s.log.clear();
        s.dispatcher.Apply(report, {}, step.now);
        EXPECT_EQ(s.log, step.balloons) << step.now;
    }
    EXPECT_EQ(s.dispatcher.DroppedSinceStart(), 1302u);
}
}
