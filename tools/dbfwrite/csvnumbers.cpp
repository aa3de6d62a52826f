#include "dbfwrite/csvnumbers.h"

#include <algorithm>
#include <optional>

#include "runtime/errors.h"
#include "runtime/numbers.h"

namespace {

// The blanks that group digits, as spreadsheets write them: a no-break space in UTF-8 and in
// Windows-1252, and the narrow no-break space that French number formats use.
constexpr std::string_view kGroupingBlanks[] = {"\xC2\xA0", "\xE2\x80\xAF", "\xA0"};

std::string BlanksAsSpaces(std::string_view text) {
  std::string plain(text);
  for (const std::string_view blank : kGroupingBlanks) {
    for (std::size_t at = plain.find(blank); at != plain.npos; at = plain.find(blank, at)) {
      plain.replace(at, blank.size(), " ");
    }
  }
  return plain;
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// `whole` written with `group` between every three digits: "41.250", "1 250 000".
bool IsGroupedBy(std::string_view whole, char group) {
  const std::size_t first = whole.find(group);
  if (first == 0 || first > 3 || first == whole.npos || !AllDigits(whole.substr(0, first))) {
    return false;
  }
  for (std::size_t at = first; at < whole.size(); at += 4) {
    if (whole[at] != group || whole.size() < at + 4 || !AllDigits(whole.substr(at + 1, 3))) {
      return false;
    }
  }
  return true;
}

// The digits of `whole`, grouped by blanks, or by a point or comma that is not the decimal `mark`,
// or not at all; nothing when it holds anything else.
std::optional<std::string> WholeDigits(std::string_view whole, char mark) {
  if (AllDigits(whole)) return std::string(whole);
  for (const char group : {' ', '.', ','}) {
    if (group == mark || !IsGroupedBy(whole, group)) continue;
    std::string digits(whole);
    std::erase(digits, group);
    return digits;
  }
  return std::nullopt;
}

char MarkChar(DecimalMark mark) { return mark == DecimalMark::Comma ? ',' : '.'; }

// The decimal mark of `mantissa` ('.', ',' or 0 for none); `doubt` when a lone comma in a point
// file could group digits as well.
char DecimalMarkIn(std::string_view mantissa, DecimalMark usual, std::string& doubt) {
  const auto points = std::count(mantissa.begin(), mantissa.end(), '.');
  const auto commas = std::count(mantissa.begin(), mantissa.end(), ',');
  if (points > 0 && commas > 0) return mantissa[mantissa.find_last_of(".,")];
  if (points + commas != 1) return 0;  // no mark, or one that groups: "1.250.000"
  const char mark = points == 1 ? '.' : ',';
  const bool looksGrouped = IsGroupedBy(mantissa, mark);
  if (mark == MarkChar(usual) || !looksGrouped) return mark;
  if (usual == DecimalMark::Point) {
    std::string grouped(mantissa), decimal(mantissa);
    std::erase(grouped, ',');
    std::replace(decimal.begin(), decimal.end(), ',', '.');
    doubt = "can be " + grouped + " (a comma that groups digits) or " + decimal +
            " (a decimal comma): write " + grouped + " or " + decimal;
  }
  return 0;
}

// "+", "-" or nothing, then the rest.
std::pair<std::string_view, std::string_view> SplitSign(std::string_view text) {
  const std::size_t length = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  return {text.substr(0, length), text.substr(length)};
}

bool ReadsAsNumber(const std::string& plain) {
  try {
    StrToFloat(plain);
    return true;
  } catch (const ConversionError&) {
    return false;
  }
}

}  // namespace

DecimalMark DecimalMarkOf(char separator) {
  return separator == ';' ? DecimalMark::Comma : DecimalMark::Point;
}

CsvNumber ReadCsvNumber(std::string_view text, DecimalMark usual) {
  const std::string spaced = BlanksAsSpaces(text);
  const auto [sign, unsignedText] = SplitSign(spaced);
  const std::size_t exponentAt = std::min(unsignedText.find_first_of("eE"), unsignedText.size());
  const std::string_view mantissa = unsignedText.substr(0, exponentAt);
  CsvNumber number;
  const char mark = DecimalMarkIn(mantissa, usual, number.doubt);
  if (!number.doubt.empty()) return number;
  const std::size_t markAt = mark ? mantissa.rfind(mark) : mantissa.size();
  const std::string_view fraction = mantissa.substr(std::min(markAt + 1, mantissa.size()));
  const auto whole = WholeDigits(mantissa.substr(0, markAt), mark);
  if (!whole || !AllDigits(fraction)) return number;
  std::string plain = std::string(sign) + *whole;
  if (mark) plain += "." + std::string(fraction);
  plain += unsignedText.substr(exponentAt);
  if (ReadsAsNumber(plain)) number.plain = plain;
  return number;
}
