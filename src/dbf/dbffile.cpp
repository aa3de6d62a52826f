#include "dbf/dbffile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "runtime/errors.h"
#include "runtime/text.h"

namespace {

// The fixed part of the header that is read; nothing else of it is ever looked at.
struct HeaderField {
  std::uint64_t offset;
  int width;
};
constexpr HeaderField kVersion{0, 1};
constexpr HeaderField kRecordCount{4, 4};
constexpr HeaderField kHeaderLength{8, 2};
constexpr HeaderField kRecordLength{10, 2};

// A shared read lock on the whole file, of both kinds that programs take (fcntl's record locks and
// flock's, which Linux keeps apart): refused while another process holds a write lock of either,
// and keeps writers that lock out while the table is open here.
bool TakeSharedReadLock(int handle) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  return fcntl(handle, F_SETLK, &lock) == 0 && flock(handle, LOCK_SH | LOCK_NB) == 0;
}

bool IsRegularFile(int handle) {
  struct stat info {};
  return fstat(handle, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool IsAcceptedVersion(std::uint8_t version) {
  return version == 3 || version == 0x30 || version == 0xF5;
}

DbfFile::~DbfFile() { Close(); }

bool DbfFile::Open(const std::string& fileName) {
  Close();
  fileName_ = fileName;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused just below.
  const int handle = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  openError_ = handle < 0 ? errno : 0;
  if (handle < 0) return false;
  if (!IsRegularFile(handle) || !TakeSharedReadLock(handle)) {
    ::close(handle);
    return false;
  }
  handle_ = handle;
  return true;
}

void DbfFile::Close() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
}

std::size_t DbfFile::ReadInto(std::uint64_t offset, char* buffer, std::size_t count) const {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got =
        pread(handle_, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    // A disk that fails is no end of the table: the run must not go on with what it read.
    if (got < 0) throw Exception("Cannot read " + fileName_ + ": " + SystemReason(errno));
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool DbfFile::IsHole(std::uint64_t offset, std::uint64_t count) const {
  if (offset + count > std::uint64_t(fileSize)) return false;
  const off_t data = lseek(handle_, static_cast<off_t>(offset), SEEK_DATA);
  return data >= 0 ? std::uint64_t(data) >= offset + count : errno == ENXIO;
}

std::string DbfFile::ReadText(std::uint64_t offset, std::uint64_t count) const {
  std::string text(count, '\0');
  text.resize(ReadInto(offset, text.data(), count));
  return text;
}

std::uint32_t DbfFile::ReadNumber(std::uint64_t offset, int width) const {
  const std::string bytes = ReadText(offset, static_cast<std::uint64_t>(width));
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

void DbfFile::ReadHeader() {
  ReadVersion();
  ReadHeaderLength();
  ReadRecordLength();
  ReadRecordCount();
  ReadFileSize();
}

void DbfFile::ReadVersion() {
  version = static_cast<std::uint8_t>(ReadNumber(kVersion.offset, kVersion.width));
}

void DbfFile::ReadHeaderLength() {
  headerLength = static_cast<std::uint16_t>(ReadNumber(kHeaderLength.offset, kHeaderLength.width));
}

void DbfFile::ReadRecordLength() {
  recordLength = static_cast<std::uint16_t>(ReadNumber(kRecordLength.offset, kRecordLength.width));
}

void DbfFile::ReadRecordCount() {
  recordCount = ReadNumber(kRecordCount.offset, kRecordCount.width);
}

void DbfFile::ReadFileSize() {
  const off_t end = lseek(handle_, 0, SEEK_END);
  fileSize = end < 0 ? 0 : end;
}

bool DbfFile::IsConsistent() const {
  if (recordLength == 0) return false;
  const std::int64_t quotient = (fileSize + 2 - std::int64_t{headerLength}) / recordLength;
  return quotient == std::int64_t{recordCount};
}

std::uint64_t DbfFile::RecordOffset(std::uint32_t n) const {
  return headerLength + (std::uint64_t{n} - 1) * recordLength;
}

bool DbfFile::IsActive(std::uint32_t n) const { return ReadText(RecordOffset(n), 1) == " "; }

std::string DbfFile::RecordText(std::uint32_t n) const {
  if (recordLength == 0) return {};
  return ReadText(RecordOffset(n) + 1, recordLength - 1u);
}

namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

}  // namespace

RecordCursor::RecordCursor(const DbfFile& table) : table_(table) {}

bool RecordCursor::Next() {
  if (number_ >= table_.recordCount) return false;
  ++number_;
  if (number_ >= blockFirst_ + blockRecords_) ReadBlockFrom(number_);
  return true;
}

void RecordCursor::ReadBlockFrom(std::uint64_t number) {
  const std::uint64_t length = table_.recordLength;
  const std::uint64_t left = std::uint64_t{table_.recordCount} - number + 1;
  blockFirst_ = number;
  blockRecords_ =
      length == 0 ? left : std::min(left, std::max<std::uint64_t>(1, kBlockBytes / length));
  const std::uint64_t bytes = blockRecords_ * length;
  if (block_.size() < bytes) block_.resize(bytes);
  const std::uint64_t offset = table_.RecordOffset(static_cast<std::uint32_t>(number));
  if (bytes != 0 && table_.IsHole(offset, bytes)) {
    // A hole reads as zeros: fill once instead of copying the zeros in from the file.
    if (!blockZeroed_) std::fill(block_.begin(), block_.end(), '\0');
    blockZeroed_ = true;
    blockBytes_ = bytes;
    return;
  }
  blockZeroed_ = false;
  blockBytes_ = bytes == 0 ? 0 : table_.ReadInto(offset, block_.data(), bytes);
}

bool RecordCursor::IsActive() const {
  const std::uint64_t start = (number_ - blockFirst_) * table_.recordLength;
  return start < blockBytes_ && block_[start] == ' ';
}

std::string_view RecordCursor::Text() const {
  const std::uint64_t start = (number_ - blockFirst_) * table_.recordLength + 1;
  const std::uint64_t end = std::min<std::uint64_t>(start - 1 + table_.recordLength, blockBytes_);
  if (table_.recordLength == 0 || start >= end) return {};
  return std::string_view(block_).substr(start, end - start);
}
