#include "inspect/nearestname.h"

#include <algorithm>

namespace {

// The fewest slips that turn `a` into `b`: letters replaced, inserted, deleted or two neighbours
// swapped (each swapped pair counts once).
std::size_t SlipDistance(std::string_view a, std::string_view b) {
  // Three rows of the table: two back, the last one, this one.
  std::vector<std::size_t> twoBack(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replaced = last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({replaced, last[j] + 1, row[j - 1] + 1});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], twoBack[j - 2] + 1);
      }
    }
    std::swap(twoBack, last);
    std::swap(last, row);
  }
  return last[b.size()];
}

}  // namespace

std::vector<std::string_view> NearestNames(std::string_view text,
                                           std::span<const std::string_view> known) {
  const std::size_t allowed = text.size() >= 5 ? 2 : 1;
  std::size_t best = allowed;
  std::vector<std::string_view> nearest;
  for (const std::string_view name : known) {
    const std::size_t distance = SlipDistance(text, name);
    if (distance < best) {
      best = distance;
      nearest.clear();
    }
    if (distance == best) nearest.push_back(name);
  }
  return nearest;
}

std::string ListText(const std::vector<std::string_view>& names, std::string_view last) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " " + std::string(last) + " " : ", ";
    text += names[i];
  }
  return text;
}

std::string DidYouMean(const std::vector<std::string_view>& names) {
  if (names.empty()) return "";
  return " (did you mean " + ListText(names, "or") + "?)";
}
