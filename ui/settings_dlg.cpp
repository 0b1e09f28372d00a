#include "settings_dlg.h"

#include <string>

#include "config/com_lines.h"
#include "config/default_broadcast_win.h"
#include "config/profiles.h"
#include "framework/afx_functions.h"
#include "framework/data_exchange.h"
#include "framework/text.h"
#include "res/resource.h"
#include "res/settings_ids.h"
#include "ui/generic_string_dlg.h"

namespace {
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
    ON_COMMAND_RANGE(IDC_DEVICE_0, IDC_DEVICE_0 + kMidiDeviceCount - 1, OnDeviceBoxClicked)
    ON_MESSAGE(WM_MIDI_DEVICES_CHANGED, OnMidiDevicesChanged)
    ON_COMMAND_RANGE(IDC_LOAD_PROFILE_1, IDC_LOAD_PROFILE_1 + kProfileCount - 1, OnLoadProfile)
    ON_COMMAND_RANGE(IDC_SAVE_PROFILE_1, IDC_SAVE_PROFILE_1 + kProfileCount - 1, OnSaveProfile)
    ON_MESSAGE(WM_LAST_COMMAND, OnLastCommand)
    ON_MESSAGE(WM_COM_LINE_STATE, OnComLineState)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(SettingsHost& host, const Settings& settings, CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent), m_settings(settings), m_host(host)
{
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_FILTER_NOTE_OFF, m_settings.m_bFilterNoteOff);
    DDX_Text(pDX, IDC_TEXT_COMMAND, m_settings.m_strTextCommand);
    DDV_MaxChars(pDX, m_settings.m_strTextCommand, kTextCommandLimit);
    DDX_Text(pDX, IDC_BROADCAST_ADDRESS, m_settings.m_strBroadcastAddress);
    DDV_MaxChars(pDX, m_settings.m_strBroadcastAddress, kBroadcastAddressLimit);
    DDX_Text(pDX, IDC_PORT, m_settings.m_nPort);
    DDV_MinMaxInt(pDX, m_settings.m_nPort, 1, 65535);
    DDX_Text(pDX, IDC_APPLICATION_ID, m_settings.m_strApplicationId);
    DDV_MaxChars(pDX, m_settings.m_strApplicationId, kApplicationIdLimit);
    DDX_Text(pDX, IDC_DESTINATION, m_settings.m_strDestination);
    DDV_MaxChars(pDX, m_settings.m_strDestination, kDestinationLimit);
    DDX_Control(pDX, IDC_COM_PORT, m_cbPort);
    DDX_Check(pDX, IDC_COM_ENABLE, m_settings.m_bComEnabled);
    DDX_Text(pDX, IDC_COM_DEVICE, m_settings.m_comConfig.Device);
    for (int line = 0; line < kComLineCount; ++line) {
        DDX_Check(pDX, ComLineAt(line).lineBoxId, m_settings.m_comConfig.Watch(line));
        DDX_Check(pDX, ComLineAt(line).muteBoxId, m_settings.m_comConfig.Mute(line));
    }
    DDX_Check(pDX, IDC_COM_RTS_ON, m_settings.m_comConfig.RtsOn);
    DDX_Check(pDX, IDC_COM_DTR_ON, m_settings.m_comConfig.DtrOn);
    for (int line = 0; line < kComLineCount; ++line)
        DDX_Control(pDX, ComLineAt(line).ledId, m_led[line]);
    // The private-profile functions trim the values they read back, so the texts are trimmed
    // where every path (Apply, OK, Load, Save as) takes them: what runs is then what the file
    // gives back, and a profile saved from them is found as the current one. Blanks never
    // occur inside a double-byte character, so the bytes are trimmed without a code page.
    if (pDX->m_bSaveAndValidate) {
        for (std::string* text : { &m_settings.m_strTextCommand, &m_settings.m_strBroadcastAddress,
                                   &m_settings.m_strApplicationId, &m_settings.m_strDestination,
                                   &m_settings.m_comConfig.Port })
            *text = TrimBlanks(*text);
    }
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowMidiDevices();
    m_host.SetSettingsWindow(m_hWnd);
    FillComPortList();
    RefreshComLineControls();
    LabelProfileButtons();
    return TRUE;
}

void CSettingsDlg::ShowMidiDevices()
{
    m_midiShown = m_host.MidiViews();
    for (int number = 0; number < kMidiDeviceCount; ++number) {
        const MidiDeviceView& device = m_midiShown[static_cast<size_t>(number)];
        bool chosen = device.chosen;
        for (const MidiChoiceEdit& edit : m_midiEdits) {
            if (edit.number == number && edit.name == device.name)
                chosen = edit.chosen;
        }
        std::string name = device.name.empty() ? LoadResourceString(IDS_NOT_DEFINED) : device.name;
        std::string label = "Dev. " + std::to_string(number) + " - " + name;
        SetDlgItemText(IDC_DEVICE_0 + number, label.c_str());
        SetChecked(IDC_DEVICE_0 + number, chosen);
        EnableControl(IDC_DEVICE_0 + number, !device.name.empty());
    }
}

void CSettingsDlg::OnDeviceBoxClicked(UINT nID)
{
    int number = static_cast<int>(nID) - IDC_DEVICE_0;
    MidiChoiceEdit edit = { number, m_midiShown[static_cast<size_t>(number)].name, IsChecked(static_cast<int>(nID)) };
    std::erase_if(m_midiEdits, [&](const MidiChoiceEdit& e) { return e.number == number && e.name == edit.name; });
    m_midiEdits.push_back(edit);
}

LRESULT CSettingsDlg::OnMidiDevicesChanged(WPARAM, LPARAM)
{
    ShowMidiDevices();
    return 0;
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

int CSettingsDlg::TakeFields()
{
    CDataExchange dx(this, TRUE);
    DoDataExchange(&dx);
    return dx.FailedControlId();
}

int CSettingsDlg::TakeAndValidate()
{
    if (int fault = TakeFields())
        return fault;
    return ValidateSettings(m_settings.m_strBroadcastAddress, m_settings.m_strTextCommand, m_settings.m_comConfig.Device, *this);
}

void CSettingsDlg::ShowFailure(int controlId)
{
    // The controls are left as the user typed them: after a failed exchange the later fields
    // still hold their previous values, and showing them would undo those edits (the enable
    // box among them, without the enabling of the COM controls that goes with it).
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
    // The network address and port reach the network library only with OK.
    if (m_host.ApplyLiveSettings(m_settings, m_midiEdits) != ComSwitchesResult::Open) {
        m_settings.m_bComEnabled = 0;
        SetChecked(IDC_COM_ENABLE, false);
        RefreshComLineControls();
    }
}

void CSettingsDlg::FillComPortList()
{
    m_cbPort.ResetContent();
    const std::vector<std::string>& ports = m_host.RefreshComPortNames();
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
        if (ports[i] == m_settings.m_comConfig.Port && selected == 0)
            selected = static_cast<int>(i);
    }
    m_cbPort.SetCurSel(selected);
    m_settings.m_comConfig.Port = m_cbPort.GetLBText(selected);
}

void CSettingsDlg::EnableComControls(bool enabled)
{
    EnableControl(IDC_COM_DEVICE, enabled);
    EnableControl(IDC_COM_PORT, enabled);
    for (int line = 0; line < kComLineCount; ++line) {
        EnableControl(ComLineAt(line).lineBoxId, enabled);
        EnableControl(ComLineAt(line).muteBoxId, enabled);
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
    bool watched = IsChecked(ComLineAt(line).lineBoxId);
    SetChecked(ComLineAt(line).muteBoxId, watched && m_settings.m_comConfig.Mute(line));
    EnableControl(ComLineAt(line).muteBoxId, watched);
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
        if (ComLineAt(line).lineBoxId == static_cast<int>(nID))
            UpdateMuteBox(line);
}

void CSettingsDlg::OnComPortSelected()
{
    int selected = m_cbPort.GetCurSel();
    if (selected >= 0)
        m_settings.m_comConfig.Port = m_cbPort.GetLBText(selected);
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
    for (const ProfileButtonLabel& button : ProfileButtonLabels(m_host.Ini(), LoadResourceString(IDS_PROFILE_N))) {
        SetDlgItemText(button.loadButtonId, button.text.c_str());
        EnableControl(button.loadButtonId, button.loadEnabled);
        SetDlgItemText(button.saveButtonId, button.text.c_str());
    }
}

void CSettingsDlg::OnLoadProfile(UINT nID)
{
    // Only the five values a profile holds are shown: the other controls keep what the user
    // typed, also when the exchange stopped early and their fields are out of date.
    TakeFields();
    ReadProfileValues(m_host.Ini(), static_cast<int>(nID) - IDC_LOAD_PROFILE_1 + 1, m_settings);
    SetDlgItemText(IDC_TEXT_COMMAND, m_settings.m_strTextCommand.c_str());
    SetDlgItemText(IDC_BROADCAST_ADDRESS, m_settings.m_strBroadcastAddress.c_str());
    SetDlgItemText(IDC_PORT, std::to_string(m_settings.m_nPort).c_str());
    SetDlgItemText(IDC_APPLICATION_ID, m_settings.m_strApplicationId.c_str());
    SetDlgItemText(IDC_DESTINATION, m_settings.m_strDestination.c_str());
    FocusApply();
}

void CSettingsDlg::OnSaveProfile(UINT nID)
{
    int slot = static_cast<int>(nID) - IDC_SAVE_PROFILE_1 + 1;
    bool shiftDown = ::GetKeyState(VK_SHIFT) < 0;
    int fault = 0;
    ProfileEdit edit = ::SaveProfileFromDialog(m_host.Ini(), slot, shiftDown, *this,
                                               [this, &fault]() -> const SettingsRecord* {
                                                   fault = TakeFields();
                                                   return fault ? nullptr : &m_settings;
                                               });
    if (fault)
        ShowFailure(fault);
    if (edit == ProfileEdit::Unchanged)
        return;
    LabelProfileButtons();
    if (edit == ProfileEdit::Saved)
        FocusApply();
}

LRESULT CSettingsDlg::OnLastCommand(WPARAM, LPARAM)
{
    // The host's text as it is now: the pointer the message carries may be stale.
    SetDlgItemText(IDC_LAST_COMMAND, m_host.LastCommand().c_str());
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
