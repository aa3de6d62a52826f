#pragma once
// One dBASE table opened read-only. Only four header values are read; records are read by
// number as raw text, straight from the file at absolute offsets, nothing cached.

#include <cstdint>
#include <string>
#include <string_view>

class DbfFile {
 public:
  DbfFile() = default;
  ~DbfFile();
  DbfFile(const DbfFile&) = delete;
  DbfFile& operator=(const DbfFile&) = delete;

  // Opens an existing regular file for reading; false for anything else (missing, no access,
  // a directory, a FIFO, a device, a file write-locked by another process). Never blocks.
  bool Open(const std::string& fileName);
  bool IsOpen() const { return handle_ >= 0; }
  // The system's error where the last Open could not open the file at all; 0 where it opened it.
  int OpenError() const { return openError_; }
  void Close();
  const std::string& FileName() const { return fileName_; }

  // Little-endian unsigned number of `width` bytes (1, 2 or 4); bytes past the end read as 0.
  std::uint32_t ReadNumber(std::uint64_t offset, int width) const;
  // Up to `count` bytes as they stand; fewer at the end of the file. A read that the system
  // refuses (an I/O error) throws Exception with its reason, as every read below does.
  std::string ReadText(std::uint64_t offset, std::uint64_t count) const;
  // The same into `buffer`; returns the number of bytes read.
  std::size_t ReadInto(std::uint64_t offset, char* buffer, std::size_t count) const;
  // True when the bytes from `offset` lie within the file and all in a hole of a sparse file
  // (they read as zeros without being stored).
  bool IsHole(std::uint64_t offset, std::uint64_t count) const;

  // Reads all the header values below.
  void ReadHeader();
  // The header values, one read each, so that callers can interleave them across tables.
  void ReadVersion();
  void ReadHeaderLength();
  void ReadRecordLength();
  void ReadRecordCount();
  void ReadFileSize();

  // True when the file's size agrees with the header: the quotient of (size + 2 - header
  // length) by the record length, truncated toward zero, equals the record count. A record
  // length of 0 never agrees.
  bool IsConsistent() const;

  std::uint64_t RecordOffset(std::uint32_t n) const;
  // True when record n's flag byte is a blank; a flag past the end of the file is not.
  bool IsActive(std::uint32_t n) const;
  // The record without its flag byte: recordLength - 1 bytes, fewer at the end of the file.
  std::string RecordText(std::uint32_t n) const;

  std::uint8_t version = 0;
  std::uint32_t recordCount = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::int64_t fileSize = 0;

 private:
  int handle_ = -1;
  int openError_ = 0;
  std::string fileName_;
};

// Visits the records of an open table in ascending order, as IsActive and RecordText would read
// them one by one, but many records to a read, so that the time follows the bytes on disk.
class RecordCursor {
 public:
  explicit RecordCursor(const DbfFile& table);

  // Moves to the next record; false after the last one.
  bool Next();
  std::uint32_t Number() const { return static_cast<std::uint32_t>(number_); }
  // True when the record's flag byte is a blank; a flag past the end of the file is not.
  bool IsActive() const;
  // The record without its flag byte, cut at the end of the file; valid until Next.
  std::string_view Text() const;

 private:
  void ReadBlockFrom(std::uint64_t number);

  const DbfFile& table_;
  std::uint64_t number_ = 0;  // 64 bits, so that a count of 2^32 - 1 cannot wrap around
  std::uint64_t blockFirst_ = 0;
  std::uint64_t blockRecords_ = 0;
  std::string block_;
  std::size_t blockBytes_ = 0;
  bool blockZeroed_ = false;
};

// Version bytes of the tables that can be read: dBASE (3), Visual FoxPro (0x30) and FoxPro
// with memo (0xF5).
bool IsAcceptedVersion(std::uint8_t version);
