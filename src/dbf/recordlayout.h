#pragma once
// Where the fields of both tables stand in a record, written once for the reader, the table
// writer and tarvo-inspect. Positions count from 1 in the record text, the record without its
// deletion flag byte; every field is text of a fixed width.

#include <cstddef>
#include <string_view>

#include "runtime/text.h"

struct FieldSpan {
  std::size_t first;
  std::size_t width;
  constexpr std::size_t Last() const { return first + width - 1; }
  constexpr std::size_t End() const { return first + width; }  // the position after the field
};

// A property record: lead number, data-set number, keyword, value.
namespace property_record {
inline constexpr FieldSpan kLeadNumber{1, 1};
inline constexpr FieldSpan kDataSetNumber{2, 2};
inline constexpr FieldSpan kKeyword{4, 30};
inline constexpr FieldSpan kValue{34, 100};
}  // namespace property_record

// A data record: lead number, label, then per data set (from 0) a value and a colour name.
namespace data_record {
inline constexpr FieldSpan kLeadNumber{1, 2};
inline constexpr FieldSpan kLabel{3, 30};
inline constexpr std::size_t kValueWidth = 20;
inline constexpr std::size_t kColorWidth = 10;
constexpr FieldSpan Value(int dataSet) {
  return {kLabel.End() + (kValueWidth + kColorWidth) * static_cast<std::size_t>(dataSet),
          kValueWidth};
}
constexpr FieldSpan Color(int dataSet) { return {Value(dataSet).End(), kColorWidth}; }
// The length of the record text that holds `dataSets` data sets.
constexpr std::size_t TextLength(int dataSets) { return Value(dataSets).first - 1; }
}  // namespace data_record

// The field's bytes in the record text, cut where the text ends.
inline std::string_view FieldText(std::string_view text, FieldSpan span) {
  return Field(text, span.first, span.Last());
}
