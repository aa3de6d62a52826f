#pragma once
// One deadline for a whole exchange with the print server. The print service's library waits on
// its own terms (up to a minute for each answer, longer while a server trickles its answer a byte
// at a time, again after reconnecting), and Qt's print support asks the same server on a
// connection of its own: no time-out of theirs bounds the whole. So once the deadline has passed,
// every connection of this process to the print server is shut down, again and again until the
// exchange is over: whatever waits on one of them returns at once with an error, and the caller
// tells the user that the server did not answer in time.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// The time that a whole print may take, every exchange with the print server and the lookup of
// its name included.
struct PrintTime {
  std::chrono::steady_clock::time_point end;
  std::chrono::milliseconds length;  // from start to end, as the user is told

  static PrintTime StartingNow(std::chrono::milliseconds length) {
    return {std::chrono::steady_clock::now() + length, length};
  }
};

// Where the print server listens: a local socket, or a port of a host on the network.
struct PrintServerEndpoint {
  std::string socketPath;  // empty for a server on the network
  int port = 0;
};

class PrintDeadline {
 public:
  using Clock = std::chrono::steady_clock;

  PrintDeadline(PrintServerEndpoint server, PrintTime time);
  ~PrintDeadline();
  PrintDeadline(const PrintDeadline&) = delete;
  PrintDeadline& operator=(const PrintDeadline&) = delete;

  bool Expired() const { return Clock::now() >= end_.load(); }
  // The time left in milliseconds; 0 once it has passed.
  int RemainingMilliseconds() const;
  std::chrono::milliseconds Length() const { return length_; }
  Clock::time_point End() const { return end_.load(); }
  // Moves the end to `grace` from now, for an exchange that must still happen once the deadline
  // has passed (the cancel of a job left without its document); from then on as before.
  void Grant(std::chrono::milliseconds grace);

 private:
  void Watch();

  const PrintServerEndpoint server_;
  const std::chrono::milliseconds length_;
  std::atomic<Clock::time_point> end_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool over_ = false;
  std::thread watcher_;
};

// Shuts down every socket of this process that is connected to `server`, so that nothing can
// wait on it any more; returns how many there were.
int ShutDownConnectionsTo(const PrintServerEndpoint& server);
