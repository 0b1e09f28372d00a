#include "com_port_error_text.h"

std::string UnableToOpenText(std::string_view pattern, std::string_view portName)
{
    std::string text;
    bool nameUsed = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            char next = pattern[i + 1];
            if (next == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (next == 's' && !nameUsed) {
                text += portName;
                nameUsed = true;
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}
