#include "print/pagetextstyle.h"

#include <string>

#include "runtime/text.h"

PageTextStyle StyleFromLetters(std::string_view letters) {
  const std::string upper = UpperCase(letters);
  return PageTextStyle{.bold = upper.find('B') != std::string::npos,
                       .italic = upper.find('I') != std::string::npos};
}
