#pragma once
// Colours named in the tables.

#include <string>
#include <string_view>
#include <vector>

#include "chart/model/color.h"

// The colour of one of 18 names (RED, GREEN, BLUE, ..., FUCHSIA), in any letter case; any other
// text, a name with blanks around it included, gives `fallback` unchanged.
chart::Color ColorFromName(const std::string& name, chart::Color fallback);

// The 18 names, upper case, in the order in which they are compared.
std::vector<std::string_view> ColorNames();
