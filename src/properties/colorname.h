#pragma once
// Colours named in the tables.

#include <string>

#include "chart/tcolor.h"

// The colour of one of 18 names (RED, GREEN, BLUE, ..., FUCHSIA), in any letter case; any other
// text, a name with blanks around it included, gives `fallback` unchanged.
chart::TColor ColorFromName(const std::string& name, chart::TColor fallback);
