#include "temp_directory.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "framework/win_handles.h"

TempDirectory::TempDirectory()
{
    static std::atomic<unsigned> counter{ 0 };
    char base[MAX_PATH] = {};
    ::GetTempPathA(sizeof base, base);
    for (;;) {
        std::string candidate = std::string(base) + "kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(counter++) + "\\";
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

TempDirectory::~TempDirectory()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void RemoveTree(const std::string& path)
{
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA entry;
    UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (search) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(search.Get(), &entry));
    }
    search.Reset();
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(folder.c_str());
}
