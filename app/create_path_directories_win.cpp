#include "create_path_directories_win.h"

#include <windows.h>

#include "config_location.h"
#include "framework/win_handles.h"

void CreatePathDirectories(const std::string& path)
{
    for (const std::string& folder : FoldersAlongPath(path)) {
        WIN32_FIND_DATAA found;
        UniqueFindHandle search(::FindFirstFileA(folder.c_str(), &found));
        if (!search)
            ::CreateDirectoryA(folder.c_str(), nullptr);
    }
}
