// What kvlisten decides without a socket: its arguments, and how a datagram becomes one
// line of text that is safe to print whatever bytes arrived.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr unsigned short kDefaultListenPort = 9871;
constexpr const char* kListenUsage =
    "usage: kvlisten [-b|--bind ADDRESS] [-p|--port PORT] [TEXT]   (defaults: 0.0.0.0, 9871)";

struct ListenOptions {
    std::uint32_t address = 0;   // host byte order; 0 is every local address
    unsigned short port = kDefaultListenPort;   // 0 lets the system choose one
    std::string filter;          // only lines containing it are printed; empty prints all
    bool help = false;
};

// Nothing when the arguments (those after the program name) are not understood.
std::optional<ListenOptions> ParseListenArguments(const std::vector<std::string>& arguments);

// Dotted decimal with four groups of 0-255, in host byte order.
std::optional<std::uint32_t> ParseIpv4(const std::string& text);
std::string Ipv4Text(std::uint32_t address);

// The bytes as printable ASCII: a backslash doubled, every other byte outside 0x20-0x7E as
// \xNN, so that no datagram can move the cursor, clear the screen or end the line early.
std::string EscapeDatagram(const std::string& bytes);

// "<time> <sender address>:<port> <escaped datagram>".
std::string DatagramLine(const std::string& time, std::uint32_t sender, unsigned short senderPort,
                         const std::string& bytes);
