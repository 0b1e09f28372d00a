#include "temp_directory.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

TempDirectory::TempDirectory()
{
    static std::atomic<unsigned> counter{ 0 };
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error) /
                      ("kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
    fs::remove_all(folder, error);   // left by an earlier run of the same process id
    if (fs::create_directories(folder, error))
        m_path = folder.string() + "\\";
}

TempDirectory::~TempDirectory()
{
    std::error_code error;
    if (!m_path.empty())
        fs::remove_all(fs::path(m_path).parent_path(), error);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
