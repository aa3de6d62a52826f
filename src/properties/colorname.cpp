#include "properties/colorname.h"

#include <array>
#include <string_view>
#include <utility>

#include "runtime/text.h"

namespace {

// 0x00BBGGRR. GRAY and DKGRAY are the same colour, and so are LTGRAY and SILVER.
constexpr std::array<std::pair<std::string_view, chart::Color>, 18> kNamedColors = {{
    {"RED", 0x0000FF},
    {"GREEN", 0x008000},
    {"BLUE", 0xFF0000},
    {"BLACK", 0x000000},
    {"YELLOW", 0x00FFFF},
    {"GRAY", 0x808080},
    {"DKGRAY", 0x808080},
    {"LTGRAY", 0xC0C0C0},
    {"WHITE", 0xFFFFFF},
    {"AQUA", 0xFFFF00},
    {"LIME", 0x00FF00},
    {"MAROON", 0x000080},
    {"NAVY", 0x800000},
    {"OLIVE", 0x008080},
    {"PURPLE", 0x800080},
    {"SILVER", 0xC0C0C0},
    {"TEAL", 0x808000},
    {"FUCHSIA", 0xFF00FF},
}};

}  // namespace

chart::Color ColorFromName(const std::string& name, chart::Color fallback) {
  const std::string upper = AnsiUpperCase(name);
  for (const auto& [colorName, color] : kNamedColors) {
    if (upper == colorName) return color;
  }
  return fallback;
}

std::vector<std::string_view> ColorNames() {
  std::vector<std::string_view> names;
  for (const auto& [name, color] : kNamedColors) names.push_back(name);
  return names;
}
