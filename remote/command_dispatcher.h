// The road of every accepted input event once it has reached the window thread: a MIDI entry
// or a COM line change becomes the command text, which the network library sends inside a
// REMOTE line; a COM line with "Mute audio" then asks for the volume commands. Only then come
// the cosmetics: the open settings dialog is told of the last command and the tray shows
// activity, once per drain of the MIDI rings rather than once per message, so that the window
// thread spends its time on sends.
#pragma once

#include <cstdint>
#include <string>

#include "config/settings_record.h"
#include "remote/activity.h"

// The network library: one REMOTE line to broadcast.
class CommandSender {
public:
    virtual void SendRemoteLine(const std::string& line) = 0;

protected:
    ~CommandSender() = default;
};

// The settings dialog, when it is open; both calls do nothing otherwise.
class CommandWatcher {
public:
    // text is the dispatcher's last command, which lives until the next dispatch.
    virtual void ShowLastCommand(const std::string& text, int device) = 0;
    virtual void ShowComLineState(int line, int level) = 0;

protected:
    ~CommandWatcher() = default;
};

// The shell's audio application commands (volume down, up, mute).
class AudioCommands {
public:
    virtual void SendAppCommand(int command) = 0;

protected:
    ~AudioCommands() = default;
};

struct CommandOutlets {
    CommandSender& sender;
    CommandWatcher& watcher;
    CommandActivity& activity;
    AudioCommands& audio;
};

class CommandDispatcher {
public:
    // settings are the running ones, read at every dispatch.
    CommandDispatcher(const Settings& settings, const CommandOutlets& outlets)
        : m_settings(settings), m_outlets(outlets)
    {
    }

    // One entry of MIDI device 0–4, sent at once; a NOTE ON of velocity 0 stops here when
    // FilterNoteOff is set. True when a command went out.
    bool DispatchMidiEntry(int device, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // After a drain: the dialog and the tray hear of the entries sent since the last call.
    void FinishMidiBatch(std::uint64_t now);

    // A change of COM line 0–3 to level 1 or 0: a NOTE ON of the COM device number, never
    // filtered. now: milliseconds of a monotonic clock.
    void DispatchComLineEvent(int line, int level, std::uint64_t now);

    const std::string& LastCommand() const { return m_strLastCommand; }

private:
    // The REMOTE line of the last command to the sender.
    void Send();

    const Settings& m_settings;
    CommandOutlets m_outlets;
    std::string m_strLastCommand;
    int m_nBatchDevice = -1;   // the device of the last MIDI command not yet shown, or -1
};
