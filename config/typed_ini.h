// The six typed INI operations. Every access names its section and key by id; only the
// profile code passes a section name of its own ("Profile%d") with a key id.
#pragma once

#include <string>

#include "private_profile.h"
#include "setting_names.h"

class TypedIni {
public:
    // A read delivers at most this many characters (a 1024-byte buffer, 1023 passed as size).
    static constexpr std::size_t kReadBufferSize = 1024;
    static constexpr std::size_t kReadSizePassed = kReadBufferSize - 1;

    TypedIni(const SettingNameTable& names, PrivateProfile& profile) : m_names(names), m_profile(profile) {}

    // Reads return the number of characters delivered; with a section the table does not
    // name they return 0 and leave out unchanged.
    int ReadIniString(int sectionId, int keyId, const std::string& defaultText, std::string& out) const;
    int ReadIniInt(int sectionId, int keyId, int defaultValue, int& out) const;
    int ReadIniBool(int sectionId, int keyId, int& out) const;
    void WriteIniString(int sectionId, int keyId, const std::string& text) const;
    void WriteIniInt(int sectionId, int keyId, int value) const;
    void WriteIniBool(int sectionId, int keyId, int flag) const;

    // The same for a section named by the caller.
    int ReadIniString(const std::string& section, int keyId, const std::string& defaultText, std::string& out) const;
    int ReadIniInt(const std::string& section, int keyId, int defaultValue, int& out) const;
    void WriteIniString(const std::string& section, int keyId, const std::string& text) const;
    void WriteIniInt(const std::string& section, int keyId, int value) const;
    void DeleteSection(const std::string& section) const;

private:
    const SettingNameTable& m_names;
    PrivateProfile& m_profile;
};
