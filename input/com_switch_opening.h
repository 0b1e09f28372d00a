// Opening the COM switches' port: try it, and while it fails let the user retry or give the
// port up, for this run or for good, trying it again meanwhile; and what the answer does to
// the settings that run and to those saved.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/settings_record.h"

// What starting the COM switches comes to.
enum class ComSwitchesResult {
    Open,                  // open and monitored, or no port configured
    OpenedWhileAsking,     // open: the port came while the error dialog waited (the user is told)
    DisabledForSession,    // the caller clears its enable flag
    DisabledPermanently,   // the caller clears its enable flag and saves
    // The switches were started or stopped anew while the error dialog waited (the tray's
    // settings): the answer was about a port no longer asked for, and changes nothing.
    Superseded,
};

// The port error dialog's results: its OK and Cancel buttons and the retry button.
constexpr std::intptr_t kPortErrorDisableForSession = 1;
constexpr std::intptr_t kPortErrorDisablePermanently = 2;
constexpr std::intptr_t kPortErrorRetry = 1041;
// While the dialog is shown, the port is tried again this often.
constexpr unsigned kPortErrorRetryMilliseconds = 2000;

enum class PortErrorAnswer { Retry, DisableForSession, DisablePermanently, OpenedWhileAsking };

// Any result but the two others counts as "for this session only", above all the -1 of a
// dialog that could not be shown: the loop needs an answer to end, and this one saves nothing.
PortErrorAnswer PortErrorAnswerFor(std::intptr_t dialogResult);

class PortOpening {
public:
    virtual ~PortOpening() = default;
    // Three attempts 100 ms apart, or, while the dialog waits, one (the window thread blocks).
    virtual bool TryOpen() = 0;
    virtual bool TryOpenOnce() = 0;
    // Shows the error dialog, which calls RetryWhileAsking every 2 s, until it ends.
    virtual PortErrorAnswer AskAfterFailure() = 0;
    // The switches were started or stopped anew since this opening began.
    virtual bool Superseded() const = 0;
};

// Tries the port until it opens or the user gives it up.
ComSwitchesResult OpenOrAskUser(PortOpening& opening);

// What the error dialog does at each retry: end with this answer, or go on waiting. Once the
// switches were started anew it ends as Retry, without trying the port it was asked for.
std::optional<PortErrorAnswer> RetryWhileAsking(PortOpening& opening);

// The port that "Only for this session" keeps off while the file keeps it on: every save
// stores Enable and the port as the user stored them, never the session's state, until the
// user enables the switches again.
class SessionDisabledPort {
public:
    // Takes the answer of a start for askedPort into the running settings: both disabling
    // answers turn the switches off. Open and Superseded change nothing.
    void TakeAnswer(ComSwitchesResult result, const std::string& askedPort, Settings& running);
    // The settings as a save stores them.
    Settings ToStore(const Settings& running);
    // Settings read from the file run without the port kept off.
    void AfterLoading(Settings& loaded) const;

private:
    std::optional<std::string> m_port;
};
