// The check marks of the tray menu's Profiles submenu in a running kvMidi.exe, read from the
// screen: Wine does not let another process read a program's menus.
#pragma once

#include <windows.h>

#include <vector>

// Which of the eight items show a check mark. The submenu is opened as a user would, by the
// tray's right-click callback and the keys (down twice to "Profiles", then right), and closed
// again; empty when it did not open.
std::vector<bool> ShownProfileChecks(DWORD processId);
