// A fresh folder under the temporary directory, removed with everything in it at the end.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

class TempDirectory {
public:
    // A folder of the same name may be left by an earlier run of the same process id.
    TempDirectory() { std::filesystem::remove_all(m_folder, m_error); std::filesystem::create_directories(m_folder, m_error); }
    ~TempDirectory() { std::filesystem::remove_all(m_folder, m_error); }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The folder, ending with "\".
    std::string Path() const { return m_folder.string() + "\\"; }

private:
    static inline std::atomic<unsigned> s_made{ 0 };
    std::error_code m_error;
    std::filesystem::path m_folder = std::filesystem::temp_directory_path(m_error) /
                                     ("kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(s_made++));
};
