// Opening the COM switches' port: try it, and while it fails let the user retry or give the
// port up, for this run or for good.
#pragma once

#include <cstdint>

// What starting the COM switches comes to.
enum class ComSwitchesResult {
    Open,                  // open and monitored, or no port configured
    DisabledForSession,    // the caller clears its enable flag
    DisabledPermanently,   // the caller clears its enable flag and saves
};

// The port error dialog's results: its OK and Cancel buttons and the retry button.
constexpr std::intptr_t kPortErrorDisableForSession = 1;
constexpr std::intptr_t kPortErrorDisablePermanently = 2;
constexpr std::intptr_t kPortErrorRetry = 1041;

enum class PortErrorAnswer { Retry, DisableForSession, DisablePermanently };

// Any result but the two others counts as "for this session only", above all the -1 of a
// dialog that could not be shown: the loop needs an answer to end, and this one saves nothing.
PortErrorAnswer PortErrorAnswerFor(std::intptr_t dialogResult);

class PortOpening {
public:
    virtual ~PortOpening() = default;
    virtual bool TryOpen() = 0;
    virtual PortErrorAnswer AskAfterFailure() = 0;
};

// Tries the port until it opens or the user gives it up.
ComSwitchesResult OpenOrAskUser(PortOpening& opening);
