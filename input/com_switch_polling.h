// The COM polling thread's loop, apart from the port it reads and the window it posts to.
#pragma once

#include <atomic>
#include <cstdint>

#include "input/com_line_edges.h"

constexpr unsigned kComPollMilliseconds = 10;

class ComSwitchPollPort {
public:
    virtual ~ComSwitchPollPort() = default;
    // False when this read failed; the loop tries again after the next pause.
    virtual bool ReadModemStatus(std::uint32_t& status) = 0;
    virtual void PostLineEvent(const ComLineEvent& event) = 0;
    virtual void WaitPollInterval() = 0;
};

// Polls until the stop flag is seen, which ends it at once when it is set already. The flag
// is looked at only after a pause, never between a read and its events, so a switch still
// held when the monitor closes is never reported as released.
void RunComSwitchPolling(const ComLineFlags& monitored, const std::atomic<bool>& stop, ComSwitchPollPort& port);
