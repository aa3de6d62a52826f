#pragma once
// A file that appears complete or not at all. The bytes go to a temporary file beside the target,
// which takes the target's place only once every byte is on disk; until then, and whenever a
// write fails, an existing file of that name stays as it was. The name is used as its bytes, as
// the system takes it, whatever the text encoding. Every failure is a FileError with the system's
// reason.
//
// Where the file system allows it (Linux's O_TMPFILE: ext4, XFS, Btrfs, tmpfs), the temporary
// file has no name until it is complete: a process killed in the middle, even by SIGKILL, leaves
// nothing in the folder. Elsewhere it has a name "TARGET.XXXXXX" from the start, which
// SIGINT, SIGTERM and SIGHUP remove (signalcleanup.h) and only SIGKILL leaves.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/errors.h"
#include "runtime/signalcleanup.h"

// Why a file could not be written: the system's reason, or what is wrong with the name.
class FileError : public Exception {
 public:
  using Exception::Exception;
};

class AtomicFile {
 public:
  // Refuses a name that is there but is not a regular file (a folder, a device, a FIFO, a socket):
  // replacing it would take it away. A symbolic link is followed to the file it names.
  explicit AtomicFile(const std::string& path);
  // Removes the temporary file unless it was committed.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view bytes);
  // Writes over bytes written before, from `offset`.
  void WriteAt(std::uint64_t offset, std::string_view bytes);
  // Cuts the file to `size` bytes.
  void Truncate(std::uint64_t size);
  // The bytes written so far.
  std::uint64_t Size() const { return size_; }

  // Puts the file in place of the target; once it returns, the target holds every byte. With
  // Sync::OnDisk the bytes are on disk before the file takes the target's place; with
  // Sync::BySystem the system writes them out in its own time, which spares a wait of several
  // milliseconds for a file that can be made again (a chart image) where a table's data cannot.
  enum class Sync { OnDisk, BySystem };
  void Commit(Sync sync = Sync::OnDisk);

 private:
  // The temporary file's name but for its random end.
  std::string TemporaryPrefix() const;
  // A temporary file with a name from the start, where none without a name can be made.
  void CreateNamed();
  // Gives the file without a name a temporary name, from where it replaces the target.
  void LinkNameless();
  // Closes and removes the temporary file.
  void Discard();
  void Flush();
  // Writes `bytes` to the file at `offset`, all of them.
  void Put(std::uint64_t offset, std::string_view bytes);
  [[noreturn]] void Fail(int error) const;

  std::string target_;
  std::string self_;       // where the file without a name is reached: /proc/self/fd/N
  std::string temporary_;  // the temporary file's name; empty while it has none
  std::unique_ptr<RemovedOnSignal> removedOnSignal_;
  int fd_ = -1;
  std::string buffer_;
  std::uint64_t size_ = 0;
};

// A file without a name in `folder` (O_TMPFILE), open for `access` (O_WRONLY or O_RDWR), with
// `path` set to the name under which this process reaches it (/proc/self/fd/N); -1 with errno
// set where there is none.
int OpenNamelessFile(const std::string& folder, int access, std::string& path);
// The errors of a file system that keeps no file without a name, or of a system without /proc.
bool NamelessUnsupported(int error);

// Makes a file or folder with `create` under a name that is free: `prefix` and six random
// letters, another while `create` fails with EEXIST. Each name is registered for removal on a
// signal, in `registration`, before it is made, so that no signal can come between the two and
// leave it behind. Returns the name; empty with errno set when `create` fails otherwise.
std::string CreateUnderFreeName(const std::string& prefix,
                                std::unique_ptr<RemovedOnSignal>& registration,
                                const std::function<bool(const std::string&)>& create,
                                RemovedOnSignal::Kind kind = RemovedOnSignal::Kind::File);
