#include "message_text.h"

#include <cctype>
#include <climits>

std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            size_t index = static_cast<size_t>(pattern[i + 1] - '1');
            if (index < args.size())
                out += *(args.begin() + index);
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

static bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool ScanDialogInteger(std::string_view text, int& value)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t firstDigit = i;
    long long magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (text[i] - '0');
        ++i;
    }
    if (i == firstDigit)
        return false;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return false;
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX)
        signedValue = INT_MAX;
    if (signedValue < INT_MIN)
        signedValue = INT_MIN;
    value = static_cast<int>(signedValue);
    return true;
}
