// The notification-area icon. For now it only keeps the animation state the command path
// drives; the icon itself, its frames and its menu come with the tray window.
#pragma once

#include "remote/activity.h"

class CSystemTray : public ActivityDisplay {
public:
    bool IsAnimating() const override { return m_bAnimating; }
    void StartFrames() override { m_bAnimating = true; }
    void StopFrames() override { m_bAnimating = false; }

private:
    bool m_bAnimating = false;
};
