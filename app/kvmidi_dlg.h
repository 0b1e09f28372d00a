// The controller: the program's one main window, owner of the settings, the devices, the
// network library's use and the timers. It doubles as the About panel, shown for a few
// seconds at start and on request; its modal loop is the program's message loop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/private_profile_win.h"
#include "config/settings_record.h"
#include "config/typed_ini.h"
#include "framework/dialog.h"
#include "framework/win_handles.h"
#include "input/com_switch_monitor_win.h"
#include "input/midi_in_api_win.h"
#include "input/midi_wakeup.h"
#include "remote/activity.h"
#include "ui/label.h"
#include "ui/system_tray.h"

class CkvMidiApp;
struct MidiRingEntry;

class CkvMidiDlg : public CDialog, public SettingsRecord, private ActivityTimer {
public:
    CkvMidiDlg();
    ~CkvMidiDlg() override;

    std::string m_strStartProfile;
    // The settings dialog while it is open; it sets and the controller clears this.
    HWND m_hSettingsWnd = nullptr;
    // The one COM switch configuration, shared with the settings dialog and the monitor.
    ComSwitchConfig m_comSwitchConfig;

    // KVCOM_close, then KVCOM_init with the current address and port.
    void ReinitNetwork();
    void LoadSettings();
    void SaveSettings();
    void SyncMidiDevices();
    // Starts the COM switch monitor on m_comSwitchConfig: 0 open (or no port), 1 or 2 when the
    // user gave the port up for this run or for good.
    int OpenComSwitches();
    void CloseComSwitches();

    const TypedIni& Ini() const { return m_ini; }
    const std::string* DeviceName(int device) const { return m_pDeviceName[static_cast<size_t>(device)].get(); }
    const std::string& LastCommand() const { return m_strLastCommand; }
    // The serial ports present now, listed again.
    const std::vector<std::string>& RefreshComPortNames();

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
    LRESULT OnMidiData(WPARAM wParam, LPARAM lParam);
    LRESULT OnNetworkNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnComLineEvent(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    void OnUsage();
    void OnRestart();
    void OnProfile(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    void HidePanel();
    void LoadProfile(int profile, bool reinitialiseNetwork);
    void UpdateProfileMenu();
    // Opens or closes the COM switches as m_bComEnabled says and acts on the user's answer.
    void ApplyComSwitchesSetting();
    void DispatchMidiEntry(int device, const MidiRingEntry& entry);
    void SendRemoteCommand(const std::string& commandText);
    void PostToSettingsWindow(UINT message, WPARAM wParam, LPARAM lParam);
    void SetActivityTimer() override;
    void KillActivityTimer() override;

    CLabel m_lblTitle;
    HICON m_hIcon = nullptr;
    CkvMidiApp* m_pApp = nullptr;
    UniqueIcon m_hTrayIcon;   // outlives the tray, which shows it
    CSystemTray m_trayIcon;
    int m_nCurrentProfile = 0;
    WinmmMidiInApi m_midiInApi;   // outlives the devices, which call it
    MidiWakeup m_midiWakeup;
    MidiDeviceSlots m_pMidiDevice;
    MidiDeviceNames m_pDeviceName;
    std::string m_strLastCommand;
    std::unique_ptr<ComSwitchMonitor> m_pComSwitchMonitor;
    PrivateProfileFile m_iniFile;
    TypedIni m_ini;
};
