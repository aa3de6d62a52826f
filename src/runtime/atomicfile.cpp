#include "runtime/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "runtime/text.h"

namespace {

// Writes go to the system in pieces of this size at most.
constexpr std::size_t kBufferSize = 1 << 20;
// A temporary name keeps this much of the target's name, so that it stays a valid name.
constexpr std::size_t kNameKept = 200;

// The file that writing to `path` would change: a symbolic link is followed to the file it names.
std::string FileOf(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;  // a link to nothing: it is replaced
  std::string file = resolved;
  std::free(resolved);
  return file;
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 generator(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
  std::string suffix(6, ' ');
  for (char& letter : suffix) letter = kLetters[pick(generator)];
  return suffix;
}

}  // namespace

int OpenNamelessFile(const std::string& folder, int access, std::string& path) {
  const int fd = open(folder.c_str(), O_TMPFILE | access | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  path = "/proc/self/fd/" + std::to_string(fd);
  if (::access(path.c_str(), F_OK) == 0) return fd;
  close(fd);  // without /proc the file could never be reached by a name
  errno = EOPNOTSUPP;
  return -1;
}

bool NamelessUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

AtomicFile::AtomicFile(const std::string& path) : target_(FileOf(path)) {
  // The system would take the name only up to the NUL: another file.
  if (path.find('\0') != std::string::npos) throw FileError("a file name cannot hold a NUL byte");
  struct stat existing {};
  const bool exists = stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    const char* kind = KindOf(existing.st_mode);
    throw FileError(std::string("it is ") + kind + ", not a regular file");
  }
  // New files get the permissions that the user's umask leaves; a replaced file keeps its own.
  fd_ = OpenNamelessFile(FolderOf(target_), O_WRONLY, self_);
  if (fd_ < 0 && !NamelessUnsupported(errno)) Fail(errno);
  if (fd_ < 0) CreateNamed();
  if (exists && fchmod(fd_, existing.st_mode & 07777) != 0) {
    const int error = errno;
    Discard();
    Fail(error);
  }
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  removedOnSignal_.reset();
}

std::string AtomicFile::TemporaryPrefix() const {
  return FolderOf(target_) + "/" + BaseNameOf(target_).substr(0, kNameKept) + ".";
}

std::string CreateUnderFreeName(const std::string& prefix,
                                std::unique_ptr<RemovedOnSignal>& registration,
                                const std::function<bool(const std::string&)>& create,
                                RemovedOnSignal::Kind kind) {
  while (true) {
    const std::string name = prefix + RandomSuffix();
    registration = std::make_unique<RemovedOnSignal>(name, kind);
    if (create(name)) return name;
    const int error = errno;
    registration.reset();
    if (error != EEXIST) {
      errno = error;
      return {};
    }
  }
}

void AtomicFile::CreateNamed() {
  temporary_ =
      CreateUnderFreeName(TemporaryPrefix(), removedOnSignal_, [&](const std::string& name) {
        fd_ = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        return fd_ >= 0;
      });
  if (temporary_.empty()) Fail(errno);
}

void AtomicFile::LinkNameless() {
  temporary_ =
      CreateUnderFreeName(TemporaryPrefix(), removedOnSignal_, [&](const std::string& name) {
        return linkat(AT_FDCWD, self_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
      });
  if (temporary_.empty()) Fail(errno);
}

void AtomicFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  if (bytes.size() >= kBufferSize) {
    Put(size_, bytes);
  } else {
    buffer_.append(bytes);
  }
  size_ += bytes.size();
}

void AtomicFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  Flush();
  Put(offset, bytes);
  size_ = std::max(size_, offset + bytes.size());
}

void AtomicFile::Truncate(std::uint64_t size) {
  Flush();
  if (ftruncate(fd_, off_t(size)) != 0) Fail(errno);
  size_ = size;
}

// The buffer's bytes end the file.
void AtomicFile::Flush() {
  if (buffer_.empty()) return;
  Put(size_ - buffer_.size(), buffer_);
  buffer_.clear();
}

void AtomicFile::Put(std::uint64_t offset, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = pwrite(fd_, bytes.data(), bytes.size(), off_t(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(written < 0 ? errno : 0);
    bytes.remove_prefix(std::size_t(written));
    offset += std::uint64_t(written);
  }
}

void AtomicFile::Commit(Sync sync) {
  Flush();
  if (sync == Sync::OnDisk && fsync(fd_) != 0) Fail(errno);
  // Named only now that it is complete; the name lasts until the rename, microseconds.
  if (temporary_.empty()) LinkNameless();
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) Fail(errno);
  if (rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  temporary_.clear();
  removedOnSignal_.reset();
}

void AtomicFile::Fail(int error) const {
  if (error == 0) throw FileError("only part of the data could be written (is the disk full?)");
  throw FileError(SystemReason(error));
}
