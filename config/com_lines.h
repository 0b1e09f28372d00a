// The four COM switch lines in line-index order (0 CTS, 1 DCD, 2 DSR, 3 RI), the order of the
// Com keys, the events, the mute flags, the LEDs and the dialog's controls. Every per-line
// list of the program is a column of this table. The modem-status bits and event masks are
// the platform's values, checked against its constants in input/com_switch_monitor_win.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "config/setting_names.h"
#include "config/settings_record.h"
#include "res/settings_ids.h"

struct ComLine {
    int ComSwitchConfig::*watchFlag;
    int ComSwitchConfig::*muteFlag;
    int watchKey;   // INI key ids in section Com, with their names
    const char* watchKeyName;
    int muteKey;
    const char* muteKeyName;
    std::uint32_t statusBit;   // MS_CTS_ON, MS_RLSD_ON, MS_DSR_ON, MS_RING_ON
    std::uint32_t eventMask;   // EV_CTS, EV_RLSD, EV_DSR, EV_RING
    int lineBoxId;             // the settings dialog's "watch" checkbox, mute checkbox and LED
    int muteBoxId;
    int ledId;
};

inline constexpr std::array<ComLine, kComLineCount> kComLines = { {
    { &ComSwitchConfig::Cts, &ComSwitchConfig::CtsMute, COM_CTS, "Cts", COM_CTS_MUTE, "CtsMute", 0x10, 0x008,
      IDC_COM_CTS, IDC_COM_CTS_MUTE, IDC_COM_LED_CTS },
    { &ComSwitchConfig::Dcd, &ComSwitchConfig::DcdMute, COM_DCD, "Dcd", COM_DCD_MUTE, "DcdMute", 0x80, 0x020,
      IDC_COM_DCD, IDC_COM_DCD_MUTE, IDC_COM_LED_DCD },
    { &ComSwitchConfig::Dsr, &ComSwitchConfig::DsrMute, COM_DSR, "Dsr", COM_DSR_MUTE, "DsrMute", 0x20, 0x010,
      IDC_COM_DSR, IDC_COM_DSR_MUTE, IDC_COM_LED_DSR },
    { &ComSwitchConfig::Ri, &ComSwitchConfig::RiMute, COM_RI, "Ri", COM_RI_MUTE, "RiMute", 0x40, 0x100,
      IDC_COM_RI, IDC_COM_RI_MUTE, IDC_COM_LED_RI },
} };

inline const ComLine& ComLineAt(int line) { return kComLines[static_cast<std::size_t>(line)]; }
