#pragma once
// The parts of the check of the layout's guarantees (layoutguarantees.h), each in the file of
// its guarantees: texts, series and legend (layoutguarantees.cpp), the value axis and its
// numbers (axisguarantees.cpp), data labels and the pixels of each value (labelguarantees.cpp),
// one number style (numberguarantees.cpp).
// Internal to the layout check library.

#include <string>
#include <vector>

#include "layoutcheck/layoutguarantees.h"

namespace chart {

inline constexpr double kCheckSlack = 0.5;  // pixels: rounding of text measures and of placing

class GuaranteeReport {
 public:
  // A broken layout may break the same promise thousands of times: a few say enough.
  void Add(Guarantee guarantee, const std::string& what);
  const std::vector<BrokenGuarantee>& Broken() const { return broken_; }

 private:
  std::vector<BrokenGuarantee> broken_;
};

// A text of the chart in a report, in quotes, its control characters written as \xNN.
std::string Quoted(const QString& text);

bool HasNonZeroValue(const SeriesModel& series);
std::vector<const SeriesModel*> DrawnSeriesOf(const ChartModel& model, const ChartLayout& layout);
// How many pixels each category needs across before every series, and every value, must show.
double PixelsEachCategoryNeeds(const ChartModel& model,
                               const std::vector<const SeriesModel*>& drawn);
// Whether a chart with axes gives each category the pixels it needs.
bool CategoriesHaveRoom(const ChartModel& model, const ChartLayout& layout,
                        const std::vector<const SeriesModel*>& drawn);

// The power of ten a scale note names ("×10⁻⁶"), 0 where there is none.
int NoteExponent(const std::vector<const TextItem*>& notes);
// The decimals of a number written in `locale`.
int Decimals(const std::string& text, const NumberLocale& locale);

// (iv) and (viii).
void CheckValueAxis(const ChartModel& model, const ChartLayout& layout,
                    const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report);
void CheckAxisNumbers(const ChartLayout& layout, GuaranteeReport& report);
// (vi), (vii) and (ix).
void CheckTextsOffData(const ChartLayout& layout, GuaranteeReport& report);
void CheckValuesShow(const ChartModel& model, const ChartLayout& layout,
                     const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report);
void CheckDataLabelsPresent(const ChartModel& model, const ChartLayout& layout,
                            const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report);
// (xi).
void CheckValuesRead(const ChartModel& model, const ChartLayout& layout,
                     const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report);
// (xii).
void CheckNumberStyle(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                      GuaranteeReport& report);

}  // namespace chart
