#include "activity.h"

void ShowCommandActivity(ActivityDisplay& display, ActivityTimer& timer)
{
    if (display.IsAnimating())
        timer.KillActivityTimer();
    else
        display.StartFrames();
    timer.SetActivityTimer();
}

void EndCommandActivity(ActivityDisplay& display, ActivityTimer& timer)
{
    timer.KillActivityTimer();
    display.StopFrames();
}
