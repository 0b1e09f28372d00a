#include "kvmidi_dlg.h"

#include <string>

#include "app/config_location.h"
#include "app/controller_messages.h"
#include "app/kvmidi_app.h"
#include "config/private_profile_win.h"
#include "config/settings_io.h"
#include "framework/afx_functions.h"
#include "remote/command_text.h"
#include "remote/kvcom_api.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CkvMidiDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_COMMAND(ID_ABOUT, OnAbout)
    ON_COMMAND(ID_SETTINGS, OnSettings)
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_NETWORK_NOTIFY, OnNetworkNotify)
    ON_MESSAGE(WM_COM_LINE_EVENT, OnComLineEvent)
    ON_WM_HELPINFO()
    ON_COMMAND(ID_USAGE, OnUsage)
    ON_COMMAND(ID_RESTART, OnRestart)
END_MESSAGE_MAP()

CkvMidiDlg::CkvMidiDlg() : CDialog(IDD_KVMIDI_DIALOG, nullptr)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI));
}

CkvMidiDlg::~CkvMidiDlg()
{
    KVCOM_close();
    for (auto& name : m_pDeviceName)
        name.reset();
}

void CkvMidiDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BOOL CkvMidiDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_pApp = &TheApp();
    SetWindowText("kvMidi");

    std::string title = "kvMidi version " + LoadResourceString(IDS_VERSION);
    SetDlgItemText(IDC_TITLE, title.c_str());
    SetDlgItemText(IDC_REVISION, "Revision: 46 (2022-11-04 01:32:49)");

    LoadSettings();

    if (!m_strBroadcastAddress.empty()) {
        ReinitNetwork();
        SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
    } else {
        OnSettings();
        if (!m_strBroadcastAddress.empty())
            SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
        else
            OnOK();
    }
    return TRUE;
}

void CkvMidiDlg::LoadSettings()
{
    bool present[kMidiDeviceCount] = {};
    for (int i = 0; i < kMidiDeviceCount; ++i)
        present[i] = m_pDeviceName[static_cast<size_t>(i)] != nullptr;
    PrivateProfileFile file(TheApp().m_strIniFile);
    ::LoadSettings(TypedIni(g_settingNameTable, file), present, *this, m_comSwitchConfig);
}

void CkvMidiDlg::SaveSettings()
{
    PrivateProfileFile file(TheApp().m_strIniFile);
    ::SaveSettings(TypedIni(g_settingNameTable, file), *this, m_comSwitchConfig);
}

void CkvMidiDlg::ReinitNetwork()
{
    KVCOM_close();
    KVCOM_init(m_hWnd, WM_NETWORK_NOTIFY, m_strBroadcastAddress.c_str(), m_nPort);
}

void CkvMidiDlg::HidePanel()
{
    KillTimer(TIMER_HIDE_WINDOW);
    ShowWindow(SW_HIDE);
}

void CkvMidiDlg::OnOK()
{
    if (IsWindowVisible())
        HidePanel();
    else
        EndDialog(IDOK);
}

void CkvMidiDlg::OnCancel()
{
    if (IsWindowVisible())
        HidePanel();
}

void CkvMidiDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CkvMidiDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CkvMidiDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_HIDE_WINDOW)
        HidePanel();
    else if (nIDEvent == TIMER_ACTIVITY)
        EndCommandActivity(m_trayIcon, *this);
    Default();
}

void CkvMidiDlg::OnAbout()
{
    ShowWindow(SW_SHOW);
    SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
}

void CkvMidiDlg::OnSettings()
{
    // The settings dialog arrives with its own change; until then there is nothing to edit.
}

void CkvMidiDlg::OnLButtonDown(UINT, POINT)
{
    HidePanel();
    Default();
}

LRESULT CkvMidiDlg::OnNetworkNotify(WPARAM, LPARAM) { return 0; }

LRESULT CkvMidiDlg::OnComLineEvent(WPARAM wParam, LPARAM lParam)
{
    int line = static_cast<int>(wParam);
    int state = static_cast<int>(lParam);
    int device = m_comSwitchConfig.Device;
    m_strLastCommand = FormatCommandText(m_strTextCommand, device, kComSwitchStatus, line, ComLineValue(state));
    PostToSettingsWindow(WM_LAST_COMMAND, reinterpret_cast<WPARAM>(m_strLastCommand.c_str()), device);
    PostToSettingsWindow(WM_COM_LINE_STATE, wParam, lParam);
    ShowCommandActivity(m_trayIcon, *this);
    SendRemoteCommand(m_strLastCommand);
    bool muteAudio = line >= 0 && line < kComLineCount && m_comSwitchConfig.Mute(line);
    for (int command : MuteAppCommands(muteAudio, state))
        SendMessage(WM_APPCOMMAND, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(0, command));
    return 0;
}

void CkvMidiDlg::SendRemoteCommand(const std::string& commandText)
{
    std::string line = FormatRemoteLine(m_strApplicationId, m_strDestination, commandText);
    KVCOM_send(line.c_str());
}

void CkvMidiDlg::PostToSettingsWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hSettingsWnd && ::IsWindow(m_hSettingsWnd))
        ::PostMessageA(m_hSettingsWnd, message, wParam, lParam);
}

void CkvMidiDlg::SetActivityTimer() { SetTimer(TIMER_ACTIVITY, kActivityMilliseconds); }

void CkvMidiDlg::KillActivityTimer() { KillTimer(TIMER_ACTIVITY); }

BOOL CkvMidiDlg::OnHelpInfo(HELPINFO*) { return FALSE; }

void CkvMidiDlg::OnUsage() { AfxMessageBox(kUsageText, MB_OK | MB_ICONINFORMATION); }

void CkvMidiDlg::OnRestart()
{
    m_pApp->m_bRestart = 1;
    if (m_hSettingsWnd && ::IsWindow(m_hSettingsWnd))
        ::PostMessageA(m_hSettingsWnd, WM_COMMAND, IDCANCEL, 0);
    // Restart always ends the program, also while the panel shows: hiding the panel alone
    // would leave the flag set and turn the next Exit into a restart.
    EndDialog(IDOK);
}
