// The private-profile functions of Windows on one INI file.
#pragma once

#include <string>

#include "private_profile.h"

class PrivateProfileFile : public PrivateProfile {
public:
    explicit PrivateProfileFile(std::string path) : m_path(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::size_t bufferSize) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    void DeleteSection(const std::string& section) override;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
