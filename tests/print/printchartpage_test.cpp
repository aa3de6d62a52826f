// The printed chart page: the margin rectangle, the style letters, and the print routine on a
// printer that records what it is asked and draws the page into an image.

#include "print/printchartpage.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>

#include "chart/document/chartdocument.h"
#include "platform/printer/tprinter.h"
#include "print/chartprintrect.h"
#include "print/pagetextstyle.h"
#include "properties/printsettings.h"
#include "runtime/errors.h"

namespace {

struct RectCase {
  const char* name;
  int width, height;
  int left, right, top, bottom;  // margins in the order "PRINTPOS" gives them
  ChartPrintRect expected;
};

TEST(ChartPrintRect, FollowsTheMarginsAsWritten) {
  constexpr std::int64_t kHuge = std::int64_t(INT_MAX) * 961 / 100;
  const RectCase cases[] = {
      {"initial margins", 800, 600, 5, 5, 25, 20, {40, 150, 760, 480}},
      {"far edge truncated before subtracting", 961, 600, 5, 5, 25, 20, {48, 150, 913, 480}},
      {"no margins", 961, 601, 0, 0, 0, 0, {0, 0, 961, 601}},
      {"halves of an even page", 800, 600, 50, 50, 50, 50, {400, 300, 400, 300}},
      {"halves of an odd page", 961, 601, 50, 50, 50, 50, {480, 300, 481, 301}},
      {"one margin of 100", 800, 600, 100, 0, 0, 100, {800, 0, 800, 0}},
      {"two margins over 100", 800, 600, 60, 60, 70, 40, {480, 420, 320, 360}},
      {"largest margin", 961, 600, INT_MAX, INT_MAX, 0, 0, {kHuge, 0, 961 - kHuge, 600}},
  };
  for (const RectCase& c : cases) {
    PrintSettings settings;
    settings.leftMargin = c.left;
    settings.rightMargin = c.right;
    settings.topMargin = c.top;
    settings.bottomMargin = c.bottom;
    const ChartPrintRect rect = MakeChartPrintRect(c.width, c.height, settings);
    EXPECT_EQ(rect, c.expected) << c.name;
    const bool roomy = c.expected.right > c.expected.left && c.expected.bottom > c.expected.top;
    EXPECT_EQ(rect.IsEmpty(), !roomy) << c.name;
  }
}

TEST(PageTextStyle, LettersBAndIAnywhereInEitherCase) {
  const std::pair<const char*, PageTextStyle> cases[] = {
      {"bi", {true, true}},     {"BOLD ITALIC", {true, true}}, {"b", {true, false}},
      {"black", {true, false}}, {"i", {false, true}},          {"U", {false, false}},
      {"", {false, false}},     {" ", {false, false}},         {"\xC4\xB0", {false, false}},
  };
  for (const auto& [letters, style] : cases) EXPECT_EQ(StyleFromLetters(letters), style) << letters;
}

// Records every call; draws on an 800 x 600 image; fails with its own error at one call.
class RecordingPrinter : public TPrinter {
 public:
  mutable std::vector<std::string> calls;
  std::string failAt;
  QImage page{800, 600, QImage::Format_RGB32};

  void BeginDoc() override {
    Call("BeginDoc");
    page.fill(Qt::white);
    canvas_.begin(&page);
  }
  void EndDoc() override {
    Call("EndDoc");
    canvas_.end();
  }
  void Abort() override {
    calls.push_back("Abort");
    canvas_.end();
  }
  void SetFontName(const std::string& name) override { Call("font " + name); }
  void SetFontSize(int points) override { Call("size " + std::to_string(points)); }
  void SetFontStyle(bool bold, bool italic) override {
    Call(std::string("style") + (bold ? " bold" : "") + (italic ? " italic" : ""));
  }
  void TextOut(int x, int y, const std::string& text) override {
    Call("TextOut " + std::to_string(x) + "," + std::to_string(y) + " " + text);
  }
  int PageWidth() const override {
    Call("PageWidth");
    return page.width();
  }
  int PageHeight() const override {
    Call("PageHeight");
    return page.height();
  }
  QPainter& Canvas() override {
    Call("Canvas");
    return canvas_;
  }

 private:
  void Call(const std::string& call) const {
    calls.push_back(call);
    if (call.rfind(failAt, 0) == 0 && !failAt.empty()) throw Exception("printer failed at " + call);
  }
  QPainter canvas_;
};

PrintSettings TwoTexts() {
  PrintSettings settings;
  settings.pageTextCount = 2;
  settings.pageTexts[0] = {"Report", 10, 20, "DejaVu Sans", 14, "B"};
  settings.pageTexts[1] = {"", 30, 40, "NoSuchFont", -8, ""};
  return settings;
}

// The area of the page that is not white, as a rectangle.
QRect InkedArea(const QImage& image) {
  QRect inked;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) inked |= QRect(x, y, 1, 1);
    }
  }
  return inked;
}

// The calls of a whole page with TwoTexts(): a family that is not installed gives way to the
// chart's own.
const std::vector<std::string> kPageCalls{
    "BeginDoc",         "font DejaVu Sans", "size 14", "style bold",     "TextOut 10,20 Report",
    "font DejaVu Sans", "size -8",          "style",   "TextOut 30,40 ", "PageHeight",
    "PageWidth",        "Canvas",           "EndDoc"};

// A page text keeps the family it names where that is installed (fonts-dejavu-core brings
// three), whatever the font configuration would put in place of another; the chart's own
// family stands in for one that is not, never the configuration's choice.
TEST(PrintChartPage, PageTextsKeepAnInstalledFamilyElseTakeTheChartsOwn) {
  const std::pair<const char*, const char*> cases[] = {
      {"DejaVu Serif", "DejaVu Serif"}, {"DejaVu Sans Mono", "DejaVu Sans Mono"},
      {"dejavu serif", "dejavu serif"}, {"Arial", "DejaVu Sans"},
      {"NoSuchFont", "DejaVu Sans"},    {"", "DejaVu Sans"},
      {"Caf\xE9 Sans", "DejaVu Sans"},  {"Sans Serif", "DejaVu Sans"},
  };
  for (const auto& [named, used] : cases) {
    PrintSettings settings;
    settings.pageTextCount = 1;
    settings.pageTexts[0] = {"Report", 10, 20, named, 12, ""};
    RecordingPrinter printer;
    PrintChartPage(printer, chart::ChartDocument(), settings);
    ASSERT_GE(printer.calls.size(), 2u);
    EXPECT_EQ(printer.calls[1], std::string("font ") + used) << named;
  }
}

TEST(PrintChartPage, TextsInOrderThenTheChartInsideTheMargins) {
  chart::ChartDocument chart;
  chart.AddTitleLine("Sales");
  RecordingPrinter printer;
  PrintChartPage(printer, chart, TwoTexts());
  EXPECT_EQ(printer.calls, kPageCalls);
  // The initial margins leave 40..760 across and 150..480 down of the 800 x 600 page.
  const QRect inked = InkedArea(printer.page);
  EXPECT_TRUE(QRect(40, 150, 720, 330).contains(inked)) << inked.x() << "," << inked.y();
  EXPECT_GT(inked.width(), 600);
  EXPECT_GT(inked.height(), 250);

  // Margins that leave no room: the job is printed without the chart.
  PrintSettings crossed = TwoTexts();
  crossed.leftMargin = crossed.rightMargin = 60;
  RecordingPrinter blank;
  PrintChartPage(blank, chart, crossed);
  EXPECT_EQ(blank.calls.back(), "EndDoc");
  EXPECT_TRUE(InkedArea(blank.page).isEmpty());
}

TEST(PrintChartPage, AFailureDiscardsTheJobAndGoesOnUnchanged) {
  chart::ChartDocument chart;
  for (const std::string failAt : {"BeginDoc", "size", "TextOut 30", "Canvas", "EndDoc"}) {
    RecordingPrinter printer;
    printer.failAt = failAt;
    try {
      PrintChartPage(printer, chart, TwoTexts());
      ADD_FAILURE() << "no error at " << failAt;
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()).rfind("printer failed at " + failAt, 0), 0u);
    }
    // Every call up to the failing one, then Abort; nothing to discard when opening failed.
    auto failing = std::find_if(kPageCalls.begin(), kPageCalls.end(), [&](const std::string& call) {
      return call.rfind(failAt, 0) == 0;
    });
    std::vector<std::string> expected(kPageCalls.begin(), failing + 1);
    if (failAt != "BeginDoc") expected.push_back("Abort");
    EXPECT_EQ(printer.calls, expected) << failAt;
  }
}

}  // namespace
