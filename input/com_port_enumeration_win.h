// The serial ports present on the machine, for the settings dialog's "Port:" list.
#pragma once

#include <string>
#include <vector>

// The one port list of the program, kept for the whole run; every enumeration replaces it.
extern std::vector<std::string> g_comPortNames;

// Empties g_comPortNames, fills it with the ports found ("COM%d", ascending) and returns it.
const std::vector<std::string>& EnumerateComPorts();
