// The program's text rules, one home each: dotted-decimal addresses, decimal integers,
// placeholders filled with text, and blanks trimmed. Platform-free; KvCom.dll compiles this
// file too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// Four groups of one to three decimal digits separated by single dots, each at most 255, and
// nothing else (no blanks, no sign). A leading zero is still decimal: "010" is 10, not the
// octal 8 that inet_addr would read.
std::optional<std::array<std::uint8_t, 4>> ParseDottedDecimal(std::string_view text);

// The same address as one number, first group in the highest byte (host order).
std::optional<std::uint32_t> ParseDottedDecimalValue(std::string_view text);

// A decimal integer at the start of a text: blanks, an optional sign, then the digits up to
// the first other character. Values beyond the int range saturate, so that a range check
// that follows reports them as out of range rather than as wrapped numbers.
struct IntegerPrefix {
    int value = 0;          // 0 without digits
    bool hasDigits = false;
    std::size_t end = 0;    // just after the last digit
};
IntegerPrefix ParseIntegerPrefix(std::string_view text);

// A whole text as one decimal integer: blanks around it allowed, at least one digit, nothing
// else; saturating as above.
std::optional<int> ParseWholeInteger(std::string_view text);

// "%" followed by a placeholder's key becomes that placeholder's text; one marked `once` fills
// only the first occurrence of its key and leaves later ones as they are. Everything else,
// the texts included, is copied as it is: nothing is ever used as a format.
struct Placeholder {
    char key;
    std::string_view text;
    bool once = false;
};
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<Placeholder> placeholders);

// ' ', '\t', '\n', '\v', '\f' and '\r'.
bool IsBlank(char c);

// The text without blanks at either end. With a lead-byte test the text is walked character
// by character in that multibyte code page, so the second byte of a double-byte character
// is never taken for a blank of its own; a lead byte that ends the text is a character.
using LeadByteTest = std::function<bool(unsigned char)>;
std::string TrimBlanks(std::string_view text, const LeadByteTest& isLeadByte = nullptr);
