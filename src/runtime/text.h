#pragma once
// 8-bit texts as the tables hold them (std::string), and what the routine makes of them for the
// screen and for its messages: they become QString only when shown (ToDisplayText).

#include <cstddef>
#include <string>
#include <string_view>

class QString;

// Removes every leading and trailing character whose code is 32 or less.
std::string Trim(std::string_view text);

// The same without copying: a view into `text`.
std::string_view TrimmedView(std::string_view text);

// Upper-cases the ASCII letters a to z only.
std::string UpperCase(std::string_view text);

// Upper-cases every letter: as UTF-8 where the bytes are valid UTF-8, else as Windows-1252.
std::string AnsiUpperCase(std::string_view text);

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
