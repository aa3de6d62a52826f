#include "inspect/report.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "inspect/nearestname.h"
#include "print/pagetextstyle.h"
#include "properties/colorname.h"
#include "runtime/text.h"

namespace {

// Tables up to this many records are shown whole; longer ones by their first and last records.
constexpr std::uint64_t kShownWhole = 40;
constexpr std::uint64_t kFirstShown = 20;
constexpr std::uint64_t kLastShown = 10;

}  // namespace

std::string Quoted(std::string_view text) { return "\"" + ToPlainLine(text) + "\""; }

std::string HexByte(std::uint8_t byte) {
  std::array<char, 5> text{};
  std::snprintf(text.data(), text.size(), "0x%02X", byte);
  return text.data();
}

std::string HexColor(chart::Color color) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                (color >> 16) & 0xFF);
  return text.data();
}

bool IsColorName(const std::string& name) {
  return !chart::IsAutomaticColor(ColorFromName(name, chart::kAutomaticColor));
}

std::string ColorNameText(const std::string& name, const std::string& otherwise) {
  if (IsColorName(name)) {
    return ToPlainLine(name) + " " + HexColor(ColorFromName(name, chart::kAutomaticColor));
  }
  if (name.empty()) return otherwise;
  return Quoted(name) + " (no colour of that name: " + otherwise + ")";
}

std::string NumberText(double value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

std::string PageTextText(const PageTextItem& item) {
  const PageTextStyle style = StyleFromLetters(item.fontStyle);
  return Quoted(item.text) + " at x " + std::to_string(item.x) + ", y " + std::to_string(item.y) +
         " (printer pixels) in " + Quoted(item.fontName) + " " + std::to_string(item.fontSize) +
         " pt" + (style.bold ? " bold" : "") + (style.italic ? " italic" : "");
}

std::string MarginsText(const PrintSettings& print) {
  return "left " + std::to_string(print.leftMargin) + " %, right " +
         std::to_string(print.rightMargin) + " %, top " + std::to_string(print.topMargin) +
         " %, bottom " + std::to_string(print.bottomMargin) + " %";
}

std::string Warnings::Mark(const std::string& text) {
  ++count_;
  return "warning: " + text;
}

std::string Warnings::UnknownColor(const std::string& name, std::string_view keeps) {
  const std::string hint = DidYouMean(NearestNames(AnsiUpperCase(name), ColorNames()));
  colorNamesAsked_ = colorNamesAsked_ || hint.empty();
  return Quoted(name) + " is no colour name" +
         (hint.empty() ? " (the names are listed at the end)" : hint) + ": " + std::string(keeps);
}

void Warnings::WriteColorNames(std::ostream& out) const {
  if (!colorNamesAsked_) return;
  out << "\nColour names, in any letter case: " << ListText(ColorNames(), "and") << "\n";
}

RecordWindow::RecordWindow(std::uint64_t count, bool all)
    : head_(all || count <= kShownWhole ? count : kFirstShown),
      tailFirst_(all || count <= kShownWhole ? count + 1 : count - kLastShown + 1) {}

bool RecordWindow::Shows(std::uint64_t number) const {
  return number <= head_ || number >= tailFirst_;
}

void RecordWindow::PassOver(bool notable, int warnings) {
  ++passed_;
  if (notable) ++notable_;
  warnings_ += std::uint64_t(warnings);
}

void RecordWindow::WriteGap(std::ostream& out, std::string_view notableWhat) {
  if (passed_ == 0) return;
  // The records not shown are the ones between the head and the tail.
  out << "  ... records " << head_ + 1 << " to " << head_ + passed_ << " not shown";
  if (notable_ > 0) out << " (" << notable_ << " of them " << notableWhat << ")";
  if (warnings_ > 0) out << " (" << warnings_ << (warnings_ == 1 ? " warning" : " warnings") << ")";
  out << "; --all shows every record\n";
  passed_ = 0;
  notable_ = 0;
  warnings_ = 0;
}
