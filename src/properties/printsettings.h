#pragma once
// How the chart page is printed: up to 10 free texts and four margins. Filled by the property
// records, read by printing whenever the chart is printed.

#include <array>
#include <string>

#include "keywords/keywordtable.h"

struct PageTextItem {
  std::string text;
  int x = 0;  // printer pixels from the left edge of the printable area
  int y = 0;  // printer pixels from the top edge
  std::string fontName;
  int fontSize = 0;       // points
  std::string fontStyle;  // "B" bold, "I" italic, in either case
};

struct PrintSettings {
  static constexpr int kMaxPageTexts = keywords::kMaxPageTexts;
  int pageTextCount = 0;
  std::array<PageTextItem, kMaxPageTexts> pageTexts;
  int leftMargin = 5;     // percent of the page width
  int rightMargin = 5;    // percent of the page width
  int topMargin = 25;     // percent of the page height
  int bottomMargin = 20;  // percent of the page height
  bool showPrintDialog = false;
};
