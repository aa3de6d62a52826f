#pragma once
// The errors that the routine reports with its own text.

#include <stdexcept>
#include <string>

// The caption of error reports and of the program's own notices.
inline constexpr const char* kProgramName = "tarvochart";

// Base of every error that the routine reports with its own text. Text() holds the whole of
// it, a NUL from a table included, where what() would end at the first NUL.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& text) : std::runtime_error(text), text_(text) {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// A text that is not a number of the asked kind.
class ConversionError : public Exception {
 public:
  using Exception::Exception;
};

// A character position outside a text.
class ERangeError : public Exception {
 public:
  ERangeError() : Exception("Range check error") {}
};
