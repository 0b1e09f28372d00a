// The tray shows activity from the first command until five seconds after the last: each
// command starts the animation or, when it runs already, only renews the timer.
#pragma once

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
    virtual void SetActivityTimer() = 0;   // 5000 ms; setting it again restarts the time
    virtual void KillActivityTimer() = 0;
};

void ShowCommandActivity(ActivityDisplay& display, ActivityTimer& timer);
void EndCommandActivity(ActivityDisplay& display, ActivityTimer& timer);
