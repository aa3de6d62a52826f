#pragma once
// What the property records ask of one run: the chart style, the data sets and the outputs.

#include <array>
#include <cstdint>
#include <string>

#include "keywords/keywordtable.h"
#include "properties/chartstyle.h"

struct ChartOptions {
  static constexpr int kMaxDataSets = keywords::kMaxDataSets;
  ChartStyle chartStyle;
  std::uint32_t chartStyleRecord = 0;  // the record that set it, for error texts
  bool dataLabels = false;
  bool printAtStart = false;
  int dataSetCount = 0;
  bool saveBitmap = false;
  std::string bitmapFile;
  int bitmapHeight = 0;
  int bitmapWidth = 0;
  // One slot more than the largest data-set count: the record for data set count + 1 is kept.
  std::array<std::string, kMaxDataSets + 1> dataSetTitles;
  std::array<std::string, kMaxDataSets + 1> dataSetColors;
};
