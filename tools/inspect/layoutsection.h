#pragma once
// The chart as the run draws it, laid out without drawing: what it shows of its data labels,
// category labels, axis titles, title and legend at each size it is drawn at, and what it leaves
// out; data labels, axis titles, the value axis' labels and title lines left out are warnings,
// with the size from which all the data labels would show.

#include <QSize>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "chart/model/chartmodel.h"
#include "inspect/report.h"

// A size the chart is drawn at: an image file (its texts scaled to the image) or the window.
struct LayoutTarget {
  QSize size;
  bool image = true;
  std::string what;  // "the image file "x.png"", "the window as it opens", "--size"
};

// `pointRecords`: the data table's record of each point, in order. Needs a Qt application for
// measuring texts; without one it writes nothing.
void ReportLayout(const chart::ChartModel& model, const std::vector<LayoutTarget>& targets,
                  std::span<const std::uint32_t> pointRecords, Warnings& warnings,
                  std::ostream& out);
