#include "create_path_directories_win.h"

#include <windows.h>
#include <sddl.h>

#include "config_location.h"
#include "framework/win_handles.h"

namespace {
// What ConvertStringSecurityDescriptorToSecurityDescriptorA allocates.
struct LocalMemoryTraits {
    using Handle = PSECURITY_DESCRIPTOR;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};
using UniqueSecurityDescriptor = UniqueHandle<LocalMemoryTraits>;

// Every member of Users (S-1-5-32-545) may read, write, run and delete in the folder, its files
// and its subfolders: the settings are the PC's, shared by its users, whoever made the file
// first (an elevated run included). The system adds what the parent folder hands down.
constexpr char kUsersMayModify[] = "D:(A;OICI;0x1301bf;;;BU)";
}

void CreatePathDirectories(const std::string& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorA(kUsersMayModify, SDDL_REVISION_1, &descriptor, nullptr);
    UniqueSecurityDescriptor owner(descriptor);
    SECURITY_ATTRIBUTES attributes = { sizeof attributes, descriptor, FALSE };
    // Only a folder made here gets the rule: the rights of one that exists are never changed.
    for (const std::string& folder : FoldersAlongPath(path)) {
        WIN32_FIND_DATAA found;
        UniqueFindHandle search(::FindFirstFileA(folder.c_str(), &found));
        if (!search)
            ::CreateDirectoryA(folder.c_str(), descriptor ? &attributes : nullptr);
    }
}
