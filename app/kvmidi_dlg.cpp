#include "kvmidi_dlg.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "app/config_location.h"
#include "app/controller_timers.h"
#include "app/kvmidi_app.h"
#include "config/profiles.h"
#include "config/settings_io.h"
#include "framework/afx_functions.h"
#include "framework/data_exchange.h"
#include "framework/text.h"
#include "input/com_port_enumeration_win.h"
#include "input/com_switch_opening.h"
#include "input/com_switches_win.h"
#include "kvmidi_revision.h"
#include "remote/command_text.h"
#include "remote/kvcom_api.h"
#include "res/resource.h"
#include "ui/settings_dlg.h"
#include "ui/tray_texts.h"

namespace {
// Posted to the controller by the first failed write of a save.
constexpr UINT WM_SETTINGS_SAVE_FAILED = WM_APP + 30;
}

BEGIN_MESSAGE_MAP(CkvMidiDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_COMMAND(ID_ABOUT, OnAbout)
    ON_COMMAND(ID_SETTINGS, OnSettings)
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_SEND_REPORT, OnSendReport)
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
    ON_MESSAGE(WM_POWERBROADCAST, OnPowerBroadcast)
    ON_MESSAGE(WM_SCAN_MIDI_DEVICES, OnScanMidiDevices)
    ON_MESSAGE(WM_NETWORK_NOTIFY, OnNetworkNotify)
    ON_MESSAGE(WM_COM_LINE_EVENT, OnComLineEvent)
    ON_MESSAGE(WM_COM_PORT_STATE, OnComPortState)
    ON_MESSAGE(WM_SETTINGS_SAVE_FAILED, OnSaveFailed)
    ON_WM_HELPINFO()
    ON_COMMAND(ID_USAGE, OnUsage)
    ON_COMMAND(ID_RESTART, OnRestart)
    ON_COMMAND_RANGE(ID_PROFILE_1, ID_PROFILE_8, OnProfile)
    ON_MESSAGE(WM_END_PROGRAM, OnEndProgram)
END_MESSAGE_MAP()

CkvMidiDlg::CkvMidiDlg()
    : CDialog(IDD_KVMIDI_DIALOG, nullptr), m_iniFile(TheApp().m_strIniFile), m_ini(g_settingNameTable, m_iniFile)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI));
    EnumerateComPorts();
}

CkvMidiDlg::~CkvMidiDlg()
{
    // The network library goes first, once the sending thread has sent what was captured,
    // then the MIDI devices (stopped before their rings are freed), then the COM monitor (its
    // thread waited for before the port closes); the tray icon goes with m_trayIcon.
    m_sendingThread.Stop();
    m_midi.CloseAll();
    m_comSwitches.Stop();
}

void CkvMidiDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TITLE, m_lblTitle);
}

BOOL CkvMidiDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_pApp = &TheApp();
    SetWindowText("kvMidi");
    m_pApp->m_instanceClaim.Publish(m_hWnd);
    m_iniFile.OnWriteFailure([this] {
        if (!std::exchange(m_bSaveFailurePending, true))
            PostMessage(WM_SETTINGS_SAVE_FAILED);
    });

    m_hTrayIcon.Reset(static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_KVMIDI),
                                                      IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    m_trayIcon.AddIcon(m_hTrayIcon.Get());
    m_trayIcon.LoadFrames(IDI_FRAME_1, IDI_FRAME_3);
    m_trayIcon.SetDefaultItem(ID_SETTINGS);

    std::string title = "kvMidi version " + LoadResourceString(IDS_VERSION);
    m_lblTitle.SetWindowText(title.c_str());
    m_lblTitle.SetBoldFont();
    m_lblTitle.SetTextHeight(18);
    SetDlgItemText(IDC_REVISION, KVMIDI_REVISION_TEXT);

    m_sending.SetWindow(m_hWnd);
    m_midiInApi.SetWakeEvent(m_sending.WakeEvent());
    LoadSettings();
    if (!m_strStartProfile.empty()) {
        if (int profile = FindProfileByName(m_ini, m_strStartProfile))
            LoadProfile(profile, false);
    }
    // The library is initialised as the thread's first act, before the devices open: what they
    // capture from the first moment goes out, not refused by a library not yet initialised.
    bool haveAddress = !m_settings.m_strBroadcastAddress.empty();
    m_sendingThread.Start(SendSettingsOf(m_settings), haveAddress);
    m_nCurrentProfile = FindCurrentProfile(m_ini, m_settings);
    UpdateProfileMenu();
    SyncMidiDevices();
    SetTimer(TIMER_DEVICE_SCAN, kDeviceScanMilliseconds);

    if (haveAddress) {
        if (m_settings.m_bComEnabled)
            ApplyComSwitchesSetting();
        SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
    } else {
        // First run: nothing to send to yet. Without an address the program has no use.
        OnSettings();
        if (!m_settings.m_strBroadcastAddress.empty())
            SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
        else
            OnOK();
    }
    return TRUE;
}

void CkvMidiDlg::LoadSettings()
{
    // The devices' owner keeps the MIDI choice from here on (a listed number without a device
    // now is dropped there); the record carries none of it, SaveSettings asks the owner.
    const bool all[kMidiDeviceCount] = { true, true, true, true, true };
    ReadSettings(m_ini, all, m_settings);
    m_midi.Load(m_settings.m_midiChoice);
    m_settings.m_midiChoice.clear();
    std::fill(std::begin(m_settings.m_bDeviceEnabled), std::end(m_settings.m_bDeviceEnabled), 0);
    // The file keeps a port given up for this session only; the session goes on without it.
    m_sessionDisabledPort.AfterLoading(m_settings);
    PublishSendSettings();
}

void CkvMidiDlg::SaveSettings()
{
    // An ending copy leaves the file as it was: the answers that closed its dialogs are not
    // the user's.
    if (m_bEnding)
        return;
    // The whole record is written each time, so a port off for this session only would be
    // stored as off for good; it is stored as it was until the user enables the switches.
    Settings stored = m_sessionDisabledPort.ToStore(m_settings);
    stored.m_midiChoice = m_midi.Choice();
    WriteSettings(m_ini, stored);
}

LRESULT CkvMidiDlg::OnSaveFailed(WPARAM, LPARAM)
{
    m_bSaveFailurePending = false;
    std::string text = FillPlaceholders("Unable to save the settings to %s.", { { 's', m_iniFile.Path() } });
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
    return 0;
}

void CkvMidiDlg::ReinitNetwork() { m_sendingThread.PublishSettings(SendSettingsOf(m_settings), true); }

void CkvMidiDlg::PublishSendSettings() { m_sendingThread.PublishSettings(SendSettingsOf(m_settings), false); }

ComSwitchesResult CkvMidiDlg::ApplyLiveSettings(const Settings& settings, const std::vector<MidiChoiceEdit>& midiEdits)
{
    m_midi.Choose(midiEdits);
    m_settings.m_bFilterNoteOff = settings.m_bFilterNoteOff;
    m_settings.m_strTextCommand = settings.m_strTextCommand;
    m_settings.m_strBroadcastAddress = settings.m_strBroadcastAddress;
    m_settings.m_nPort = settings.m_nPort;
    m_settings.m_strApplicationId = settings.m_strApplicationId;
    m_settings.m_strDestination = settings.m_strDestination;
    // The texts and the filter act on the next command, also while a device that fails to open
    // holds this in its message box.
    PublishSendSettings();
    SyncMidiDevices();

    CloseComSwitches();
    m_settings.m_comConfig = settings.m_comConfig;
    // The COM commands' device number, before the port opens. The answer counts as at OK (a
    // port off for this session only stays stored as on), but only OK saves.
    PublishSendSettings();
    return settings.m_bComEnabled ? OpenComSwitches() : ComSwitchesResult::Open;
}

const std::vector<std::string>& CkvMidiDlg::RefreshComPortNames() { return EnumerateComPorts(); }

void CkvMidiDlg::HidePanel()
{
    KillTimer(TIMER_HIDE_WINDOW);
    ShowWindow(SW_HIDE);
}

void CkvMidiDlg::OnOK()
{
    if (IsWindowVisible()) {
        HidePanel();
        return;
    }
    // A copy started from now on waits for the claim instead of handing over to this one.
    m_pApp->m_instanceClaim.Publish(nullptr);
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
        m_activity.OnTimer(::GetTickCount64());
    else if (nIDEvent == TIMER_DEVICE_SCAN) {
        ScanMidiDevices();
        m_dispatcher.Tick(::GetTickCount64());
    } else if (nIDEvent == TIMER_CLOSE_WINDOWS) {
        CloseOtherWindows();
    }
    Default();
}

void CkvMidiDlg::OnAbout()
{
    ShowWindow(SW_SHOW);
    SetTimer(TIMER_HIDE_WINDOW, kHideWindowMilliseconds);
}

void CkvMidiDlg::OnSettings()
{
    // The tray menu stays usable while the dialog is open; a second choice brings that dialog
    // forward rather than opening another inside it, whose closing would cut the first off
    // from the last command and the LEDs.
    if (m_hSettingsWnd && ::IsWindow(m_hSettingsWnd)) {
        ::SetForegroundWindow(m_hSettingsWnd);
        return;
    }
    CSettingsDlg dialog(*this, m_settings, this);
    INT_PTR result = dialog.DoModal();
    if (result == IDOK) {
        m_settings = dialog.m_settings;
        PublishSendSettings();
        // The boxes the user changed, by device: numbers the scans renumbered meanwhile, or
        // boxes left alone, change nothing.
        m_midi.Choose(dialog.m_midiEdits);
        m_nCurrentProfile = FindCurrentProfile(m_ini, m_settings);
        UpdateProfileMenu();
        SaveSettings();
        SyncMidiDevices();
        ApplyComSwitchesSetting();
        ReinitNetwork();
    } else {
        // Whatever Apply handed over is undone by the stored settings. Profiles saved,
        // renamed or deleted in the dialog show in the menu also after Cancel.
        LoadSettings();
        m_nCurrentProfile = FindCurrentProfile(m_ini, m_settings);
        UpdateProfileMenu();
        // A Restart or an end request closed the dialog: the program is ending, so nothing is
        // opened again (a port that fails would otherwise hold the way out with its dialog).
        if (!m_bEnding) {
            SyncMidiDevices();
            ApplyComSwitchesSetting();
        }
    }
    m_hSettingsWnd = nullptr;
}

void CkvMidiDlg::OnLButtonDown(UINT, POINT)
{
    HidePanel();
    Default();
}

LRESULT CkvMidiDlg::OnNetworkNotify(WPARAM, LPARAM) { return 0; }

BOOL CkvMidiDlg::OnHelpInfo(HELPINFO*) { return FALSE; }

void CkvMidiDlg::OnUsage() { AfxMessageBox(kUsageText, MB_OK | MB_ICONINFORMATION); }

void CkvMidiDlg::OnRestart()
{
    m_pApp->m_bRestart = 1;
    // Restart always ends the program, also while the panel shows: hiding the panel alone
    // would leave the flag set and turn the next Exit into a restart.
    EndProgram();
}

void CkvMidiDlg::OnProfile(UINT nID) { LoadProfile(static_cast<int>(nID - ID_PROFILE_1) + 1, true); }

void CkvMidiDlg::LoadProfile(int profile, bool reinitialiseNetwork)
{
    if (!ApplyProfile(m_ini, profile, m_settings))
        return;
    PublishSendSettings();
    SaveSettings();
    m_nCurrentProfile = profile;
    UpdateProfileMenu();
    if (reinitialiseNetwork)
        ReinitNetwork();
}

void CkvMidiDlg::UpdateProfileMenu()
{
    CMenu* popup = m_trayIcon.PopupMenu();
    if (!popup)
        return;
    for (const ProfileMenuItem& item : ProfileMenuItems(m_ini, m_nCurrentProfile)) {
        popup->ModifyMenu(static_cast<UINT>(item.commandId), MF_BYCOMMAND | MF_STRING,
                          static_cast<UINT_PTR>(item.commandId), item.text.c_str());
        popup->EnableMenuItem(static_cast<UINT>(item.commandId), MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
        m_trayIcon.SetItemCheck(item.checked, static_cast<UINT>(item.commandId));
    }
    UpdateTrayTooltip();
}
