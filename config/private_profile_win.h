// The private-profile functions of Windows on one INI file.
#pragma once

#include <functional>
#include <string>

#include "private_profile.h"

class PrivateProfileFile : public PrivateProfile {
public:
    explicit PrivateProfileFile(std::string path) : m_path(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::size_t bufferSize) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    void DeleteSection(const std::string& section) override;

    // Called after every write the system refuses (a missing folder, a read-only file): the
    // one place that learns of a lost save, whichever code saved.
    void OnWriteFailure(std::function<void()> report) { m_reportWriteFailure = std::move(report); }

    const std::string& Path() const { return m_path; }

private:
    void Written(bool succeeded) const;

    std::string m_path;
    std::function<void()> m_reportWriteFailure;
};
