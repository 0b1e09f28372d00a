// The controller: the program's one main window, owner of the settings, the devices, the
// network library's use and the timers. It doubles as the About panel, shown for a few
// seconds at start and on request; its modal loop is the program's message loop.
#pragma once

#include <string>
#include <vector>

#include "config/private_profile_win.h"
#include "config/settings_record.h"
#include "config/typed_ini.h"
#include "framework/dialog.h"
#include "framework/win_handles.h"
#include "input/com_switch_opening.h"
#include "input/com_switches_win.h"
#include "input/midi_devices.h"
#include "input/midi_in_api_win.h"
#include "input/midi_wakeup.h"
#include "remote/activity.h"
#include "remote/command_dispatcher.h"
#include "remote/kvcom_sending_win.h"
#include "remote/sending_thread.h"
#include "ui/label.h"
#include "ui/settings_host.h"
#include "ui/system_tray.h"

// Posted to the controller for a look at the MIDI devices. The system sends its device and
// power news; a look made inside a sent message could run while the window thread waits for
// the sending thread to give back a ring (it answers sent messages meanwhile), and close or
// reopen the very device it waits for.
constexpr UINT WM_SCAN_MIDI_DEVICES = WM_APP + 12;

class CkvMidiApp;

class CkvMidiDlg : public CDialog,
                   private SettingsHost,
                   private ActivityTimer,
                   private ComLineHandOver,
                   private CommandWatcher,
                   private AudioCommands {
public:
    CkvMidiDlg();
    ~CkvMidiDlg() override;

    std::string m_strStartProfile;

    // KVCOM_close, then KVCOM_init with the current address and port, on the sending thread,
    // which takes the current settings with it.
    void ReinitNetwork();
    void LoadSettings();
    void SaveSettings();
    void SyncMidiDevices();
    // Starts the COM switch monitor on the settings' COM configuration; the running settings
    // take the answer (a port disabled is turned off), but nothing is saved.
    ComSwitchesResult OpenComSwitches();
    void CloseComSwitches();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    void OnAbout();
    void OnSettings();
    void OnLButtonDown(UINT nFlags, POINT point);
    LRESULT OnSendReport(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    LRESULT OnScanMidiDevices(WPARAM wParam, LPARAM lParam);
    LRESULT OnNetworkNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnComLineEvent(WPARAM wParam, LPARAM lParam);
    LRESULT OnComPortState(WPARAM wParam, LPARAM lParam);
    LRESULT OnSaveFailed(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    void OnUsage();
    void OnRestart();
    void OnProfile(UINT nID);
    // The copy is asked to end (its tray window got WM_CLOSE, or the session ends).
    LRESULT OnEndProgram(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void HidePanel();
    // Ends the modal loop as Exit does, whatever shows: the windows above the controller are
    // closed as cancelled, now and until the loop is left; nothing is saved from now on.
    void EndProgram();
    void CloseOtherWindows();
    void LoadProfile(int profile, bool reinitialiseNetwork);
    void UpdateProfileMenu();
    // A device or port that went away or came back, told once as a balloon of the tray icon
    // (never a message box: this happens in the background). device names it for the user.
    void ReportDeviceState(const std::string& device, bool present);
    // The tray icon's tooltip: the current profile and what is open.
    void UpdateTrayTooltip();
    // Opens or closes the COM switches as m_bComEnabled says and acts on the user's answer.
    void ApplyComSwitchesSetting();
    // The sending thread builds its texts from these settings from its next round on.
    void PublishSendSettings();
    // The background look at the MIDI devices: lost ones closed, returned ones opened, silently.
    void ScanMidiDevices();
    void PostToSettingsWindow(UINT message, WPARAM wParam, LPARAM lParam);

    // SettingsHost
    ComSwitchesResult ApplyLiveSettings(const Settings& settings, const std::vector<MidiChoiceEdit>& midiEdits) override;
    MidiDeviceViews MidiViews() const override { return m_midi.Views(); }
    const TypedIni& Ini() const override { return m_ini; }
    const std::vector<std::string>& RefreshComPortNames() override;
    const std::string& LastCommand() const override { return m_dispatcher.LastCommand(); }
    void SetSettingsWindow(HWND hWnd) override { m_hSettingsWnd = hWnd; }

    // ActivityTimer
    void SetActivityTimer(unsigned milliseconds) override;
    void KillActivityTimer() override;

    // ComLineHandOver, on the polling thread: the sending thread takes the change.
    bool HandOverComLine(const ComLineEvent& event) override;

    // CommandWatcher, AudioCommands
    void ShowLastCommand(const std::string& text, int device) override;
    void ShowComLineState(int line, int level) override;
    void SendAppCommand(int command) override;
    void ShowShedBalloon(const std::string& text) override;

    CLabel m_lblTitle;
    HICON m_hIcon = nullptr;
    CkvMidiApp* m_pApp = nullptr;
    UniqueIcon m_hTrayIcon;   // outlives the tray, which shows it
    CSystemTray m_trayIcon;
    Settings m_settings;
    // The settings dialog while it is open; it registers itself, the controller clears this.
    HWND m_hSettingsWnd = nullptr;
    int m_nCurrentProfile = 0;
    WinmmMidiInApi m_midiInApi;   // outlives the devices, which call it
    MidiWakeup m_midiWakeup;
    KvComSending m_sending{ m_midiWakeup };
    // Every call of the network library, after the window thread's settings.
    SendingThread m_sendingThread{ m_sending, m_sending, m_sending, m_sending };
    // The MIDI devices: choice, numbers, names and the open devices, whose rings the owner
    // publishes to the sending thread and withdraws there; that thread outlives the devices.
    MidiDevices m_midi{ m_midiInApi, m_midiWakeup, m_sendingThread };
    CommandActivity m_activity{ m_trayIcon, *this };
    CommandDispatcher m_dispatcher{ { *this, m_activity, *this } };
    ComSwitches m_comSwitches;
    PrivateProfileFile m_iniFile;
    TypedIni m_ini;
    // A write failed; its message is posted, and shows once for all the writes of that save.
    bool m_bSaveFailurePending = false;
    SessionDisabledPort m_sessionDisabledPort;
    // The program is ending: nothing is opened again or saved.
    bool m_bEnding = false;
};
