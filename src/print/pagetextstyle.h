#pragma once
// The style of a page text, from the letters that its property record gives.

#include <string_view>

struct PageTextStyle {
  bool bold = false;
  bool italic = false;
  bool operator==(const PageTextStyle&) const = default;
};

// Bold when the letters hold a "B", italic when they hold an "I", in either case and at any
// place ("black" is bold); every other letter is ignored.
PageTextStyle StyleFromLetters(std::string_view letters);
