// The window thread's part of the commands the sending thread sent: once per report, the open
// settings dialog is told of the last command that reached the network and of the COM lines
// that changed, the tray shows activity, a COM line with "Mute audio" presses the volume keys
// (its REMOTE line went out first), and a device that lost messages is told of once per
// episode, in a balloon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_record.h"
#include "remote/activity.h"
#include "remote/sending_thread.h"
#include "remote/shed_episodes.h"

// The settings dialog, when it is open; both calls do nothing otherwise.
class CommandWatcher {
public:
    // text is the dispatcher's last command, which lives until the next report.
    virtual void ShowLastCommand(const std::string& text, int device) = 0;
    virtual void ShowComLineState(int line, int level) = 0;

protected:
    ~CommandWatcher() = default;
};

// The shell's audio application commands (volume down, up, mute), and the tray's balloon.
class AudioCommands {
public:
    virtual void SendAppCommand(int command) = 0;
    virtual void ShowShedBalloon(const std::string& text) = 0;

protected:
    ~AudioCommands() = default;
};

struct CommandOutlets {
    CommandWatcher& watcher;
    CommandActivity& activity;
    AudioCommands& shell;
};

class CommandDispatcher {
public:
    explicit CommandDispatcher(const CommandOutlets& outlets) : m_outlets(outlets) {}

    // A report of the sending thread; com holds the running mute flags. now: milliseconds of a
    // monotonic clock. True when the counts of what was lost changed (the tooltip tells them).
    bool Apply(const SendReport& report, const ComSwitchConfig& com, std::uint64_t now);
    // The 2 s tick: an episode of drops is told once it has lasted a second, also when the
    // drops stopped before.
    void Tick(std::uint64_t now);

    const std::string& LastCommand() const { return m_strLastCommand; }
    std::uint64_t DroppedSinceStart() const { return m_shed.Total(); }
    // Lines the network library refused: lost, and the user should know it.
    std::uint64_t NotSentSinceStart() const { return m_notSent; }

private:
    void ShowBalloons(std::uint64_t now);

    CommandOutlets m_outlets;
    std::string m_strLastCommand;
    ShedEpisodes m_shed;
    std::uint64_t m_notSent = 0;
};
