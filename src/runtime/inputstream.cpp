#include "runtime/inputstream.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/text.h"

namespace {

bool standardInputWasClosed = false;

bool IsOpen(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

}  // namespace

void KeepStandardStreamsOpen() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (IsOpen(fd)) continue;
    if (fd == STDIN_FILENO) standardInputWasClosed = true;
    // The lowest free number is the one that is closed.
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) close(opened);
  }
}

std::unique_ptr<InputStream> InputStream::StandardInput() {
  const std::string closed = standardInputWasClosed ? "it is closed" : "";
  return std::unique_ptr<InputStream>(
      new InputStream(STDIN_FILENO, false, "standard input", closed));
}

std::unique_ptr<InputStream> InputStream::Open(const std::string& path,
                                               const std::string& description) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ReadError("cannot read " + description + ": " + SystemReason(errno));
  return std::unique_ptr<InputStream>(new InputStream(fd, true, description));
}

InputStream::InputStream(int fd, bool owned, std::string description, std::string closedReason)
    : std::istream(nullptr),
      buffer_(fd, std::move(description), std::move(closedReason)),
      owned_(owned) {
  rdbuf(&buffer_);
  exceptions(std::ios::badbit);
}

InputStream::~InputStream() {
  if (owned_) ::close(buffer_.Fd());
}

InputStream::Buffer::Buffer(int fd, std::string description, std::string closedReason)
    : fd_(fd), description_(std::move(description)), closedReason_(std::move(closedReason)) {}

InputStream::Buffer::int_type InputStream::Buffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!closedReason_.empty()) throw ReadError("cannot read " + description_ + ": " + closedReason_);
  while (true) {
    const ssize_t got = ::read(fd_, bytes_, sizeof(bytes_));
    if (got > 0) {
      setg(bytes_, bytes_, bytes_ + got);
      return traits_type::to_int_type(bytes_[0]);
    }
    if (got == 0) return traits_type::eof();
    const int error = errno;
    if (error == EINTR) continue;
    if (error == EAGAIN || error == EWOULDBLOCK) {
      // An input left non-blocking by whoever handed it over: wait for its bytes.
      pollfd ready{fd_, POLLIN, 0};
      poll(&ready, 1, -1);
      continue;
    }
    throw ReadError("cannot read " + description_ + ": " + SystemReason(error));
  }
}
