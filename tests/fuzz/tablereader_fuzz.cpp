// Fuzz target: any bytes as a table file, read as the program reads its property table.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "dbf/dbffile.h"
#include "properties/propertyfile.h"
#include "properties/valuelist.h"
#include "runtime/errors.h"

namespace {

// The bytes as a real regular file that the reader opens by name.
class MemoryFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size) : fd_(memfd_create("table", 0)) {
    if (fd_ >= 0 && write(fd_, data, size) != static_cast<ssize_t>(size)) close();
  }
  ~MemoryFile() { close(); }
  bool ok() const { return fd_ >= 0; }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

void ReadRecords(const DbfFile& table) {
  ValueList list;
  const std::uint32_t visited = std::min<std::uint32_t>(table.recordCount, 200);
  for (std::uint32_t n = 1; n <= visited; ++n) {
    if (!table.IsActive(n)) continue;
    const std::string text = table.RecordText(n);
    if (text.size() > table.recordLength) __builtin_trap();
    try {
      const PropertyRecord record = DecodePropertyRecord("fuzz.dbf", n, text);
      if (record.value.size() > 100 || record.keyword.size() > 30) __builtin_trap();
      if (SplitValueList(record.value, list) < 0) __builtin_trap();
    } catch (const Exception&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryFile file(data, size);
  if (!file.ok()) return 0;
  DbfFile table;
  if (!table.Open(file.path())) __builtin_trap();  // a regular file always opens
  table.ReadHeader();
  if (table.fileSize != static_cast<std::int64_t>(size)) __builtin_trap();
  if (table.IsConsistent()) ReadRecords(table);
  return 0;
}
