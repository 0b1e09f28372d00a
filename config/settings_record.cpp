#include "settings_record.h"

bool operator==(const ComSwitchConfig& a, const ComSwitchConfig& b)
{
    return a.Port == b.Port && a.Device == b.Device && a.Cts == b.Cts && a.Dcd == b.Dcd &&
           a.Dsr == b.Dsr && a.Ri == b.Ri && a.CtsMute == b.CtsMute && a.DcdMute == b.DcdMute &&
           a.DsrMute == b.DsrMute && a.RiMute == b.RiMute && a.RtsOn == b.RtsOn && a.DtrOn == b.DtrOn;
}
