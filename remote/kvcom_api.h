// The network library's three functions, imported from KvCom.dll by their standard-call
// names, so that the maker's own library can take our stand-in's place file for file.
#pragma once

#include <windows.h>

// The message KVCOM_init is given to post its notifications with; the program ignores them.
constexpr UINT WM_NETWORK_NOTIFY = WM_USER + 3;

extern "C" {
__declspec(dllimport) int __stdcall KVCOM_init(HWND hWnd, UINT message, const char* address, int port);
__declspec(dllimport) int __stdcall KVCOM_send(const char* line);
__declspec(dllimport) int __stdcall KVCOM_close(void);
}
