#include "runtime/signalcleanup.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

struct RemovedOnSignal::Entry {
  Kind kind;
  char path[1];  // allocated to the path's length
};

namespace {

// Enough for every thread of the largest batch to hold a temporary file and a print job.
constexpr std::size_t kSlots = 1024;
std::array<std::atomic<RemovedOnSignal::Entry*>, kSlots> registered{};
// Set by the handler before it reads the slots: from then on no entry is freed, as the handler
// may be reading it (an entry taken out after the handler read its slot sees this set).
std::atomic<bool> removing{false};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler that was in place before this one, where it is a function: a library loaded into
// the program (the window part) keeps a registry of its own, and the program's handler, which
// removes the program's files, runs after the library's.
void (*programHandler)(int) = nullptr;

// Removes the entries of one kind; true when a folder still held something. Async-signal-safe:
// atomics, unlink and rmdir only.
bool RemoveRegistered(RemovedOnSignal::Kind kind) {
  bool folderHeldSomething = false;
  for (const auto& slot : registered) {
    const RemovedOnSignal::Entry* entry = slot.load();
    if (!entry || entry->kind != kind) continue;
    if (kind == RemovedOnSignal::Kind::File) {
      unlink(entry->path);
    } else if (rmdir(entry->path) != 0 && errno == ENOTEMPTY) {
      folderHeldSomething = true;
    }
  }
  return folderHeldSomething;
}

// The other threads run on while this one removes: a file or folder registered before it was made
// may appear after its pass. So a second pass follows a short pause, and passes go on while a
// folder still holds something, for a bounded time.
void RemoveFilesThenFolders() {
  constexpr int kRounds = 50;
  constexpr timespec kPause{0, 2'000'000};
  for (int round = 0; round < kRounds; ++round) {
    RemoveRegistered(RemovedOnSignal::Kind::File);
    const bool folderHeldSomething = RemoveRegistered(RemovedOnSignal::Kind::Folder);
    if (round > 0 && !folderHeldSomething) return;
    nanosleep(&kPause, nullptr);
  }
}

// The handler stays in place while it removes: a second signal (timeout(1) sends its signal to
// the program and then to its process group, so the program gets it twice) would otherwise take
// the default action on another thread and end the process halfway. That second signal finds
// the removal under way and returns; the first ends the process once its files are gone.
void RemoveAndEnd(int signal) {
  if (removing.exchange(true)) return;
  const int savedErrno = errno;
  RemoveFilesThenFolders();
  errno = savedErrno;
  if (programHandler) programHandler(signal);
  // The default action, taken as this handler returns: the signal ends the process.
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  sigemptyset(&defaults.sa_mask);
  sigaction(signal, &defaults, nullptr);
  raise(signal);
}

}  // namespace

void RemoveTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveAndEnd;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kSignals) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN || previous.sa_handler == RemoveAndEnd) continue;
    const bool function = previous.sa_handler != SIG_DFL && !(previous.sa_flags & SA_SIGINFO);
    if (function) programHandler = previous.sa_handler;
    sigaction(signal, &action, nullptr);
  }
}

RemovedOnSignal::RemovedOnSignal(const std::string& path, Kind kind) {
  void* memory = ::operator new(sizeof(Entry) + path.size());
  entry_ = static_cast<Entry*>(memory);
  entry_->kind = kind;
  std::memcpy(entry_->path, path.c_str(), path.size() + 1);
  for (std::size_t i = 0; i < kSlots; ++i) {
    Entry* none = nullptr;
    if (registered[i].compare_exchange_strong(none, entry_)) {
      slot_ = int(i);
      return;
    }
  }
}

RemovedOnSignal::~RemovedOnSignal() {
  if (slot_ >= 0) registered[std::size_t(slot_)].store(nullptr);
  if (!removing.load()) ::operator delete(entry_);
}
