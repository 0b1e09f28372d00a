// The broadcast address the settings dialog suggests: the host's own IPv4 addresses, a
// private-network one preferred, with the host part set to all ones by the address class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The answer whenever the host's addresses cannot be had.
inline constexpr const char* kFallbackBroadcastAddress = "127.255.255.255";

// hostAddresses: the host's IPv4 addresses as dotted text, in the order the system lists them.
std::string DefaultBroadcastAddress(const std::vector<std::string>& hostAddresses);

// The classful broadcast address of a dotted IPv4 address: a.255.255.255 below 128,
// a.b.255.255 below 192, a.b.c.255 above; kFallbackBroadcastAddress for a text that is not a
// dotted address.
std::string ClassfulBroadcastAddress(std::string_view address);
