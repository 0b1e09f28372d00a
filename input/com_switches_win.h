// Starting and stopping the COM switches: the one current monitor, and the port error dialog
// offered while its port fails to open.
#pragma once

#include <windows.h>

#include <memory>

#include "config/settings_record.h"
#include "input/com_switch_monitor_win.h"
#include "input/com_switch_opening.h"

class CWnd;

// Closes the current monitor, then, when config.Port is not empty, opens a new one that posts
// to hEventWnd, asking through the port error dialog (owned by pDialogParent, may be null)
// while the port fails to open. DisabledForSession empties config.Port (in memory only);
// pMonitor is set only with Open, and both disabling answers leave no monitor, also none that
// was made current while the dialog waited. Line changes go to handOver when given.
ComSwitchesResult StartComSwitchMonitor(std::unique_ptr<ComSwitchMonitor>& pMonitor, ComSwitchConfig& config,
                                        HWND hEventWnd, CWnd* pDialogParent, ComLineHandOver* handOver = nullptr);

// Closes and destroys the current monitor, if any.
void StopComSwitchMonitor(std::unique_ptr<ComSwitchMonitor>& pMonitor);
