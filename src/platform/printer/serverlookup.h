#pragma once
// The addresses of a print server on the network, looked up within a deadline. The system's
// resolver waits on its own terms (5 seconds a try by default, and tries again), and the print
// service's library looks the name up before each connection, outside any time-out of its own:
// here the lookup runs on a thread of its own, which the caller stops waiting for at the
// deadline.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct ServerLookup {
  std::vector<std::string> addresses;  // numeric, in the resolver's order of preference
  std::string failure;                 // why the name is not known; empty when it is
};

// The addresses of `host` (a name or a numeric address; an IPv6 address may stand in
// brackets), or nothing when the deadline `end` came first.
std::optional<ServerLookup> LookUpServer(const std::string& host,
                                         std::chrono::steady_clock::time_point end);

// True when `host` is a numeric address, which needs no lookup.
bool IsNumericAddress(const std::string& host);

// `address` as the print service's library takes a server with its port: "10.0.0.1:631",
// "[::1]:631".
std::string ServerWithPort(const std::string& address, int port);
