#include "inspect/recordwarnings.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "chart/export/imageformats.h"
#include "inspect/nearestname.h"
#include "properties/chartstyle.h"
#include "properties/digitonlynumber.h"
#include "properties/valuelist.h"
#include "runtime/text.h"

namespace {

// The first items that name horizontal bars plainly; any other bar style gives them unasked.
constexpr std::array<std::string_view, 3> kHorizontalBarWords = {"BAR", "HBAR", "HORIZBAR"};

// Endings of image formats that the image writer does not know: such a name gets a BMP.
constexpr std::array<std::string_view, 18> kOtherImageEndings = {
    ".jpg",  ".jpeg", ".jpe", ".jfif", ".gif", ".tif", ".tiff", ".webp", ".avif",
    ".heic", ".ico",  ".xpm", ".ppm",  ".pgm", ".tga", ".eps",  ".emf",  ".wmf"};

// The items of a value, as the pass splits it; the record took effect, so the split succeeds.
std::vector<std::string> Items(const std::string& value) {
  ValueList list;
  const int count = std::min(SplitValueList(value, list), ValueList::kSize);
  std::vector<std::string> items;
  for (int i = 1; i <= std::max(count, 3); ++i) items.push_back(Trim(list.Entry(i)));
  return items;
}

std::vector<std::string> StyleWarnings(const std::string& value) {
  const std::string style = AnsiUpperCase(value);
  if (ParseChartStyle(style).kind != chart::SeriesKind::HorizBar) return {};
  const std::vector<std::string> items = Items(style);
  if (std::ranges::find(kHorizontalBarWords, items[0]) != kHorizontalBarWords.end()) return {};
  std::string rest;
  for (std::size_t i = 1; i < items.size() && !items[i].empty(); ++i) rest += ";" + items[i];
  return {Quoted(style) + " gives horizontal bars: only a style whose first item is VERTBAR " +
          "gives vertical ones; write " + Quoted("VERTBAR" + rest) + " for vertical bars, " +
          Quoted("BAR" + rest) + " for horizontal ones"};
}

// The runs of digits in a text: a size of two of them ("800x600") is read as one number.
std::vector<std::string> DigitRuns(std::string_view text) {
  std::vector<std::string> runs;
  bool inRun = false;
  for (const char c : text) {
    const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (digit && !inRun) runs.emplace_back();
    if (digit) runs.back() += c;
    inRun = digit;
  }
  return runs;
}

// What to write instead of a size that writes no file or is misread: a width-by-height pair
// in one item becomes the height, then the width.
std::string SizeHint(const std::string& file, const std::string& height, const std::string& width) {
  const std::array<const std::string*, 2> sizes = {&height, &width};
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const std::vector<std::string> runs = DigitRuns(*sizes[i]);
    if (runs.size() == 2 && DigitOnlyNumber(*sizes[1 - i]) == 0) {
      return "write " + Quoted(file + ";" + runs[1] + ";" + runs[0]) +
             ", the height first, then the width";
    }
  }
  return "write " + Quoted(file + ";HEIGHT;WIDTH") + ", the height first, then the width, " +
         "both in pixels and above 0";
}

std::vector<std::string> SizeWarnings(const std::vector<std::string>& items) {
  const std::string& height = items[1];
  const std::string& width = items[2];
  const int heightRead = DigitOnlyNumber(height);
  const int widthRead = DigitOnlyNumber(width);
  std::string misread;
  for (const std::string& size : {height, width}) {
    if (DigitRuns(size).size() > 1) {
      misread += (misread.empty() ? " (" : ", ") + Quoted(size) + " read from its digits alone";
    }
  }
  if (!misread.empty()) misread += ")";
  const bool writesNoFile = heightRead == 0 || widthRead == 0;
  if (misread.empty() && !writesNoFile) return {};
  return {"the size reads as " + std::to_string(heightRead) + " high and " +
          std::to_string(widthRead) + " wide" + misread +
          (writesNoFile ? ": a height or width of 0 writes no file" : "") + "; " +
          SizeHint(items[0], height, width)};
}

std::string LowerCase(std::string text) {
  std::ranges::transform(text, text.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> NameWarnings(const std::string& file) {
  const std::size_t dot = file.rfind('.');
  if (dot == std::string::npos) return {};
  const std::string ending = LowerCase(file.substr(dot));
  if (std::ranges::find(kOtherImageEndings, ending) == kOtherImageEndings.end()) return {};
  if (chart::ImageFormatOfFile(file).format != chart::ImageFileFormat::Bmp) return {};
  std::vector<std::string_view> endings;
  for (const chart::ImageFormat& format : chart::ImageFormats()) {
    if (format.format != chart::ImageFileFormat::Bmp) endings.push_back(format.ending);
  }
  return {"writes a BMP file named " + Quoted(file) + ": only the endings " +
          ListText(endings, "and") + " choose another format, any other name gives BMP; name it " +
          Quoted(file.substr(0, dot) + ".png") + " for a PNG image"};
}

std::vector<std::string> ImageWarnings(const std::string& value) {
  const std::vector<std::string> items = Items(value);
  std::vector<std::string> found = SizeWarnings(items);
  for (std::string& warning : NameWarnings(items[0])) found.push_back(std::move(warning));
  return found;
}

}  // namespace

std::vector<std::string> AppliedRecordWarnings(std::string_view keyword, const std::string& value,
                                               Warnings& warnings) {
  if (keyword == "CHARTSTYLE") return StyleWarnings(value);
  if (keyword == "BITMAPFILE") return ImageWarnings(value);
  if (keyword == "DATASETCOLOR" && !value.empty() && !IsColorName(value)) {
    return {warnings.UnknownColor(value, "the series keeps the colour the chart gives it")};
  }
  return {};
}
