// The controller: the program's one main window, owner of the settings, the devices, the
// network library's use and the timers. It doubles as the About panel, shown for a few
// seconds at start and on request; its modal loop is the program's message loop.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "config/settings_record.h"
#include "framework/dialog.h"
#include "remote/activity.h"
#include "ui/system_tray.h"

class CkvMidiApp;

class CkvMidiDlg : public CDialog, public SettingsRecord, private ActivityTimer {
public:
    CkvMidiDlg();
    ~CkvMidiDlg() override;

    std::string m_strStartProfile;

    // KVCOM_close, then KVCOM_init with the current address and port.
    void ReinitNetwork();
    void LoadSettings();
    void SaveSettings();

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
    LRESULT OnNetworkNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnComLineEvent(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    void OnUsage();
    void OnRestart();

    DECLARE_MESSAGE_MAP()

private:
    void HidePanel();
    void SendRemoteCommand(const std::string& commandText);
    void PostToSettingsWindow(UINT message, WPARAM wParam, LPARAM lParam);
    void SetActivityTimer() override;
    void KillActivityTimer() override;

    HICON m_hIcon = nullptr;
    CkvMidiApp* m_pApp = nullptr;
    CSystemTray m_trayIcon;
    int m_nCurrentProfile = 0;
    std::array<std::unique_ptr<std::string>, kMidiDeviceCount> m_pDeviceName;
    std::string m_strLastCommand;

public:
    HWND m_hSettingsWnd = nullptr;
    ComSwitchConfig m_comSwitchConfig;
};
