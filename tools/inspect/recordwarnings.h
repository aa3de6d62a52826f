#pragma once
// What a property record asks for that the run does otherwise or not at all, though the record
// takes effect: a style that gives horizontal bars, an image size that writes no file or is
// misread, an image name that gives a BMP, a colour name that is none.

#include <string>
#include <string_view>
#include <vector>

#include "inspect/report.h"

// The warnings of a record that took effect; `keyword` upper case, `value` trimmed.
std::vector<std::string> AppliedRecordWarnings(std::string_view keyword, const std::string& value,
                                               Warnings& warnings);
