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
    fs::path base = fs::temp_directory_path(error);
    while (!error) {
        fs::path candidate = base / ("kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string() + "\\";
            return;
        }
    }
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

void WriteWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
