// An INI file in memory with the private-profile rules the settings rely on: names match
// without regard to case, a read is cut to the buffer, and keys keep the order of their first
// write, a new key at the end (a section's keys stay together where the program writes a
// section whole; its text is not compared where it does not).
#pragma once

#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/private_profile.h"

class MemoryProfile : public PrivateProfile {
public:
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultText,
                           std::size_t bufferSize) override
    {
        auto entry = Find(section, key);
        return (entry != m_entries.end() ? entry->value : defaultText).substr(0, bufferSize > 0 ? bufferSize - 1 : 0);
    }
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        if (auto entry = Find(section, key); entry != m_entries.end())
            return void(entry->value = value);
        m_entries.push_back({ section, key, value });
    }
    void DeleteSection(const std::string& section) override
    {
        std::erase_if(m_entries, [&](const Entry& e) { return Same(e.section, section); });
    }
    // The file as the platform would write it.
    std::string Text() const
    {
        std::string text;
        for (size_t i = 0; i < m_entries.size(); ++i)
            text += (i == 0 || !Same(m_entries[i].section, m_entries[i - 1].section) ? "[" + m_entries[i].section + "]\n" : "") +
                    m_entries[i].key + "=" + m_entries[i].value + "\n";
        return text;
    }

private:
    struct Entry { std::string section, key, value; };
    std::vector<Entry>::iterator Find(const std::string& section, const std::string& key)
    {
        return std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return Same(e.section, section) && Same(e.key, key); });
    }
    // As C strings, as the platform takes them.
    static bool Same(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }
    std::vector<Entry> m_entries;
};
