#include "properties/valuelist.h"

#include "runtime/text.h"

namespace {

constexpr int kBlankEntries = 4;

// Reads the first character before each removal, so an empty or delimiter-only text ends in a
// range error: the caller's record is then refused rather than taken as an empty list.
void DropLeadingDelimiters(std::string& text, char delimiter) {
  while (CharAt(text, 1) == delimiter) text.erase(0, 1);
}

void DropTrailingDelimiters(std::string& text, char delimiter) {
  while (!text.empty() && text.back() == delimiter) text.pop_back();
}

}  // namespace

int SplitValueList(std::string value, ValueList& list, char delimiter) {
  for (int n = 1; n <= kBlankEntries; ++n) list.Entry(n).assign(1, ' ');
  std::string work = Trim(value);
  DropLeadingDelimiters(work, delimiter);
  DropTrailingDelimiters(work, delimiter);
  // The closing delimiter belongs to no piece; it ends the last one.
  work += delimiter;

  int count = 0;
  while (Trim(work).size() >= 2) {
    const std::size_t end = work.find(delimiter);
    const std::string piece = Trim(std::string_view(work).substr(0, end));
    if (count < ValueList::kSize) list.Entry(count + 1) = piece;
    work = Trim(std::string_view(work).substr(end + 1));
    ++count;
  }
  return count;
}
