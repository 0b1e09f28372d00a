#include "text.h"

#include <climits>

std::optional<std::array<std::uint8_t, 4>> ParseDottedDecimal(std::string_view text)
{
    std::array<unsigned, 4> groups{};
    std::size_t group = 0;
    std::size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            groups[group] = groups[group] * 10 + static_cast<unsigned>(c - '0');
            if (++digits > 3 || groups[group] > 255)
                return std::nullopt;
        } else if (c == '.' && digits > 0 && group < 3) {
            ++group;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (group != 3 || digits == 0)
        return std::nullopt;
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(groups[i]);
    return bytes;
}

std::optional<std::uint32_t> ParseDottedDecimalValue(std::string_view text)
{
    std::optional<std::array<std::uint8_t, 4>> bytes = ParseDottedDecimal(text);
    if (!bytes)
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::uint8_t byte : *bytes)
        value = (value << 8) | byte;
    return value;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

IntegerPrefix ParseIntegerPrefix(std::string_view text)
{
    IntegerPrefix prefix;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
        prefix.hasDigits = true;
        prefix.end = i + 1;
    }
    long long value = negative ? -magnitude : magnitude;
    prefix.value = value > INT_MAX ? INT_MAX : static_cast<int>(value);
    return prefix;
}

std::optional<int> ParseWholeInteger(std::string_view text)
{
    IntegerPrefix prefix = ParseIntegerPrefix(text);
    if (!prefix.hasDigits)
        return std::nullopt;
    for (std::size_t i = prefix.end; i < text.size(); ++i) {
        if (!IsBlank(text[i]))
            return std::nullopt;
    }
    return prefix.value;
}

std::string FillPlaceholders(std::string_view pattern, std::initializer_list<Placeholder> placeholders)
{
    std::string out;
    unsigned used = 0;   // bit n: the n-th placeholder, marked `once`, is filled already
    auto fill = [&](char key) {
        unsigned bit = 1;
        for (const Placeholder& placeholder : placeholders) {
            if (placeholder.key == key && !(used & bit)) {
                out += placeholder.text;
                if (placeholder.once)
                    used |= bit;
                return true;
            }
            bit <<= 1;
        }
        return false;
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && fill(pattern[i + 1]))
            ++i;
        else
            out += pattern[i];
    }
    return out;
}

std::string TrimBlanks(std::string_view text, const LeadByteTest& isLeadByte)
{
    std::size_t begin = std::string_view::npos;   // first character that is not a blank
    std::size_t end = 0;                          // just after the last one
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        bool doubleByte = isLeadByte && isLeadByte(c) && i + 1 < text.size();
        std::size_t length = doubleByte ? 2 : 1;
        if (doubleByte || !IsBlank(text[i])) {
            if (begin == std::string_view::npos)
                begin = i;
            end = i + length;
        }
        i += length;
    }
    return begin == std::string_view::npos ? std::string() : std::string(text.substr(begin, end - begin));
}
