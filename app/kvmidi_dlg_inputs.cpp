// The controller's inputs: the MIDI devices and COM switches it keeps open, the commands they
// give, and what the settings dialog and the tray are told of them.
#include "kvmidi_dlg.h"

#include <string>

#include "app/controller_timers.h"
#include "config/profiles.h"
#include "input/com_port_enumeration_win.h"
#include "input/com_switch_opening.h"
#include "input/com_switches_win.h"
#include "remote/command_text.h"
#include "ui/settings_dlg.h"
#include "ui/tray_texts.h"

static_assert(kAppCommandVolumeMute == APPCOMMAND_VOLUME_MUTE && kAppCommandVolumeDown == APPCOMMAND_VOLUME_DOWN &&
              kAppCommandVolumeUp == APPCOMMAND_VOLUME_UP);

void CkvMidiDlg::SyncMidiDevices()
{
    int before = m_midi.OpenCount();
    m_midi.Sync(MessageBoxMidiFailureReporter());
    if (m_midi.OpenCount() != before)
        UpdateTrayTooltip();
}

void CkvMidiDlg::ScanMidiDevices()
{
    MidiDeviceViews before = m_midi.Views();
    MidiDeviceChanges changes = m_midi.Scan();
    for (const std::string& name : changes.lost)
        ReportDeviceState(name, false);
    for (const std::string& name : changes.back)
        ReportDeviceState(name, true);
    if (!changes.lost.empty() || !changes.back.empty())
        UpdateTrayTooltip();
    // An open settings dialog shows the devices as they are, by the numbers they carry.
    if (m_midi.Views() != before)
        PostToSettingsWindow(WM_MIDI_DEVICES_CHANGED, 0, 0);
}

ComSwitchesResult CkvMidiDlg::OpenComSwitches()
{
    // Copied: while the error dialog waits, the tray's settings may replace those running.
    std::string askedPort = m_settings.m_comConfig.Port;
    ComSwitchesResult result = m_comSwitches.Start(m_settings.m_comConfig, m_hWnd, this, this);
    m_sessionDisabledPort.TakeAnswer(result, askedPort, m_settings);
    if (result == ComSwitchesResult::OpenedWhileAsking)
        ReportDeviceState(askedPort, true);
    UpdateTrayTooltip();
    return result;
}

void CkvMidiDlg::CloseComSwitches()
{
    m_comSwitches.Stop();
    UpdateTrayTooltip();
}

void CkvMidiDlg::ApplyComSwitchesSetting()
{
    if (!m_settings.m_bComEnabled)
        CloseComSwitches();
    else if (OpenComSwitches() == ComSwitchesResult::DisabledPermanently)
        SaveSettings();
}

LRESULT CkvMidiDlg::OnSendReport(WPARAM, LPARAM)
{
    if (m_dispatcher.Apply(m_sendingThread.TakeReport(), m_settings.m_comConfig, ::GetTickCount64()))
        UpdateTrayTooltip();
    // A device the system closed (it went away) is closed at the first report after, or else
    // by the next look; its last entries go out under its own number.
    if (m_midi.AnyLost())
        ScanMidiDevices();
    return 0;
}

LRESULT CkvMidiDlg::OnDeviceChange(WPARAM, LPARAM)
{
    // A device node came or went; the multimedia list may follow a moment later, which the
    // timer's next look catches.
    PostMessage(WM_SCAN_MIDI_DEVICES);
    return TRUE;
}

LRESULT CkvMidiDlg::OnPowerBroadcast(WPARAM wParam, LPARAM)
{
    // After a sleep a device may be back at its place with a new handle, and the old one dead
    // without a word from the system: the look checks every handle.
    if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
        PostMessage(WM_SCAN_MIDI_DEVICES);
    return TRUE;
}

LRESULT CkvMidiDlg::OnScanMidiDevices(WPARAM, LPARAM)
{
    ScanMidiDevices();
    return 0;
}

bool CkvMidiDlg::HandOverComLine(const ComLineEvent& event)
{
    return m_sendingThread.HandOverComLine(event.line, event.level);
}

// A line change posted rather than handed over goes the same way; one that comes while the
// sending thread does not run (before the start, during the exit) is dropped.
LRESULT CkvMidiDlg::OnComLineEvent(WPARAM wParam, LPARAM lParam)
{
    m_sendingThread.HandOverComLine(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

LRESULT CkvMidiDlg::OnComPortState(WPARAM wParam, LPARAM)
{
    // Without a monitor the port is off, and a late message of a stopped one says nothing.
    if (m_comSwitches.IsRunning())
        ReportDeviceState(m_settings.m_comConfig.Port, wParam != 0);
    return 0;
}

void CkvMidiDlg::ShowLastCommand(const std::string& text, int device)
{
    PostToSettingsWindow(WM_LAST_COMMAND, reinterpret_cast<WPARAM>(text.c_str()), device);
}

void CkvMidiDlg::ShowComLineState(int line, int level)
{
    PostToSettingsWindow(WM_COM_LINE_STATE, static_cast<WPARAM>(line), level);
}

void CkvMidiDlg::SendAppCommand(int command)
{
    // No handler of ours: the default processing hands the command to the shell.
    SendMessage(WM_APPCOMMAND, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(0, command));
}

void CkvMidiDlg::ShowShedBalloon(const std::string& text) { m_trayIcon.ShowBalloon("kvMidi", text, true); }

void CkvMidiDlg::PostToSettingsWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hSettingsWnd && ::IsWindow(m_hSettingsWnd))
        ::PostMessageA(m_hSettingsWnd, message, wParam, lParam);
}

void CkvMidiDlg::SetActivityTimer(unsigned milliseconds) { SetTimer(TIMER_ACTIVITY, milliseconds); }

void CkvMidiDlg::KillActivityTimer() { KillTimer(TIMER_ACTIVITY); }

void CkvMidiDlg::ReportDeviceState(const std::string& device, bool present)
{
    m_trayIcon.ShowBalloon("kvMidi", DeviceStateText(device, present), !present);
    UpdateTrayTooltip();
}

void CkvMidiDlg::UpdateTrayTooltip()
{
    int openDevices = m_midi.OpenCount();
    bool comOpen = m_comSwitches.IsOpen();
    std::string profile = m_nCurrentProfile ? ReadProfileName(m_ini, m_nCurrentProfile) : std::string();
    m_trayIcon.SetTooltip(TrayTooltip(profile, openDevices, comOpen ? m_settings.m_comConfig.Port : std::string()) +
                          ShedTooltip(m_dispatcher.DroppedSinceStart(), m_dispatcher.NotSentSinceStart()));
}
