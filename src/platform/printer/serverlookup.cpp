#include "platform/printer/serverlookup.h"

#include <arpa/inet.h>
#include <locale.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "runtime/text.h"

namespace {

// What the lookup thread hands over; it lives as long as the longer of the two threads.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  ServerLookup result;
};

std::string WithoutBrackets(const std::string& host) {
  if (host.size() > 1 && host.front() == '[' && host.back() == ']') {
    return host.substr(1, host.size() - 2);
  }
  return host;
}

// The resolver's reason in English, as the rest of the message is (see SystemReason).
std::string LookupFailure(int status) {
  if (status == EAI_SYSTEM) return SystemReason(errno);
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
  const locale_t previous = english ? uselocale(english) : locale_t(0);
  std::string reason = gai_strerror(status);
  if (english) uselocale(previous);
  return reason;
}

ServerLookup Resolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG;
  addrinfo* found = nullptr;
  const int status = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  ServerLookup lookup;
  if (status != 0) {
    lookup.failure = LookupFailure(status);
    return lookup;
  }
  for (const addrinfo* address = found; address; address = address->ai_next) {
    char numeric[NI_MAXHOST];
    if (getnameinfo(address->ai_addr, address->ai_addrlen, numeric, sizeof(numeric), nullptr, 0,
                    NI_NUMERICHOST) != 0) {
      continue;
    }
    if (std::find(lookup.addresses.begin(), lookup.addresses.end(), numeric) ==
        lookup.addresses.end()) {
      lookup.addresses.emplace_back(numeric);
    }
  }
  freeaddrinfo(found);
  return lookup;
}

}  // namespace

bool IsNumericAddress(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, WithoutBrackets(host).c_str(), address) == 1;
}

std::string ServerWithPort(const std::string& address, int port) {
  const bool six = address.find(':') != std::string::npos;
  return (six ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

std::optional<ServerLookup> LookUpServer(const std::string& host,
                                         std::chrono::steady_clock::time_point end) {
  if (IsNumericAddress(host)) return ServerLookup{{WithoutBrackets(host)}, {}};
  auto pending = std::make_shared<PendingLookup>();
  // Detached: a resolver that never answers keeps this thread, not the print.
  std::thread([pending, host] {
    ServerLookup result = Resolve(host);
    const std::lock_guard lock(pending->mutex);
    pending->result = std::move(result);
    pending->finished = true;
    pending->done.notify_all();
  }).detach();
  std::unique_lock lock(pending->mutex);
  if (!pending->done.wait_until(lock, end, [&] { return pending->finished; })) return std::nullopt;
  return pending->result;
}
