#include "settings_record.h"

#include "com_lines.h"

int& ComSwitchConfig::Watch(int line) { return this->*ComLineAt(line).watchFlag; }
int ComSwitchConfig::Watch(int line) const { return this->*ComLineAt(line).watchFlag; }
int& ComSwitchConfig::Mute(int line) { return this->*ComLineAt(line).muteFlag; }
int ComSwitchConfig::Mute(int line) const { return this->*ComLineAt(line).muteFlag; }
