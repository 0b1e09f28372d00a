// The default broadcast address computed from the addresses the system gives this host.
#pragma once

#include <string>

// Resolves the host's own name (blocking while it does) and returns the suggestion of
// DefaultBroadcastAddress, or kFallbackBroadcastAddress when the sockets library, the host
// name or its look-up fails. Only computes a text; nothing is sent anywhere.
std::string QueryDefaultBroadcastAddress();
