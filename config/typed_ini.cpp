#include "typed_ini.h"

#include "ini_integer.h"

int TypedIni::ReadIniString(int sectionId, int keyId, const std::string& defaultText, std::string& out) const
{
    return ReadIniString(m_names.Name(sectionId), keyId, defaultText, out);
}

int TypedIni::ReadIniInt(int sectionId, int keyId, int defaultValue, int& out) const
{
    return ReadIniInt(m_names.Name(sectionId), keyId, defaultValue, out);
}

int TypedIni::ReadIniBool(int sectionId, int keyId, int& out) const
{
    const std::string& section = m_names.Name(sectionId);
    if (section.empty())
        return 0;
    std::string text;
    int delivered = ReadIniString(section, keyId, "0", text);
    out = text == "0" ? 0 : 1;
    return delivered;
}

void TypedIni::WriteIniString(int sectionId, int keyId, const std::string& text) const
{
    WriteIniString(m_names.Name(sectionId), keyId, text);
}

void TypedIni::WriteIniInt(int sectionId, int keyId, int value) const
{
    WriteIniString(sectionId, keyId, std::to_string(value));
}

void TypedIni::WriteIniBool(int sectionId, int keyId, int flag) const
{
    WriteIniString(sectionId, keyId, flag ? "1" : "0");
}

int TypedIni::ReadIniString(const std::string& section, int keyId, const std::string& defaultText,
                            std::string& out) const
{
    if (section.empty())
        return 0;
    out = m_profile.ReadString(section, m_names.Name(keyId), defaultText, kReadSizePassed);
    return static_cast<int>(out.size());
}

int TypedIni::ReadIniInt(const std::string& section, int keyId, int defaultValue, int& out) const
{
    if (section.empty())
        return 0;
    std::string text;
    int delivered = ReadIniString(section, keyId, std::to_string(defaultValue), text);
    out = ParseIniInteger(text);
    return delivered;
}

void TypedIni::WriteIniString(const std::string& section, int keyId, const std::string& text) const
{
    if (section.empty())
        return;
    m_profile.WriteString(section, m_names.Name(keyId), text);
}

void TypedIni::WriteIniInt(const std::string& section, int keyId, int value) const
{
    WriteIniString(section, keyId, std::to_string(value));
}

void TypedIni::DeleteSection(const std::string& section) const
{
    if (!section.empty())
        m_profile.DeleteSection(section);
}
