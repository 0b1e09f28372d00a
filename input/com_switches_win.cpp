#include "com_switches_win.h"

#include "input/com_port_error_dlg.h"

namespace {
class MonitorOpening : public PortOpening {
public:
    MonitorOpening(ComSwitchMonitor& monitor, const ComSwitchConfig& config, CWnd* pDialogParent)
        : m_monitor(monitor), m_config(config), m_pDialogParent(pDialogParent)
    {
    }

    bool TryOpen() override { return m_monitor.Open(m_config); }

    PortErrorAnswer AskAfterFailure() override
    {
        CComPortErrorDlg dialog(m_pDialogParent);
        dialog.m_strPortName = m_config.Port;
        return PortErrorAnswerFor(dialog.DoModal());
    }

private:
    ComSwitchMonitor& m_monitor;
    const ComSwitchConfig& m_config;
    CWnd* m_pDialogParent;
};
}

ComSwitchesResult StartComSwitchMonitor(std::unique_ptr<ComSwitchMonitor>& pMonitor, ComSwitchConfig& config,
                                        HWND hEventWnd, CWnd* pDialogParent, ComLineHandOver* handOver)
{
    StopComSwitchMonitor(pMonitor);
    if (config.Port.empty())
        return ComSwitchesResult::Open;

    // The new monitor becomes current only once open: while the dialog waits, the controller
    // goes on handling its messages, and a settings change made from the tray meanwhile may
    // open or close the current monitor itself.
    auto monitor = std::make_unique<ComSwitchMonitor>(hEventWnd, handOver);
    MonitorOpening opening(*monitor, config, pDialogParent);
    ComSwitchesResult result = OpenOrAskUser(opening);
    if (result == ComSwitchesResult::Open) {
        StopComSwitchMonitor(pMonitor);
        pMonitor = std::move(monitor);
        return result;
    }
    monitor->Close();
    // Disabling holds for whatever is current now: a monitor that a settings change installed
    // while the dialog waited would otherwise poll on with the switches turned off.
    StopComSwitchMonitor(pMonitor);
    if (result == ComSwitchesResult::DisabledForSession)
        config.Port.clear();
    return result;
}

void StopComSwitchMonitor(std::unique_ptr<ComSwitchMonitor>& pMonitor)
{
    if (pMonitor) {
        pMonitor->Close();
        pMonitor.reset();
    }
}
