#pragma once
// Input that is read to its end or fails: a read that the system refuses (a folder, standard
// input closed, a disk that reports an I/O error) is an error with the system's reason, never
// taken for the end of the input.

#include <istream>
#include <memory>
#include <streambuf>
#include <string>

#include "runtime/errors.h"

// Why an input could not be read: "cannot read standard input: Input/output error".
class ReadError : public Exception {
 public:
  using Exception::Exception;
};

// A stream over a file descriptor. Every read function of the stream throws ReadError where the
// system refuses a read (the stream's exception mask holds badbit), so a reader stops at the
// error instead of at a seeming end.
class InputStream : public std::istream {
 public:
  // Standard input, or what it was when the program started (see KeepStandardStreamsOpen).
  static std::unique_ptr<InputStream> StandardInput();
  // The file at `path`, named in messages as `description` ("the job list jobs.txt"). Throws
  // ReadError when it cannot be opened.
  static std::unique_ptr<InputStream> Open(const std::string& path, const std::string& description);

  ~InputStream() override;

 private:
  class Buffer : public std::streambuf {
   public:
    Buffer(int fd, std::string description, std::string closedReason);
    int Fd() const { return fd_; }

   protected:
    int_type underflow() override;

   private:
    int fd_;
    std::string description_;
    std::string closedReason_;  // set: every read fails with it
    char bytes_[1 << 16];
  };

  InputStream(int fd, bool owned, std::string description, std::string closedReason = {});

  Buffer buffer_;
  bool owned_;
};

// Standard input, output and error that are closed when the program starts are opened on
// /dev/null, so that no file the program opens later takes their place (a message would go into
// an image file, a table would be read as the input). Standard input is still refused as input
// then (InputStream::StandardInput). Call first thing in main.
void KeepStandardStreamsOpen();
