#include "tools/kvlisten/listen_core.h"

namespace {
// Decimal digits only, at most the given value; no sign, no blanks, no empty text.
std::optional<unsigned> ParseNumber(const std::string& text, unsigned maximum)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > maximum)
        return std::nullopt;
    return value;
}
}

std::optional<std::uint32_t> ParseIpv4(const std::string& text)
{
    std::uint32_t address = 0;
    size_t start = 0;
    for (int group = 0; group < 4; ++group) {
        size_t end = group < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos)
            return std::nullopt;
        std::string digits = text.substr(start, end - start);
        std::optional<unsigned> value = digits.size() <= 3 ? ParseNumber(digits, 255) : std::nullopt;
        if (!value)
            return std::nullopt;
        address = (address << 8) | *value;
        start = end + 1;
    }
    return address;
}

std::string Ipv4Text(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<ListenOptions> ParseListenArguments(const std::vector<std::string>& arguments)
{
    ListenOptions options;
    bool haveFilter = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "-h" || word == "--help") {
            options.help = true;
        } else if (word == "-b" || word == "--bind" || word == "-p" || word == "--port") {
            if (i + 1 == arguments.size())
                return std::nullopt;
            const std::string& value = arguments[++i];
            if (word == "-b" || word == "--bind") {
                std::optional<std::uint32_t> address = ParseIpv4(value);
                if (!address)
                    return std::nullopt;
                options.address = *address;
            } else {
                std::optional<unsigned> port = ParseNumber(value, 65535);
                if (!port)
                    return std::nullopt;
                options.port = static_cast<unsigned short>(*port);
            }
        } else if (word.empty() || word[0] == '-' || haveFilter) {
            return std::nullopt;
        } else {
            options.filter = word;
            haveFilter = true;
        }
    }
    return options;
}

std::string EscapeDatagram(const std::string& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte <= 0x7E) {
            text += c;
        } else {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        }
    }
    return text;
}

std::string DatagramLine(const std::string& time, std::uint32_t sender, unsigned short senderPort,
                         const std::string& bytes)
{
    return time + " " + Ipv4Text(sender) + ":" + std::to_string(senderPort) + " " + EscapeDatagram(bytes);
}
