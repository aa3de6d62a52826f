#pragma once
// Run-time services of the chart routine: 8-bit texts, conversions and the command line.
// Texts are byte strings (std::string) as the tables hold them; they become QString only
// when shown (ToDisplayText).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class QString;

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
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A character position outside a text.
class ERangeError : public Exception {
 public:
  ERangeError() : Exception("Range check error") {}
};

// Removes every leading and trailing character whose code is 32 or less.
std::string Trim(std::string_view text);

// The same without copying: a view into `text`.
std::string_view TrimmedView(std::string_view text);

// Upper-cases the ASCII letters a to z only.
std::string UpperCase(std::string_view text);

// Upper-cases every letter: as UTF-8 where the bytes are valid UTF-8, else as Windows-1252.
std::string AnsiUpperCase(std::string_view text);

// Optional sign and decimal digits, within the 32-bit signed range; nothing else, no blanks.
// Throws EConvertError.
std::int32_t StrToInt(std::string_view text);

// A finite decimal number with an optional exponent. "." is always a decimal separator, and so
// is the decimal separator of the user's locale. Independent of the C library's locale.
// Throws EConvertError.
double StrToFloat(std::string_view text);

// The decimal separator of the user's locale (from LC_ALL, LC_NUMERIC or LANG).
char LocaleDecimalSeparator();

// Character `position` (counted from 1) of `text`; throws ERangeError outside it.
char CharAt(std::string_view text, std::size_t position);

// Characters `first` to `last` (counted from 1) of `text`, cut at its end; empty when the
// range starts past the end.
std::string_view Field(std::string_view text, std::size_t first, std::size_t last);

// Text for the screen: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString ToDisplayText(std::string_view text);
// The same as one line of plain UTF-8 text for a terminal or a log: line breaks become blanks,
// every other control character (NUL, tab, CR, escape, C1 controls) is shown as \xNN, and a
// character that shows nothing or turns the text around (a byte-order mark, a zero-width space,
// a direction mark or override, a line separator) as \uNNNN.
std::string ToPlainLine(std::string_view text);
// A text from the input as a message shows it: as ToPlainLine shows it, cut after kQuotedBytes
// bytes (at a character's end) with "..." where it is longer, so that a value of megabytes makes
// a message of one line. QuotedExcerpt adds double quotes around it.
inline constexpr std::size_t kQuotedBytes = 40;
std::string Excerpt(std::string_view text);
std::string QuotedExcerpt(std::string_view text);
// A message as one plain line, "caption: text"; a caption that ends in ":" already has its
// colon ("TarvoChart Notice: Could not open ...").
std::string MessageLine(std::string_view caption, std::string_view text);
bool IsValidUtf8(std::string_view text);

// The system's text for the error number `error`, in English whatever the locale: the program's
// own texts around it are English, and a host that looks for a reason finds the same words in
// every locale.
std::string SystemReason(int error);

// The command line as the program got it: ParamStr(0) is the program, 1.. the arguments.
void SetCommandLine(int argc, char** argv);
int ParamCount();
std::string ParamStr(int index);
