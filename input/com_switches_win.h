// Starting and stopping the COM switches: the one current monitor, and the port error dialog
// offered while its port fails to open.
#pragma once

#include <windows.h>

#include <memory>

#include "config/settings_record.h"
#include "input/com_switch_monitor_win.h"
#include "input/com_switch_opening.h"

class CWnd;

class ComSwitches {
public:
    ComSwitches() = default;
    ~ComSwitches() { Stop(); }
    ComSwitches(const ComSwitches&) = delete;
    ComSwitches& operator=(const ComSwitches&) = delete;

    // Closes the current monitor, then, when config.Port is not empty, opens one on a copy of
    // config that posts to hEventWnd, asking through the port error dialog (owned by
    // pDialogParent, may be null) while the port fails to open. Only Open and
    // OpenedWhileAsking leave a monitor; Superseded leaves whatever the Start or Stop made
    // while the dialog waited. Line changes go to handOver when given.
    ComSwitchesResult Start(const ComSwitchConfig& config, HWND hEventWnd, CWnd* pDialogParent,
                            ComLineHandOver* handOver = nullptr);
    // Closes and destroys the current monitor, if any.
    void Stop();

    bool IsRunning() const { return m_pMonitor != nullptr; }
    bool IsOpen() const { return m_pMonitor && m_pMonitor->IsOpen(); }

private:
    std::unique_ptr<ComSwitchMonitor> m_pMonitor;
    // Every Start and Stop counts: a start whose dialog waited sees by it that the switches
    // were started or stopped anew meanwhile.
    unsigned m_nChanges = 0;
};
