#include "trim_text.h"

namespace {
bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}

std::string TrimWhiteSpace(const std::string& text, const LeadByteTest& isLeadByte)
{
    std::size_t begin = std::string::npos;   // first character that is not white space
    std::size_t end = 0;                     // just after the last one
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        bool doubleByte = isLeadByte && isLeadByte(c) && i + 1 < text.size();
        std::size_t length = doubleByte ? 2 : 1;
        if (doubleByte || !IsBlank(c)) {
            if (begin == std::string::npos)
                begin = i;
            end = i + length;
        }
        i += length;
    }
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin);
}
