// An INI file in memory with the private-profile rules the settings rely on: names match
// without regard to case, a read is cut to the buffer, and sections and keys keep the order
// of their first write.
#pragma once

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "config/private_profile.h"

class MemoryProfile : public PrivateProfile {
public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::size_t bufferSize) override
    {
        const std::string* value = Find(section, key);
        std::string text = value ? *value : defaultText;
        if (bufferSize == 0)
            return std::string();
        if (text.size() > bufferSize - 1)
            text.resize(bufferSize - 1);
        return text;
    }

    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        Section* target = FindSection(section);
        if (!target) {
            m_sections.push_back({ section, {} });
            target = &m_sections.back();
        }
        for (auto& entry : target->keys) {
            if (SameName(entry.first, key)) {
                entry.second = value;
                return;
            }
        }
        target->keys.emplace_back(key, value);
    }

    void DeleteSection(const std::string& section) override
    {
        for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
            if (SameName(it->name, section)) {
                m_sections.erase(it);
                return;
            }
        }
    }

    // The file as the platform would write it.
    std::string Text() const
    {
        std::string text;
        for (const Section& section : m_sections) {
            text += "[" + section.name + "]\n";
            for (const auto& entry : section.keys)
                text += entry.first + "=" + entry.second + "\n";
        }
        return text;
    }

    const std::string* Find(const std::string& section, const std::string& key) const
    {
        for (const Section& s : m_sections) {
            if (!SameName(s.name, section))
                continue;
            for (const auto& entry : s.keys)
                if (SameName(entry.first, key))
                    return &entry.second;
        }
        return nullptr;
    }

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };

    static bool SameName(const std::string& a, const std::string& b)
    {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }

    Section* FindSection(const std::string& name)
    {
        for (Section& s : m_sections)
            if (SameName(s.name, name))
                return &s;
        return nullptr;
    }

    std::vector<Section> m_sections;
};
