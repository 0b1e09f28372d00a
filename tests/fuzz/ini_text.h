// Fuzz input read as the text of an INI file: "[Section]" lines and "key=value" lines.
#pragma once

#include <string_view>

#include "tests/native/memory_profile.h"

inline void FillFromIniText(std::string_view text, MemoryProfile& profile)
{
    std::string section;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            section.assign(line.substr(1, line.size() - 2));
        } else if (size_t equals = line.find('='); equals != std::string_view::npos) {
            profile.WriteString(section, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
        }
    }
}
