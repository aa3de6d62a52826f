#include "runtime/standardoutput.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <string>

#include "runtime/text.h"

namespace {

std::atomic<bool> failureTold{false};

void TellFailure(std::string_view program, int error) {
  if (failureTold.exchange(true)) return;
  const std::string reason = error != 0 ? SystemReason(error) : "nothing more could be written";
  const std::string line =
      std::string(program) + ": cannot write to standard output: " + reason + "\n";
  (void)!write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace

void SurviveClosedPipes() { std::signal(SIGPIPE, SIG_IGN); }

bool WriteStandardOutput(std::string_view text, std::string_view program) {
  SurviveClosedPipes();
  while (!text.empty()) {
    const ssize_t written = write(STDOUT_FILENO, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      TellFailure(program, written < 0 ? errno : 0);
      return false;
    }
    text.remove_prefix(std::size_t(written));
  }
  return true;
}
