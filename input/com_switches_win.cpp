#include "com_switches_win.h"

#include "input/com_port_error_dlg.h"

namespace {
class MonitorOpening : public PortOpening {
public:
    MonitorOpening(ComSwitchMonitor& monitor, const ComSwitchConfig& config, const unsigned& changes,
                   CWnd* pDialogParent)
        : m_monitor(monitor), m_config(config), m_changes(changes), m_changesAtStart(changes),
          m_pDialogParent(pDialogParent)
    {
    }

    bool TryOpen() override { return m_monitor.Open(m_config); }
    bool TryOpenOnce() override { return m_monitor.Open(m_config, 1); }
    bool Superseded() const override { return m_changes != m_changesAtStart; }

    PortErrorAnswer AskAfterFailure() override
    {
        CComPortErrorDlg dialog(*this, m_pDialogParent);
        dialog.m_strPortName = m_config.Port;
        return dialog.Ask();
    }

private:
    ComSwitchMonitor& m_monitor;
    ComSwitchConfig m_config;   // the settings may change while the dialog waits
    const unsigned& m_changes;
    unsigned m_changesAtStart;
    CWnd* m_pDialogParent;
};
}

ComSwitchesResult ComSwitches::Start(const ComSwitchConfig& config, HWND hEventWnd, CWnd* pDialogParent,
                                     ComLineHandOver* handOver)
{
    Stop();
    if (config.Port.empty())
        return ComSwitchesResult::Open;

    // The new monitor becomes current only once open: while the dialog waits, the controller
    // goes on handling its messages, and a settings change made from the tray meanwhile may
    // start or stop the switches itself, which then stands.
    auto monitor = std::make_unique<ComSwitchMonitor>(hEventWnd, handOver);
    MonitorOpening opening(*monitor, config, m_nChanges, pDialogParent);
    ComSwitchesResult result = OpenOrAskUser(opening);
    if (result == ComSwitchesResult::Open || result == ComSwitchesResult::OpenedWhileAsking)
        m_pMonitor = std::move(monitor);
    return result;
}

void ComSwitches::Stop()
{
    ++m_nChanges;
    if (m_pMonitor) {
        m_pMonitor->Close();
        m_pMonitor.reset();
    }
}
