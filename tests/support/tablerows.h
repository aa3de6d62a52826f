#pragma once
// Short ways to write the records of test tables.

#include <string>

#include "dbfwrite/dbfwriter.h"

// A property record with lead number 1.
inline PropertyRow Row(const std::string& keyword, const std::string& value = "",
                       const std::string& dataSet = "1") {
  return PropertyRow{.lead = "1", .dataSet = dataSet, .keyword = keyword, .value = value};
}
