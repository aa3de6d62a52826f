#pragma once
// Program-wide state of the chart routine, alive for the whole run.

#include <string>

#include "properties/printsettings.h"

extern std::string propertyFileName;
extern std::string dataFileName;
// When set after the window was created, start-up does not show it.
extern bool skipRun;
extern PrintSettings printSettings;
