#include "create_path_directories_win.h"

#include <windows.h>

#include <cstring>

#include "config_location.h"
#include "framework/win_handles.h"

void CreatePathDirectories(const std::string& path)
{
    char prefix[kMaxPathBuffer] = {};
    if (path.size() >= sizeof prefix)
        return;
    std::memcpy(prefix, path.c_str(), path.size() + 1);

    size_t firstBackslash = path.find('\\');
    if (firstBackslash == std::string::npos)
        return;
    for (size_t cut = path.find('\\', firstBackslash + 1); cut != std::string::npos;
         cut = path.find('\\', cut + 1)) {
        prefix[cut] = '\0';
        WIN32_FIND_DATAA found;
        UniqueFindHandle search(::FindFirstFileA(prefix, &found));
        if (!search)
            ::CreateDirectoryA(prefix, nullptr);
        prefix[cut] = '\\';
    }
}
