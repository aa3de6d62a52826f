#pragma once
// A property value split at ";" into a list of ten entries.

#include <array>
#include <string>

// Ten text entries, numbered 1 to 10. One list serves every split of a creation pass, so an
// entry that a split does not reach keeps what an earlier split left there.
class ValueList {
 public:
  static constexpr int kSize = 10;

  // Entry n, counted from 1; throws std::out_of_range outside 1 to 10.
  const std::string& Entry(int n) const { return entries_.at(Slot(n)); }
  std::string& Entry(int n) { return entries_.at(Slot(n)); }

 private:
  static std::size_t Slot(int n) { return static_cast<std::size_t>(n - 1); }
  std::array<std::string, kSize> entries_;
};

// Splits `value` at `delimiter` into `list` and returns the number of pieces found. Entries 1
// to 4 are first set to a lone blank; pieces are trimmed; runs of delimiters at either end are
// dropped, inner empty pieces kept. Pieces past the tenth are counted but not stored.
// Throws ERangeError when the trimmed value is empty or holds nothing but delimiters.
int SplitValueList(std::string value, ValueList& list, char delimiter = ';');
