#include "common_appdata_win.h"

#include <windows.h>
#include <shlobj.h>

#include "config_location.h"
#include "framework/win_handles.h"

std::string CommonAppDataFolder()
{
    // Loaded at run time: older systems have the look-up only in this redistributable DLL.
    UniqueModule library(::LoadLibraryA("SHFOLDER.DLL"));
    if (!library)
        return std::string();
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    auto getFolderPath = reinterpret_cast<GetFolderPath>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library.Get(), "SHGetFolderPathA")));
    if (!getFolderPath)
        return std::string();
    char folder[kMaxPathBuffer] = {};
    if (FAILED(getFolderPath(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder)))
        return std::string();
    folder[sizeof folder - 1] = '\0';
    return folder;
}
