// A fresh folder under the temporary directory, removed with everything in it at the end, and
// a whole file read.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempDirectory {
public:
    TempDirectory()
    {
        static std::atomic<unsigned> counter{ 0 };
        std::error_code error;
        m_folder = std::filesystem::temp_directory_path(error) /
                   ("kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_folder, error);   // left by an earlier run of the same process id
        std::filesystem::create_directories(m_folder, error);
    }
    ~TempDirectory()
    {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The folder, ending with "\".
    std::string Path() const { return m_folder.string() + "\\"; }

private:
    std::filesystem::path m_folder;
};

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
