// The settings dialog: edits copies of the settings; Apply hands most of them to the running
// controller at once, OK hands all of them back, Cancel lets the controller reload the file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/profiles_edit.h"
#include "config/settings_record.h"
#include "framework/combo_box.h"
#include "framework/dialog.h"
#include "ui/led.h"
#include "ui/settings_host.h"
#include "ui/settings_validation.h"

// Posted to the open dialog by its host. WM_LAST_COMMAND: a command went out (wParam its
// text, lParam the device number); the dialog shows the host's last command, as the pointer
// may be stale by then. WM_COM_LINE_STATE: wParam the line index, lParam the level, for the LED.
constexpr UINT WM_LAST_COMMAND = WM_USER + 4;
constexpr UINT WM_COM_LINE_STATE = WM_USER + 5;
// WM_MIDI_DEVICES_CHANGED: the MIDI devices came, went or moved; the boxes show them again.
constexpr UINT WM_MIDI_DEVICES_CHANGED = WM_USER + 6;

class CSettingsDlg : public CDialog, private SettingsMessages, private ProfilePrompts {
public:
    CSettingsDlg(SettingsHost& host, const Settings& settings, CWnd* pParent);

    // The settings as edited; after OK, what the host takes back. The MIDI choice is not among
    // them: the host keeps it, and takes back only the boxes the user changed.
    Settings m_settings;
    std::vector<MidiChoiceEdit> m_midiEdits;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnDefaultBroadcastAddress();
    void OnDefaultPort();
    void OnDefaultApplicationId();
    void OnDefaultTextCommand();
    void OnApply();
    void OnComEnableClicked();
    void OnComRefresh();
    void OnLineBoxClicked(UINT nID);
    void OnComPortSelected();
    void OnDeviceBoxClicked(UINT nID);
    LRESULT OnMidiDevicesChanged(WPARAM wParam, LPARAM lParam);
    void OnLoadProfile(UINT nID);
    void OnSaveProfile(UINT nID);
    LRESULT OnLastCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnComLineState(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    DECLARE_MESSAGE_MAP()

private:
    // The host's MIDI devices in the boxes, each ticked as the user left it or else as chosen.
    void ShowMidiDevices();
    void FillComPortList();
    void EnableComControls(bool enabled);
    void UpdateMuteBox(int line);
    void RefreshComLineControls();
    void LabelProfileButtons();
    void ApplySettings();

    // Takes the controls into the fields: 0, or the control at fault (its message shown).
    int TakeFields();
    // Takes the controls into the fields and checks them: 0, or the control at fault.
    int TakeAndValidate();
    // Puts the focus on the control at fault, its text selected.
    void ShowFailure(int controlId);
    bool IsChecked(int controlId) const;
    void SetChecked(int controlId, bool checked);
    void EnableControl(int controlId, bool enabled);
    void FocusApply();

    void ShowSettingsError(int messageId) override;
    bool ConfirmBroadcastAddress(int messageId, const std::string& address) override;
    std::optional<std::string> AskProfileName(int captionId, int promptId, const std::string& initialText) override;
    void ShowProfileError(int messageId) override;
    bool ConfirmProfileQuestion(int messageId) override;

    SettingsHost& m_host;
    CComboBox m_cbPort;
    MidiDeviceViews m_midiShown;
    CLed m_led[kComLineCount];
};
