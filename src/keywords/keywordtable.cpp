#include "keywords/keywordtable.h"

#include <algorithm>

namespace keywords {

std::array<std::string_view, kKeywordNames.size()> KeywordNames() {
  std::array<std::string_view, kKeywordNames.size()> names;
  std::transform(kKeywordNames.begin(), kKeywordNames.end(), names.begin(),
                 [](const KeywordName& keyword) { return keyword.name; });
  return names;
}

bool TakesDataSet(std::string_view keyword) {
  return std::any_of(kKeywordNames.begin(), kKeywordNames.end(), [&](const KeywordName& known) {
    return known.name == keyword && known.takesDataSet;
  });
}

}  // namespace keywords
