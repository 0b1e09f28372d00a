// What MIDI entries and COM line changes set off, in order: the REMOTE line (and for a muting
// line the audio commands) first, then the dialog and the tray activity, once per drain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remote/command_dispatcher.h"
#include "remote/command_text.h"

namespace {
using Log = std::vector<std::string>;

class Outlets : public CommandSender, public CommandWatcher, public ActivityDisplay, public ActivityTimer,
                public AudioCommands {
public:
    void SendRemoteLine(const std::string& line) override { log.push_back("send " + line); }
    void ShowLastCommand(const std::string& text, int device) override
    {
        log.push_back("dialog " + text + " " + std::to_string(device));
    }
    void ShowComLineState(int line, int level) override
    {
        log.push_back("led " + std::to_string(line) + " " + std::to_string(level));
    }
    bool IsAnimating() const override { return animating; }
    void StartFrames() override { log.push_back("frames"); }
    void StopFrames() override { log.push_back("stop"); }
    void SetActivityTimer(unsigned milliseconds) override { log.push_back("set timer " + std::to_string(milliseconds)); }
    void KillActivityTimer() override { log.push_back("kill timer"); }
    void SendAppCommand(int command) override { log.push_back("app " + std::to_string(command)); }

    bool animating = false;
    Log log;
};

struct Fixture {
    Settings settings;
    Outlets outlets;
    CommandActivity activity{ outlets, outlets };
    CommandDispatcher dispatcher{ settings, { outlets, outlets, activity, outlets } };
};

TEST(CommandDispatcher, AMidiEntryIsFilteredOrBecomesOneCommandInFixedOrder)
{
    struct Case {
        const char* rule;
        int filter;
        const char* textCommand;
        const char* applicationId;
        const char* destination;
        bool animating;
        int device, status, data1, data2;
        Log log;
    };
    const Case cases[] = {
        { "NOTE ON with the defaults", 1, "", "", "", false, 2, 0x90, 60, 100,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/2/144/60/100\" 1", "dialog AUXMIDI/2/144/60/100 2", "frames", "set timer 5000" } },
        { "running activity only renews the timer", 0, "FOOT", "LOG", "Desk 2", true, 4, 0xB5, 7, 0,
          { "send REMOTE: \"LOG\" \"Desk 2\" \"FOOT/4/181/7/0\" 1", "dialog FOOT/4/181/7/0 4", "set timer 5000" } },
        { "settings are text, never formats or escaped", 0, "%s%n", "A\"B", "%d", false, 0, 0x80, 0, 255,
          { "send REMOTE: \"A\"B\" \"%d\" \"%s%n/0/128/0/255\" 1", "dialog %s%n/0/128/0/255 0", "frames", "set timer 5000" } },
        { "the filter drops NOTE ON of velocity 0 on any channel", 1, "", "", "", false, 1, 0x9A, 60, 0, {} },
        { "NOTE ON of velocity 0 passes with the filter off", 0, "", "", "", false, 1, 0x90, 60, 0,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/1/144/60/0\" 1", "dialog AUXMIDI/1/144/60/0 1", "frames", "set timer 5000" } },
        { "a real NOTE OFF passes the filter", 1, "", "", "", false, 1, 0x80, 60, 0,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/1/128/60/0\" 1", "dialog AUXMIDI/1/128/60/0 1", "frames", "set timer 5000" } },
    };
    for (const Case& c : cases) {
        Fixture f;
        f.settings.m_bFilterNoteOff = c.filter;
        f.settings.m_strTextCommand = c.textCommand;
        f.settings.m_strApplicationId = c.applicationId;
        f.settings.m_strDestination = c.destination;
        f.outlets.animating = c.animating;
        bool sent = f.dispatcher.DispatchMidiEntry(c.device, static_cast<std::uint8_t>(c.status),
                                                   static_cast<std::uint8_t>(c.data1), static_cast<std::uint8_t>(c.data2));
        f.dispatcher.FinishMidiBatch(1000);
        EXPECT_EQ(f.outlets.log, c.log) << c.rule;
        EXPECT_EQ(sent, !c.log.empty()) << c.rule;
        if (sent) {
            EXPECT_EQ("dialog " + f.dispatcher.LastCommand() + " " + std::to_string(c.device), c.log[1]) << c.rule;
        }
    }
}

TEST(CommandDispatcher, AComLineChangeIsANoteOnOfTheComDeviceAndMayMuteTheAudio)
{
    const std::string down = "app " + std::to_string(kAppCommandVolumeDown);
    const std::string up = "app " + std::to_string(kAppCommandVolumeUp);
    const std::string mute = "app " + std::to_string(kAppCommandVolumeMute);
    struct Case {
        const char* rule;
        int line, level;
        int mutingLine;   // -1: none
        Log log;
    };
    const Case cases[] = {
        { "CTS becomes active", 0, 1, -1,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/0/127\" 1", "dialog AUXMIDI/10/144/0/127 10", "led 0 1", "frames", "set timer 5000" } },
        { "a release is never taken for a NOTE OFF to filter", 2, 0, -1,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/2/0\" 1", "dialog AUXMIDI/10/144/2/0 10", "led 2 0", "frames", "set timer 5000" } },
        { "a muting line, active: down, up and mute after the send", 3, 1, 3,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/3/127\" 1", down, up, mute, "dialog AUXMIDI/10/144/3/127 10", "led 3 1", "frames", "set timer 5000" } },
        { "a muting line, released: down and up", 1, 0, 1,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/1/0\" 1", down, up, "dialog AUXMIDI/10/144/1/0 10", "led 1 0", "frames", "set timer 5000" } },
        { "another line's mute flag does nothing", 0, 1, 1,
          { "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/10/144/0/127\" 1", "dialog AUXMIDI/10/144/0/127 10", "led 0 1", "frames", "set timer 5000" } },
    };
    for (const Case& c : cases) {
        Fixture f;
        f.settings.m_bFilterNoteOff = 1;
        f.settings.m_comConfig.Device = 10;
        if (c.mutingLine >= 0)
            f.settings.m_comConfig.Mute(c.mutingLine) = 1;
        f.dispatcher.DispatchComLineEvent(c.line, c.level, 1000);
        EXPECT_EQ(f.outlets.log, c.log) << c.rule;
    }
}

TEST(CommandDispatcher, ADrainSendsEveryEntryFirstAndShowsOnlyTheLastOnce)
{
    Fixture f;
    f.settings.m_bFilterNoteOff = 1;
    f.dispatcher.DispatchMidiEntry(0, 0x90, 60, 100);
    f.dispatcher.DispatchMidiEntry(3, 0x90, 61, 0);
    f.dispatcher.DispatchMidiEntry(1, 0xB0, 7, 1);
    f.dispatcher.FinishMidiBatch(1000);
    f.dispatcher.FinishMidiBatch(1001);
    EXPECT_EQ(f.outlets.log, (Log{ "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/0/144/60/100\" 1",
                                   "send REMOTE: \"MIDI\" \"\" \"AUXMIDI/1/176/7/1\" 1",
                                   "dialog AUXMIDI/1/176/7/1 1", "frames", "set timer 5000" }));
}
}
