#pragma once

#include <string>

// The checks of a run that can refuse it, in the order they are made.
enum class RefusedBy {
  Opening,       // a table cannot be opened
  Version,       // a table's version byte is not one the routine reads
  Size,          // a table's size disagrees with its header
  DataSetCount,  // the property table names no data set
  ChartStyle,    // the property table names no kind of chart
};

// A problem that the routine finds itself and reports with a fixed text and caption; the run
// then ends without a window. Returned by the steps that find it, shown by the window unit.
struct Refusal {
  std::string text;
  std::string caption;
  RefusedBy check = RefusedBy::Opening;
};
