// What the settings dialog needs from the program that runs it. The controller is the one
// implementation; the dialog knows nothing else of it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/settings_record.h"
#include "config/typed_ini.h"
#include "input/com_switch_opening.h"
#include "input/midi_devices.h"

class SettingsHost {
public:
    // Apply: the boxes the user changed (by device), the filter, the texts and the network
    // fields take effect at once (the open MIDI devices follow the choice); the COM switches
    // stop, take settings.m_comConfig and start again when settings.m_bComEnabled is set. The
    // running enable flag stays as it is. The answer of that start, Open when none was tried.
    virtual ComSwitchesResult ApplyLiveSettings(const Settings& settings, const std::vector<MidiChoiceEdit>& midiEdits) = 0;

    // The MIDI devices by the numbers their commands carry, as they are now.
    virtual MidiDeviceViews MidiViews() const = 0;
    virtual const TypedIni& Ini() const = 0;
    // The serial ports present now, listed again.
    virtual const std::vector<std::string>& RefreshComPortNames() = 0;
    virtual const std::string& LastCommand() const = 0;

    // The dialog's window once it exists, to get WM_LAST_COMMAND and WM_COM_LINE_STATE; the
    // host forgets it when the dialog's modal run ends.
    virtual void SetSettingsWindow(HWND hWnd) = 0;

protected:
    ~SettingsHost() = default;
};
