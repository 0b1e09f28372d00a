#include "private_profile_win.h"

#include <windows.h>

#include <vector>

std::string PrivateProfileFile::ReadString(const std::string& section, const std::string& key,
                                           const std::string& defaultText, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    // One byte more than passed, as the caller's 1024-byte buffer holds 1023 passed bytes.
    std::vector<char> buffer(bufferSize + 1, '\0');
    DWORD copied = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                              buffer.data(), static_cast<DWORD>(bufferSize), m_path.c_str());
    return std::string(buffer.data(), copied);
}

void PrivateProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Written(::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), m_path.c_str()) != FALSE);
}

void PrivateProfileFile::DeleteSection(const std::string& section)
{
    Written(::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, m_path.c_str()) != FALSE);
}

void PrivateProfileFile::Written(bool succeeded) const
{
    if (!succeeded && m_reportWriteFailure)
        m_reportWriteFailure();
}
