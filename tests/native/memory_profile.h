// An INI file in memory with the private-profile rules the settings rely on: names match
// without regard to case, a read is cut to the buffer, and sections and keys keep the order
// of their first write.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "config/private_profile.h"

class MemoryProfile : public PrivateProfile {
    using Keys = std::vector<std::pair<std::string, std::string>>;

    static bool SameName(const std::string& a, const std::string& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
    }

    // The value of the pair with that name, or null.
    template <class Pairs>
    static auto* Named(Pairs& pairs, const std::string& name)
    {
        decltype(&pairs.front().second) found = nullptr;
        for (auto& entry : pairs)
            if (!found && SameName(entry.first, name))
                found = &entry.second;
        return found;
    }

public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::size_t bufferSize) override
    {
        const std::string* value = Find(section, key);
        return (value ? *value : defaultText).substr(0, bufferSize > 0 ? bufferSize - 1 : 0);
    }

    void WriteString(const std::string& section, const std::string& key, const std::string& value) override
    {
        Keys* keys = Named(m_sections, section);
        if (!keys)
            keys = &m_sections.emplace_back(section, Keys{}).second;
        if (std::string* old = Named(*keys, key))
            *old = value;
        else
            keys->emplace_back(key, value);
    }

    void DeleteSection(const std::string& section) override
    {
        std::erase_if(m_sections, [&](const auto& s) { return SameName(s.first, section); });
    }

    // The file as the platform would write it.
    std::string Text() const
    {
        std::string text;
        for (const auto& [name, keys] : m_sections) {
            text += "[" + name + "]\n";
            for (const auto& [key, value] : keys)
                text += key + "=" + value + "\n";
        }
        return text;
    }

    const std::string* Find(const std::string& section, const std::string& key) const
    {
        const Keys* keys = Named(m_sections, section);
        return keys ? Named(*keys, key) : nullptr;
    }

private:
    std::vector<std::pair<std::string, Keys>> m_sections;
};
