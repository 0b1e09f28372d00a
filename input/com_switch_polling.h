// The COM polling thread's loop, apart from the port it reads, the window it posts to and the
// clock: reading the modem status, posting the changes, and reopening a port that went away.
#pragma once

#include <atomic>
#include <cstdint>

#include "input/com_line_edges.h"

constexpr unsigned kComPollMilliseconds = 10;
// A port that went away (a USB adapter pulled) is tried again this often.
constexpr std::uint64_t kComReopenMilliseconds = 2000;

class ComSwitchPollPort {
public:
    virtual ~ComSwitchPollPort() = default;
    // False when the read failed.
    virtual bool ReadModemStatus(std::uint32_t& status) = 0;
    // Clears the port's line errors, which with fAbortOnError would fail every later read.
    virtual void ClearErrors() = 0;
    // Each post says whether it went through; what was not posted is posted again later.
    virtual bool PostLineEvent(const ComLineEvent& event) = 0;
    virtual bool PostPortState(bool present) = 0;
    virtual void ClosePort() = 0;
    // One attempt to open the port again, configured and with RTS and DTR driven as at first.
    virtual bool ReopenPort() = 0;
    virtual void WaitPollInterval() = 0;
    virtual std::uint64_t NowMilliseconds() = 0;   // a steady clock
};

// Polls until the stop flag is seen, which ends it at once when it is set already. The flag
// is looked at only after a pause, never between a read and its events, so a switch still
// held when the monitor closes is never reported as released.
//
// A failed read clears the port's errors and is tried again after the pause; a second failed
// read in a row closes the port and reports it lost. It is reopened every 2 s, never read in
// between, and reported back at its first good read. Its changes are those against the levels
// last reported, so a switch held all along is not reported again. Pauses go on while the
// port is away, so a stop is seen as promptly.
void RunComSwitchPolling(const ComLineFlags& monitored, const std::atomic<bool>& stop, ComSwitchPollPort& port);
