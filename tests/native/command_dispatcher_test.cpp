// What MIDI entries and COM line changes set off, in order: the REMOTE line (and for a muting
// line the audio commands) first, then the dialog and the tray activity, once per drain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote/command_dispatcher.h"
#include "remote/command_text.h"

namespace {
using Log = std::vector<std::string>;

struct Fixture : CommandSender, CommandWatcher, ActivityDisplay, ActivityTimer, AudioCommands {
    void SendRemoteLine(const std::string& line) override { log.push_back("send " + line); }
    void ShowLastCommand(const std::string& text, int device) override { Add("dialog " + text, device); }
    void ShowComLineState(int line, int level) override { Add("led " + std::to_string(line), level); }
    bool IsAnimating() const override { return false; }
    void StartFrames() override { log.push_back("frames"); }
    void StopFrames() override {}
    void SetActivityTimer(unsigned milliseconds) override { Add("set timer", static_cast<int>(milliseconds)); }
    void KillActivityTimer() override {}
    void SendAppCommand(int command) override { Add("app", command); }
    void Add(const std::string& what, int value) { log.push_back(what + " " + std::to_string(value)); }

    Log log;
    Settings settings;
    CommandActivity activity{ *this, *this };
    CommandDispatcher dispatcher{ settings, { *this, *this, activity, *this } };
};

// The log of one command sent with the default ids: the send, then `between`, the dialog, `led`.
Log Sent(const std::string& command, int device, Log between = {}, const std::string& led = "")
{
    Log log = { "send REMOTE: \"MIDI\" \"\" \"" + command + "\" 1" };
    log.insert(log.end(), between.begin(), between.end());
    log.push_back("dialog " + command + " " + std::to_string(device));
    if (!led.empty())
        log.push_back(led);
    log.insert(log.end(), { "frames", "set timer 5000" });
    return log;
}

TEST(CommandDispatcher, AMidiEntryIsFilteredOrBecomesOneCommandShownOncePerDrain)
{
    struct Case { const char *rule, *textCommand, *applicationId, *destination; int filter, device, status, data1, data2; Log log; };
    const Case cases[] = {
        { "settings are text, never formats or escaped", "%s%n", "A\"B", "%d", 0, 0, 0x80, 0, 255,
          { "send REMOTE: \"A\"B\" \"%d\" \"%s%n/0/128/0/255\" 1", "dialog %s%n/0/128/0/255 0", "frames", "set timer 5000" } },
        { "the filter drops NOTE ON of velocity 0 on any channel", "", "", "", 1, 1, 0x9B, 60, 0, {} },
        { "NOTE ON of velocity 0 passes with the filter off", "", "", "", 0, 1, 0x90, 60, 0, Sent("AUXMIDI/1/144/60/0", 1) },
        { "a real NOTE OFF passes the filter", "", "", "", 1, 1, 0x80, 60, 0, Sent("AUXMIDI/1/128/60/0", 1) },
    };
    for (const Case& c : cases) {
        Fixture f;
        f.settings.m_bFilterNoteOff = c.filter;
        f.settings.m_strTextCommand = c.textCommand;
        f.settings.m_strApplicationId = c.applicationId;
        f.settings.m_strDestination = c.destination;
        EXPECT_EQ(f.dispatcher.DispatchMidiEntry(c.device, static_cast<std::uint8_t>(c.status), static_cast<std::uint8_t>(c.data1),
                                                 static_cast<std::uint8_t>(c.data2)), !c.log.empty()) << c.rule;
        f.dispatcher.FinishMidiBatch(1000);
        EXPECT_EQ(f.log, c.log) << c.rule;
    }
    // A drain sends every entry first and shows only the last, once.
    Fixture f;
    f.settings.m_bFilterNoteOff = 1;
    f.dispatcher.DispatchMidiEntry(0, 0x90, 60, 100);
    f.dispatcher.DispatchMidiEntry(3, 0x90, 61, 0);
    f.dispatcher.DispatchMidiEntry(1, 0xB0, 7, 1);
    f.dispatcher.FinishMidiBatch(1000);
    f.dispatcher.FinishMidiBatch(1001);
    Log expected = Sent("AUXMIDI/1/176/7/1", 1);
    expected.insert(expected.begin(), "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1");
    EXPECT_EQ(f.log, expected);
    EXPECT_EQ(f.dispatcher.LastCommand(), "AUXMIDI/1/176/7/1");
}

TEST(CommandDispatcher, AComLineChangeIsANoteOnOfTheComDeviceAndMayMuteTheAudio)
{
    const std::string down = "app " + std::to_string(kAppCommandVolumeDown), up = "app " + std::to_string(kAppCommandVolumeUp);
    struct Case { const char* rule; int line, level, mutingLine; Log log; };   // mutingLine -1: none
    const Case cases[] = {
        { "a release is never taken for a NOTE OFF to filter", 2, 0, -1, Sent("AUXMIDI/10/144/2/0", 10, {}, "led 2 0") },
        { "a muting line, active: down, up and mute after the send", 3, 1, 3,
          Sent("AUXMIDI/10/144/3/127", 10, { down, up, "app " + std::to_string(kAppCommandVolumeMute) }, "led 3 1") },
        { "a muting line, released: down and up", 0, 0, 0, Sent("AUXMIDI/10/144/0/0", 10, { down, up }, "led 0 0") },
        { "another line's mute flag does nothing", 0, 1, 1, Sent("AUXMIDI/10/144/0/127", 10, {}, "led 0 1") },
        { "a line past the last never mutes", 4, 1, 3, Sent("AUXMIDI/10/144/4/127", 10, {}, "led 4 1") },
    };
    for (const Case& c : cases) {
        Fixture f;
        f.settings.m_bFilterNoteOff = 1;
        f.settings.m_comConfig.Device = 10;
        if (c.mutingLine >= 0)
            f.settings.m_comConfig.Mute(c.mutingLine) = 1;
        f.dispatcher.DispatchComLineEvent(c.line, c.level, 1000);
        f.dispatcher.FinishMidiBatch(1001);   // shown already: a drain after it shows nothing
        EXPECT_EQ(f.log, c.log) << c.rule;
    }
}
}
