// The three private-profile calls the settings need, behind an interface so that the load
// and save logic runs against an in-memory file in the tests and the real one in the program.
#pragma once

#include <cstddef>
#include <string>

class PrivateProfile {
public:
    virtual ~PrivateProfile() = default;

    // Like GetPrivateProfileString: the value, or defaultText when the key is missing, cut
    // to bufferSize - 1 characters.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultText, std::size_t bufferSize) = 0;

    // Creates or replaces the key, creating the section and the file as needed. A failure is
    // no error of the caller's: the implementation reports it its own way.
    virtual void WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;

    virtual void DeleteSection(const std::string& section) = 0;
};
