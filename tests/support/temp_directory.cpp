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
        fs::path candidate =
            base / ("kvtest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.string() + "\\";
            return;
        }
    }
}

TempDirectory::~TempDirectory()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool DirectoryExists(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
    std::error_code error;
    fs::remove_all(folder, error);
}
