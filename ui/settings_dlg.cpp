#include "settings_dlg.h"

#include <string>

#include "app/controller_messages.h"
#include "app/kvmidi_dlg.h"
#include "config/default_broadcast_win.h"
#include "config/profiles.h"
#include "framework/afx_functions.h"
#include "framework/data_exchange.h"
#include "res/resource.h"
#include "res/settings_ids.h"
#include "ui/generic_string_dlg.h"

namespace {
// Line controls by line index: CTS, DCD, DSR, RI.
constexpr int kLineBoxIds[kComLineCount] = { IDC_COM_CTS, IDC_COM_DCD, IDC_COM_DSR, IDC_COM_RI };
constexpr int kMuteBoxIds[kComLineCount] = { IDC_COM_CTS_MUTE, IDC_COM_DCD_MUTE, IDC_COM_DSR_MUTE, IDC_COM_RI_MUTE };
constexpr int kLedIds[kComLineCount] = { IDC_COM_LED_CTS, IDC_COM_LED_DCD, IDC_COM_LED_DSR, IDC_COM_LED_RI };

constexpr int kTextCommandLimit = 12;
constexpr int kBroadcastAddressLimit = 15;
constexpr int kApplicationIdLimit = 12;
constexpr int kDestinationLimit = 13;
}

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_BN_CLICKED(IDC_DEFAULT_BROADCAST_ADDRESS, OnDefaultBroadcastAddress)
    ON_BN_CLICKED(IDC_DEFAULT_PORT, OnDefaultPort)
    ON_BN_CLICKED(IDC_DEFAULT_APPLICATION_ID, OnDefaultApplicationId)
    ON_BN_CLICKED(IDC_DEFAULT_TEXT_COMMAND, OnDefaultTextCommand)
    ON_BN_CLICKED(IDC_APPLY, OnApply)
    ON_BN_CLICKED(IDC_COM_ENABLE, OnComEnableClicked)
    ON_BN_CLICKED(IDC_COM_REFRESH, OnComRefresh)
    ON_COMMAND_RANGE(IDC_COM_CTS, IDC_COM_RI, OnLineBoxClicked)
    ON_CBN_SELCHANGE(IDC_COM_PORT, OnComPortSelected)
    ON_COMMAND_RANGE(IDC_LOAD_PROFILE_1, IDC_LOAD_PROFILE_1 + kProfileCount - 1, OnLoadProfile)
    ON_COMMAND_RANGE(IDC_SAVE_PROFILE_1, IDC_SAVE_PROFILE_1 + kProfileCount - 1, OnSaveProfile)
    ON_MESSAGE(WM_LAST_COMMAND, OnLastCommand)
    ON_MESSAGE(WM_COM_LINE_STATE, OnComLineState)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(CkvMidiDlg* pController) : CDialog(IDD_SETTINGS, pController), m_pController(pController)
{
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int device = 0; device < kMidiDeviceCount; ++device)
        DDX_Check(pDX, IDC_DEVICE_0 + device, m_bDeviceEnabled[device]);
    DDX_Check(pDX, IDC_FILTER_NOTE_OFF, m_bFilterNoteOff);
    DDX_Text(pDX, IDC_TEXT_COMMAND, m_strTextCommand);
    DDV_MaxChars(pDX, m_strTextCommand, kTextCommandLimit);
    DDX_Text(pDX, IDC_BROADCAST_ADDRESS, m_strBroadcastAddress);
    DDV_MaxChars(pDX, m_strBroadcastAddress, kBroadcastAddressLimit);
    DDX_Text(pDX, IDC_PORT, m_nPort);
    DDV_MinMaxInt(pDX, m_nPort, 1, 65535);
    DDX_Text(pDX, IDC_APPLICATION_ID, m_strApplicationId);
    DDV_MaxChars(pDX, m_strApplicationId, kApplicationIdLimit);
    DDX_Text(pDX, IDC_DESTINATION, m_strDestination);
    DDV_MaxChars(pDX, m_strDestination, kDestinationLimit);
    DDX_Control(pDX, IDC_COM_PORT, m_cbPort);
    DDX_Check(pDX, IDC_COM_ENABLE, m_bComEnabled);
    DDX_Text(pDX, IDC_COM_DEVICE, m_comConfig.Device);
    for (int line = 0; line < kComLineCount; ++line) {
        DDX_Check(pDX, kLineBoxIds[line], m_comConfig.Watch(line));
        DDX_Check(pDX, kMuteBoxIds[line], m_comConfig.Mute(line));
    }
    DDX_Check(pDX, IDC_COM_RTS_ON, m_comConfig.RtsOn);
    DDX_Check(pDX, IDC_COM_DTR_ON, m_comConfig.DtrOn);
    for (int line = 0; line < kComLineCount; ++line)
        DDX_Control(pDX, kLedIds[line], m_led[line]);
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int device = 0; device < kMidiDeviceCount; ++device) {
        const std::string* name = m_pController->DeviceName(device);
        std::string label = "Dev. " + std::to_string(device) + " - " + (name ? *name : LoadResourceString(IDS_NOT_DEFINED));
        SetDlgItemText(IDC_DEVICE_0 + device, label.c_str());
        if (!name)
            EnableControl(IDC_DEVICE_0 + device, false);
    }
    m_pController->m_hSettingsWnd = m_hWnd;
    FillComPortList();
    RefreshComLineControls();
    LabelProfileButtons();
    return TRUE;
}

void CSettingsDlg::OnOK()
{
    int fault = TakeAndValidate();
    if (fault) {
        ShowFailure(fault);
        return;
    }
    CDialog::OnOK();
}

int CSettingsDlg::TakeAndValidate()
{
    if (!UpdateData(TRUE))
        return IDC_BROADCAST_ADDRESS;
    return ValidateSettings(m_strBroadcastAddress, m_strTextCommand, m_comConfig.Device, *this);
}

void CSettingsDlg::ShowFailure(int controlId)
{
    UpdateData(FALSE);
    HWND control = GetDlgItem(controlId);
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
    ::SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

void CSettingsDlg::OnApply() { ApplySettings(); }

void CSettingsDlg::ApplySettings()
{
    int fault = TakeAndValidate();
    if (fault) {
        ShowFailure(fault);
        return;
    }
    // Everything but the COM enabling reaches the running controller at once; the network
    // address and port take effect only with OK.
    CkvMidiDlg& controller = *m_pController;
    for (int device = 0; device < kMidiDeviceCount; ++device)
        controller.m_bDeviceEnabled[device] = m_bDeviceEnabled[device];
    controller.m_bFilterNoteOff = m_bFilterNoteOff;
    controller.m_strTextCommand = m_strTextCommand;
    controller.m_strBroadcastAddress = m_strBroadcastAddress;
    controller.m_nPort = m_nPort;
    controller.m_strApplicationId = m_strApplicationId;
    controller.m_strDestination = m_strDestination;
    controller.SyncMidiDevices();

    controller.CloseComSwitches();
    controller.m_comSwitchConfig = m_comConfig;
    if (m_bComEnabled) {
        int answer = controller.OpenComSwitches();
        if (answer == 1 || answer == 2) {
            m_bComEnabled = 0;
            SetChecked(IDC_COM_ENABLE, false);
            RefreshComLineControls();
        }
    }
}

void CSettingsDlg::FillComPortList()
{
    m_cbPort.ResetContent();
    const std::vector<std::string>& ports = m_pController->RefreshComPortNames();
    if (ports.empty()) {
        m_cbPort.EnableWindow(FALSE);
        SetChecked(IDC_COM_ENABLE, false);
        EnableComControls(false);
        return;
    }
    m_cbPort.EnableWindow(TRUE);
    EnableComControls(true);
    int selected = 0;
    for (size_t i = 0; i < ports.size(); ++i) {
        m_cbPort.AddString(ports[i].c_str());
        if (ports[i] == m_comConfig.Port && selected == 0)
            selected = static_cast<int>(i);
    }
    m_cbPort.SetCurSel(selected);
    m_comConfig.Port = m_cbPort.GetLBText(selected);
}

void CSettingsDlg::EnableComControls(bool enabled)
{
    EnableControl(IDC_COM_DEVICE, enabled);
    EnableControl(IDC_COM_PORT, enabled);
    for (int line = 0; line < kComLineCount; ++line) {
        EnableControl(kLineBoxIds[line], enabled);
        EnableControl(kMuteBoxIds[line], enabled);
        if (enabled)
            UpdateMuteBox(line);
        m_led[line].ShowLed(LED_ROW_GREEN, enabled ? LED_DARK : LED_GREY, LED_SHAPE_SQUARE);
    }
    EnableControl(IDC_COM_RTS_ON, enabled);
    EnableControl(IDC_COM_DTR_ON, enabled);
}

void CSettingsDlg::UpdateMuteBox(int line)
{
    // The mute flag as of the last data exchange: re-ticking a line restores it.
    bool watched = IsChecked(kLineBoxIds[line]);
    SetChecked(kMuteBoxIds[line], watched && m_comConfig.Mute(line));
    EnableControl(kMuteBoxIds[line], watched);
}

void CSettingsDlg::RefreshComLineControls()
{
    for (int line = 0; line < kComLineCount; ++line)
        UpdateMuteBox(line);
    EnableComControls(IsChecked(IDC_COM_ENABLE));
}

void CSettingsDlg::OnComEnableClicked() { EnableComControls(IsChecked(IDC_COM_ENABLE)); }

void CSettingsDlg::OnComRefresh()
{
    FillComPortList();
    RefreshComLineControls();
}

void CSettingsDlg::OnLineBoxClicked(UINT nID)
{
    for (int line = 0; line < kComLineCount; ++line)
        if (kLineBoxIds[line] == static_cast<int>(nID))
            UpdateMuteBox(line);
}

void CSettingsDlg::OnComPortSelected()
{
    int selected = m_cbPort.GetCurSel();
    if (selected >= 0)
        m_comConfig.Port = m_cbPort.GetLBText(selected);
}

void CSettingsDlg::OnDefaultBroadcastAddress()
{
    SetDlgItemText(IDC_BROADCAST_ADDRESS, QueryDefaultBroadcastAddress().c_str());
}

void CSettingsDlg::OnDefaultPort() { SetDlgItemText(IDC_PORT, "9871"); }

void CSettingsDlg::OnDefaultApplicationId() { SetDlgItemText(IDC_APPLICATION_ID, "MIDI"); }

void CSettingsDlg::OnDefaultTextCommand() { SetDlgItemText(IDC_TEXT_COMMAND, "AUXMIDI"); }

void CSettingsDlg::LabelProfileButtons()
{
    for (const ProfileButtonLabel& button : ProfileButtonLabels(m_pController->Ini(), LoadResourceString(IDS_PROFILE_N))) {
        SetDlgItemText(button.loadButtonId, button.text.c_str());
        EnableControl(button.loadButtonId, button.loadEnabled);
        SetDlgItemText(button.saveButtonId, button.text.c_str());
    }
}

void CSettingsDlg::OnLoadProfile(UINT nID)
{
    // Fields a profile does not hold keep what the user typed.
    UpdateData(TRUE);
    ReadProfileValues(m_pController->Ini(), static_cast<int>(nID) - IDC_LOAD_PROFILE_1 + 1, *this);
    UpdateData(FALSE);
    FocusApply();
}

void CSettingsDlg::OnSaveProfile(UINT nID)
{
    int slot = static_cast<int>(nID) - IDC_SAVE_PROFILE_1 + 1;
    bool shiftDown = ::GetKeyState(VK_SHIFT) < 0;
    ProfileEdit edit = ::SaveProfileFromDialog(m_pController->Ini(), slot, shiftDown, *this,
                                               [this]() -> const SettingsRecord& {
                                                   UpdateData(TRUE);
                                                   return *this;
                                               });
    if (edit == ProfileEdit::Unchanged)
        return;
    LabelProfileButtons();
    if (edit == ProfileEdit::Saved)
        FocusApply();
}

LRESULT CSettingsDlg::OnLastCommand(WPARAM, LPARAM)
{
    // The controller's text as it is now: the pointer the message carries may be stale.
    SetDlgItemText(IDC_LAST_COMMAND, m_pController->LastCommand().c_str());
    return 0;
}

LRESULT CSettingsDlg::OnComLineState(WPARAM wParam, LPARAM lParam)
{
    if (wParam < kComLineCount)
        m_led[wParam].ShowLed(LED_ROW_GREEN, lParam ? LED_LIT : LED_DARK, LED_SHAPE_SQUARE);
    return 0;
}

BOOL CSettingsDlg::OnHelpInfo(HELPINFO*) { return FALSE; }

bool CSettingsDlg::IsChecked(int controlId) const
{
    return ::SendMessageA(GetDlgItem(controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CSettingsDlg::SetChecked(int controlId, bool checked)
{
    ::SendMessageA(GetDlgItem(controlId), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CSettingsDlg::EnableControl(int controlId, bool enabled) { ::EnableWindow(GetDlgItem(controlId), enabled); }

void CSettingsDlg::FocusApply()
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_APPLY)), TRUE);
}

void CSettingsDlg::ShowSettingsError(int messageId)
{
    AfxMessageBox(static_cast<UINT>(messageId), MB_OK | MB_ICONERROR);
}

bool CSettingsDlg::ConfirmBroadcastAddress(int messageId, const std::string& address)
{
    std::string question = FormatBroadcastQuestion(LoadResourceString(static_cast<UINT>(messageId)), address);
    return AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> CSettingsDlg::AskProfileName(int captionId, int promptId, const std::string& initialText)
{
    CGenericStringDlg prompt(this);
    prompt.m_nCaptionId = static_cast<UINT>(captionId);
    prompt.m_nPromptId = static_cast<UINT>(promptId);
    prompt.m_strText = initialText;
    if (prompt.DoModal() != IDOK)
        return std::nullopt;
    return prompt.m_strText;
}

void CSettingsDlg::ShowProfileError(int messageId)
{
    AfxMessageBox(static_cast<UINT>(messageId), MB_OK | MB_ICONERROR);
}

bool CSettingsDlg::ConfirmProfileQuestion(int messageId)
{
    return AfxMessageBox(static_cast<UINT>(messageId), MB_YESNO | MB_ICONQUESTION) == IDYES;
}
