#include "platform/printer/printdeadline.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdlib>

namespace {

// How often the connections are shut down again once the deadline has passed: the library may
// open a new one to try again.
constexpr std::chrono::milliseconds kRecheck(20);

bool SameFile(const char* path, const struct stat& file) {
  struct stat other {};
  return stat(path, &other) == 0 && other.st_dev == file.st_dev && other.st_ino == file.st_ino;
}

// The socket's peer is the server: the same socket file (whatever path names it), or the port.
bool IsConnectedTo(int fd, const PrintServerEndpoint& server, const struct stat* serverSocket) {
  sockaddr_storage peer{};
  socklen_t length = sizeof(peer);
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return false;
  switch (peer.ss_family) {
    case AF_UNIX: {
      const auto* local = reinterpret_cast<const sockaddr_un*>(&peer);
      return serverSocket && local->sun_path[0] != '\0' && SameFile(local->sun_path, *serverSocket);
    }
    case AF_INET:
      return server.socketPath.empty() &&
             ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port) == server.port;
    case AF_INET6:
      return server.socketPath.empty() &&
             ntohs(reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port) == server.port;
    default:
      return false;
  }
}

}  // namespace

int ShutDownConnectionsTo(const PrintServerEndpoint& server) {
  struct stat serverSocket {};
  const bool local = !server.socketPath.empty();
  if (local && stat(server.socketPath.c_str(), &serverSocket) != 0) return 0;
  DIR* folder = opendir("/proc/self/fd");
  if (!folder) return 0;
  int count = 0;
  while (const dirent* entry = readdir(folder)) {
    const int fd = std::atoi(entry->d_name);
    struct stat file {};
    if (entry->d_name[0] == '.' || fd == dirfd(folder)) continue;
    if (fstat(fd, &file) != 0 || !S_ISSOCK(file.st_mode)) continue;
    if (IsConnectedTo(fd, server, local ? &serverSocket : nullptr) &&
        shutdown(fd, SHUT_RDWR) == 0) {
      ++count;
    }
  }
  closedir(folder);
  return count;
}

PrintDeadline::PrintDeadline(PrintServerEndpoint server, PrintTime time)
    : server_(std::move(server)),
      length_(time.length),
      end_(time.end),
      watcher_([this] { Watch(); }) {}

PrintDeadline::~PrintDeadline() {
  {
    const std::lock_guard lock(mutex_);
    over_ = true;
  }
  wake_.notify_all();
  watcher_.join();
}

int PrintDeadline::RemainingMilliseconds() const {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(end_.load() - Clock::now());
  return left.count() > 0 ? int(left.count()) : 0;
}

void PrintDeadline::Grant(std::chrono::milliseconds grace) {
  {
    const std::lock_guard lock(mutex_);
    end_.store(Clock::now() + grace);
  }
  wake_.notify_all();
}

void PrintDeadline::Watch() {
  std::unique_lock lock(mutex_);
  while (!over_) {
    if (Clock::now() < end_.load()) {
      wake_.wait_until(lock, end_.load());
    } else {
      ShutDownConnectionsTo(server_);
      wake_.wait_for(lock, kRecheck);
    }
  }
}
