// The framework's free functions: message boxes with the application's title, string
// resources and Windows sockets start-up.
#pragma once

#include <windows.h>

#include <string>

// Shows text as it is (never as a format) with the application's name as title, owned by the
// main window's active popup when there is one.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(UINT idPrompt, UINT type = MB_OK);

// A string of the program's string table; empty when it has none by that id.
std::string LoadResourceString(UINT id);

// Starts Windows sockets 1.1 for the process and stops them at exit; FALSE on failure.
BOOL AfxSocketInit();
