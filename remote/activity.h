// The tray shows activity from the first command until five seconds after the last. At cable
// speed a command arrives every fraction of a millisecond, and renewing the timer for each
// would cost the window thread two system calls a command: the timer is renewed at most every
// 100 ms, and when it then fires before the five seconds are up it is set for what remains.
#pragma once

#include <cstdint>

class ActivityDisplay {
public:
    virtual ~ActivityDisplay() = default;
    virtual bool IsAnimating() const = 0;
    virtual void StartFrames() = 0;
    virtual void StopFrames() = 0;
};

class ActivityTimer {
public:
    virtual ~ActivityTimer() = default;
    // Setting it again restarts the time.
    virtual void SetActivityTimer(unsigned milliseconds) = 0;
    virtual void KillActivityTimer() = 0;
};

class CommandActivity {
public:
    static constexpr std::uint64_t kDurationMilliseconds = 5000;
    static constexpr std::uint64_t kRenewMilliseconds = 100;

    CommandActivity(ActivityDisplay& display, ActivityTimer& timer) : m_display(display), m_timer(timer) {}

    // Commands went out at now (milliseconds of a monotonic clock).
    void OnCommands(std::uint64_t now);
    // The activity timer fired.
    void OnTimer(std::uint64_t now);

private:
    void SetTimer(std::uint64_t now, std::uint64_t milliseconds);

    ActivityDisplay& m_display;
    ActivityTimer& m_timer;
    std::uint64_t m_lastCommand = 0;
    std::uint64_t m_timerSet = 0;
};
