// Fuzz target: any bytes as a property value, through every conversion the tables use, with
// the properties each conversion promises.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <cmath>
#include <cstdint>
#include <string>

#include "properties/colorname.h"
#include "properties/digitonlynumber.h"
#include "properties/valuelist.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"
#include "runtime/text.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool IsTrimmed(const std::string& text) {
  return text.empty() || (static_cast<unsigned char>(text.front()) > 32 &&
                          static_cast<unsigned char>(text.back()) > 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Check(IsTrimmed(Trim(text)));
  Check(UpperCase(text).size() == text.size());
  Check(AnsiUpperCase(text).size() == text.size());
  const std::string line = ToPlainLine(text);
  for (char c : line) Check(static_cast<unsigned char>(c) >= 32 && c != 0x7F);
  const QByteArray bytes(text.data(), qsizetype(size));
  QStringDecoder keepingBom(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  if (IsValidUtf8(text)) Check(QString(keepingBom(bytes)).toUtf8() == bytes);
  ToDisplayText(text);

  try {
    Check(DigitOnlyNumber(text) >= 0);
  } catch (const ConversionError&) {
  }
  try {
    StrToInt(text);
  } catch (const ConversionError&) {
  }
  try {
    Check(std::isfinite(StrToFloat(text)));
  } catch (const ConversionError&) {
  }
  ColorFromName(text, chart::kAutomaticColor);

  ValueList list;
  try {
    const int count = SplitValueList(text, list);
    Check(count >= 0);  // blanks and control characters alone make no piece
    for (int n = 1; n <= ValueList::kSize && n <= count; ++n) Check(IsTrimmed(list.Entry(n)));
  } catch (const ERangeError&) {
    Check(Trim(text).find_first_not_of(';') == std::string::npos);
  }
  return 0;
}
