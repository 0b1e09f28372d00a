// The default broadcast address computed from what the system tells of this host's networks.
#pragma once

#include <string>

// Lists the adapters that are up with their prefixes and the default route (or, when that
// fails, resolves the host's own name, blocking while it does) and returns the suggestion of
// DefaultBroadcastAddress; kFallbackBroadcastAddress when the sockets library cannot start.
// Only computes a text; nothing is sent anywhere.
std::string QueryDefaultBroadcastAddress();
