#pragma once
// The known names that an unknown one was most likely meant to be: keywords and colour names
// alike, so that every hint of the report finds its names by the same rule.

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The names of `known` nearest to `text` (both compared as given), when they are close enough to
// be a slip of the keyboard: one letter wrong, missing, extra or two letters swapped, and a
// second such slip in a text of five letters or more. Empty when none is that close.
std::vector<std::string_view> NearestNames(std::string_view text,
                                           std::span<const std::string_view> known);

// "A, B or C" with `last` ("or", "and") before the last name.
std::string ListText(const std::vector<std::string_view>& names, std::string_view last);

// " (did you mean A or B?)", or nothing without names.
std::string DidYouMean(const std::vector<std::string_view>& names);
