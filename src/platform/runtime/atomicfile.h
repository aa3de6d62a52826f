#pragma once
// A file that appears complete or not at all. The bytes go to a temporary file beside the target,
// which takes the target's place only once every byte is on disk; until then, and whenever a
// write fails, an existing file of that name stays as it was. The name is used as its bytes, as
// the system takes it, whatever the text encoding. Every failure is a FileError with the system's
// reason.

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime.h"

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
  void Flush();
  // Writes `bytes` to the file at `offset`, all of them.
  void Put(std::uint64_t offset, std::string_view bytes);
  [[noreturn]] void Fail(int error) const;

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  std::string buffer_;
  std::uint64_t size_ = 0;
};
