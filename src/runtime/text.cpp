#include "runtime/text.h"

#include <locale.h>

#include <QList>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "runtime/errors.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// Windows-1252 characters 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Upper case of one Windows-1252 byte.
unsigned char Cp1252Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A:
      return 0x8A;  // š
    case 0x9C:
      return 0x8C;  // œ
    case 0x9E:
      return 0x8E;  // ž
    case 0xFF:
      return 0x9F;  // ÿ
    default:
      return c;
  }
}

int Utf8Length(char32_t code) {
  return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

// Letter by letter, keeping a letter whose capital would be ASCII ("ı" would become "I") or
// would take another number of bytes ("ß" would become "SS"), so that no name outside the
// colour table or the style words can come to match one.
char32_t SafeUpper(char32_t code) {
  const char32_t upper = QChar::toUpper(code);
  if (code >= 0x80 && upper < 0x80) return code;
  return Utf8Length(upper) == Utf8Length(code) ? upper : code;
}

// A byte order mark at the start stays a character of its own, so that the upper case keeps
// the length of the text (QString::fromUtf8 and fromUcs4 would drop it).
std::string Utf8UpperCase(std::string_view text) {
  QStringDecoder toUtf16(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  const QString decoded = toUtf16(QByteArrayView(text.data(), qsizetype(text.size())));
  QString upper;
  upper.reserve(decoded.size());
  for (const uint code : decoded.toUcs4()) {
    const char32_t capital = SafeUpper(code);
    upper.append(QStringView(QChar::fromUcs4(capital)));
  }
  return upper.toUtf8().toStdString();
}

// Fixed-width fields are mostly padded with blanks: skip them eight at a time.
bool EndsInEightBlanks(std::string_view text, std::size_t end) {
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020u;
  if (end < 8) return false;
  std::uint64_t eight;
  std::memcpy(&eight, text.data() + end - 8, 8);
  return eight == kEightBlanks;
}

}  // namespace

std::string_view TrimmedView(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (EndsInEightBlanks(text, last)) last -= 8;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  while (first < last && IsBlankOrControl(text[first])) ++first;
  return text.substr(first, last - first);
}

std::string Trim(std::string_view text) { return std::string(TrimmedView(text)); }

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return result;
}

std::string AnsiUpperCase(std::string_view text) {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return UpperCase(text);
  if (IsValidUtf8(text)) return Utf8UpperCase(text);
  std::string result(text);
  for (char& c : result) c = static_cast<char>(Cp1252Upper(static_cast<unsigned char>(c)));
  return result;
}

char CharAt(std::string_view text, std::size_t position) {
  if (position < 1 || position > text.size()) throw ERangeError();
  return text[position - 1];
}

std::string_view Field(std::string_view text, std::size_t first, std::size_t last) {
  if (first < 1 || first > text.size() || last < first) return {};
  return text.substr(first - 1, std::min(last, text.size()) - first + 1);
}

bool IsValidUtf8(std::string_view text) {
  return QByteArrayView(text.data(), qsizetype(text.size())).isValidUtf8();
}

namespace {

// Where a last character begins that the text cuts short (its lead byte, and fewer of its
// following bytes than it needs); npos where the text ends with a whole character.
std::size_t CutCharacterAt(std::string_view text) {
  std::size_t follows = 0;
  for (std::size_t i = text.size(); i-- > 0 && follows < 4;) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) {
      ++follows;
      continue;
    }
    const std::size_t needs = c >= 0xF0 && c <= 0xF4   ? 3
                              : c >= 0xE0 && c <= 0xEF ? 2
                              : c >= 0xC2 && c <= 0xDF ? 1
                                                       : 0;
    return follows < needs ? i : std::string_view::npos;
  }
  return std::string_view::npos;
}

bool HasMultiByteCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// UTF-8 whose last character a writer cut short at the end of its field: the whole characters
// before it. A text of one byte of the high half at its end and none before it could as well be
// Windows-1252 ("Café"), and is read as such.
std::optional<std::string_view> WholeCharactersOfCutUtf8(std::string_view text) {
  const std::size_t cut = CutCharacterAt(text);
  if (cut == std::string_view::npos) return std::nullopt;
  const std::string_view whole = text.substr(0, cut);
  if (whole.empty() || !IsValidUtf8(whole) ||
      (!HasMultiByteCharacter(whole) && text.size() - cut < 2))
    return std::nullopt;
  return whole;
}

}  // namespace

QString ToDisplayText(std::string_view text) {
  if (IsValidUtf8(text)) return QString::fromUtf8(text.data(), qsizetype(text.size()));
  if (const auto whole = WholeCharactersOfCutUtf8(text))
    return QString::fromUtf8(whole->data(), qsizetype(whole->size()));
  QString result;
  result.reserve(qsizetype(text.size()));
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    result.append(QChar(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte)));
  }
  return result;
}

namespace {

// A character that shows nothing where it stands, or turns the text around it: a reader could
// not tell what the line holds.
bool IsInvisible(char32_t code) {
  const QChar::Category category = QChar::category(code);
  return category == QChar::Other_Format || category == QChar::Separator_Line ||
         category == QChar::Separator_Paragraph;
}

QString Escaped(const char* prefix, char32_t code, int digits) {
  return prefix + QString::number(code, 16).toUpper().rightJustified(digits, '0');
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string ToPlainLine(std::string_view text) {
  QString line;
  // Qt's decoder drops a byte-order mark at the start, which must show here all the same.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark) && IsValidUtf8(text)) {
    line = Escaped("\\u", 0xFEFF, 4);
    text.remove_prefix(kByteOrderMark.size());
  }
  for (const char32_t code : ToDisplayText(text).toUcs4()) {
    if (code == '\n') {
      line += QChar(' ');
    } else if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      line += Escaped("\\x", code, 2);
    } else if (IsInvisible(code)) {
      line += Escaped("\\u", code, 4);
    } else {
      line += QString::fromUcs4(&code, 1);
    }
  }
  return line.toStdString();
}

std::string Excerpt(std::string_view text) {
  if (text.size() <= kQuotedBytes) return ToPlainLine(text);
  // A UTF-8 character is cut before it, not through it.
  std::size_t cut = kQuotedBytes;
  while (cut + 3 > kQuotedBytes && IsContinuationByte(text[cut])) --cut;
  return ToPlainLine(text.substr(0, cut)) + "...";
}

std::string QuotedExcerpt(std::string_view text) { return "\"" + Excerpt(text) + "\""; }

std::string SystemReason(int error) {
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return english ? strerror_l(error, english) : std::strerror(error);
}

std::string MessageLine(std::string_view caption, std::string_view text) {
  const std::string_view separator = caption.ends_with(':') ? " " : ": ";
  return ToPlainLine(std::string(caption) + std::string(separator) + std::string(text));
}
