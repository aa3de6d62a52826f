// The check of the value axis (guarantees (iv) and (viii) of layoutguarantees.h): what it must
// hold, worked out from the model's values and the pixels that bars keep beyond zero, and the
// numbers it shows, read back as a reader reads them.

#include <QFontMetricsF>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "layoutcheck/guaranteechecks.h"

namespace chart {

namespace {

constexpr double kMinAxisFill = 0.6;
// An axis at least this long (a vertical one, a horizontal one) has four intervals at least.
constexpr double kRoomForFourIntervals[] = {250, 450};

// (iv): what the value axis must hold, worked out from the model's values and the pixels that
// bars keep beyond zero.
struct ValueSpan {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  bool Empty() const { return low > high; }
};

double Bounded(double v) {
  return std::clamp(v, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
}

// Bars keep pixels beyond zero on the side of their values, a pixel more than they need: a stack
// one for each series that has values there, a single bar one.
struct PixelsBeyondZero {
  int above = 0;
  int below = 0;
};

PixelsBeyondZero BarPixelsBeyondZero(const std::vector<const SeriesModel*>& drawn, int least) {
  const BarGrouping mode = BarGroupingOf(drawn);
  const bool stacked = mode == BarGrouping::Stacked || mode == BarGrouping::Stacked100;
  PixelsBeyondZero pixels;
  for (const SeriesModel* one : drawn) {
    if (!Traits(one->kind).fromZero) continue;
    bool above = false, below = false;
    for (const ChartPoint& point : one->points) {
      above = above || (std::isfinite(point.value) && point.value > 0);
      below = below || (std::isfinite(point.value) && point.value < 0);
    }
    const bool piled = stacked && Traits(one->kind).stacks;
    if (above) pixels.above = piled ? pixels.above + least : least;
    if (below) pixels.below = piled ? pixels.below + least : least;
  }
  if (pixels.above > 0) ++pixels.above;
  if (pixels.below > 0) ++pixels.below;
  return pixels;
}

ValueSpan ShownValues(const std::vector<const SeriesModel*>& drawn) {
  ValueSpan span;
  const BarGrouping mode = BarGroupingOf(drawn);
  const bool stacked = mode == BarGrouping::Stacked || mode == BarGrouping::Stacked100;
  std::size_t categories = 0;
  for (const SeriesModel* one : drawn) {
    const SeriesKindTraits& kind = Traits(one->kind);
    if (!kind.stacks || !stacked) {
      for (const ChartPoint& point : one->points) span.Add(point.value);
    }
    if (kind.fromZero) span.Add(0);
    categories = std::max(categories, one->points.size());
  }
  if (!stacked) return span;
  for (std::size_t c = 0; c < categories; ++c) {
    long double positive = 0, negative = 0, total = 0;  // no sum of doubles overflows these
    for (const SeriesModel* one : drawn) {
      if (!Traits(one->kind).stacks || c >= one->points.size()) continue;
      const double v = one->points[c].value;
      if (!std::isfinite(v)) continue;
      (v >= 0 ? positive : negative) += v;
      total += std::abs(v);
    }
    if (mode == BarGrouping::Stacked100) {
      if (!(total > 0)) continue;
      positive = std::min<long double>(100, positive / total * 100);
      negative = std::max<long double>(-100, negative / total * 100);
    }
    span.Add(Bounded(static_cast<double>(positive)));
    span.Add(Bounded(static_cast<double>(negative)));
  }
  return span;
}

// The distance from `low` to `high`, in long double, whose range neither the largest doubles
// overflow nor the smallest lose.
long double Span(double low, double high) { return static_cast<long double>(high) - low; }

bool IsNiceStep(double step) {
  if (!(step > 0) || !std::isfinite(step)) return false;
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  for (double nice : {1.0, 2.0, 5.0, 10.0}) {
    if (std::abs(mantissa - nice) <= nice * 1e-6) return true;
  }
  return false;
}

void CheckTicks(const ChartLayout& layout, double tolerance, GuaranteeReport& report) {
  const auto& ticks = layout.geometry.valueTicks;
  for (double tick : ticks) {
    if (tick < layout.geometry.valueMin - tolerance ||
        tick > layout.geometry.valueMax + tolerance) {
      report.Add(Guarantee::AxisFits, "tick " + std::to_string(tick) + " lies off the axis");
    }
  }
  if (ticks.size() < 2) return;
  const long double step = Span(ticks[0], ticks[1]);
  // Doubles below the smallest normal one hold too few digits for even steps of 1, 2 or 5.
  if (step < std::numeric_limits<double>::min()) return;
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const long double gap = Span(ticks[i - 1], ticks[i]);
    if (!(std::abs(gap - step) <= std::abs(step) * 1e-6L)) {
      report.Add(Guarantee::AxisFits, "the ticks are not evenly spaced");
      return;
    }
  }
  if (!IsNiceStep(static_cast<double>(std::min<long double>(step, DBL_MAX)))) {
    report.Add(Guarantee::AxisFits, "the tick step is not 1, 2 or 5");
  }
  for (double tick : ticks) {
    if (tick != 0 && std::abs(tick) < step * 1e-6L)
      report.Add(Guarantee::AxisFits, "a tick next to zero is not exactly zero");
  }
}

int Characters(const std::string& text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void CheckTickText(const std::string& text, double tick, int exponent, int decimals,
                   const ChartLayout& layout, GuaranteeReport& report) {
  const auto read = ReadNumber(text, layout.numbers.locale);
  const long double shown = static_cast<long double>(tick) / std::pow(10.0L, exponent);
  const long double tolerance = std::pow(10.0L, -decimals) / 2 + std::abs(shown) * 1e-12L;
  if (!read || std::abs(*read - shown) > tolerance) {
    report.Add(Guarantee::AxisNumbers, "the tick label \"" + text + "\" does not read as " +
                                           std::to_string(static_cast<double>(shown)));
  }
  const bool holdsZero = layout.geometry.valueMin <= 0 && layout.geometry.valueMax >= 0;
  if (holdsZero && Characters(text) > kMaxTickChars) {
    report.Add(Guarantee::AxisNumbers, "the tick label \"" + text + "\" is longer than " +
                                           std::to_string(kMaxTickChars) + " characters");
  }
}

}  // namespace

// The power of ten a scale note names ("×10⁻⁶"), 0 where there is none.
int NoteExponent(const std::vector<const TextItem*>& notes) {
  if (notes.empty()) return 0;
  static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string rest = notes.front()->text.toStdString();
  const std::string times = "×10", minus = "⁻";
  if (rest.rfind(times, 0) != 0) return 0;
  rest.erase(0, times.size());
  const bool negative = rest.rfind(minus, 0) == 0;
  if (negative) rest.erase(0, minus.size());
  int exponent = 0;
  while (!rest.empty()) {
    const auto digit = std::find_if(std::begin(kDigits), std::end(kDigits),
                                    [&](const char* d) { return rest.rfind(d, 0) == 0; });
    if (digit == std::end(kDigits)) return 0;
    exponent = exponent * 10 + static_cast<int>(digit - std::begin(kDigits));
    rest.erase(0, std::string(*digit).size());
  }
  return negative ? -exponent : exponent;
}

int Decimals(const std::string& text, const NumberLocale& locale) {
  const auto at = text.find(locale.decimal);
  return at == std::string::npos ? 0 : static_cast<int>(text.size() - at - locale.decimal.size());
}

void CheckValueAxis(const ChartModel& model, const ChartLayout& layout,
                    const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  if (layout.geometry.plot.isEmpty()) return;
  const double min = layout.geometry.valueMin, max = layout.geometry.valueMax;
  const long double length = Span(min, max);
  if (!(length > 0) || !std::isfinite(length)) {
    report.Add(Guarantee::AxisFits, "the value axis has no length");
    return;
  }
  const double tolerance = static_cast<double>(length * 1e-9L);
  CheckTicks(layout, tolerance, report);
  ValueSpan shown = ShownValues(drawn);
  const double pixelsLong = Traits(ChartKindOf(model)).horizontal ? layout.geometry.plot.width()
                                                                  : layout.geometry.plot.height();
  const long double perPixel = length / pixelsLong;
  const PixelsBeyondZero pixels = BarPixelsBeyondZero(drawn, layout.geometry.leastPixels);
  if (pixels.above > 0) {
    shown.Add(static_cast<double>(std::min<long double>(pixels.above * perPixel * 0.999999L, max)));
  }
  if (pixels.below > 0) {
    shown.Add(
        static_cast<double>(std::max<long double>(-pixels.below * perPixel * 0.999999L, min)));
  }
  if (!shown.Empty()) {
    if (shown.low < min - tolerance || shown.high > max + tolerance) {
      report.Add(Guarantee::AxisFits, "the axis does not hold every value it shows");
    }
    const double fill = static_cast<double>(Span(shown.low, shown.high) / length);
    if (shown.high > shown.low && fill < kMinAxisFill - 1e-9) {
      report.Add(Guarantee::AxisFits,
                 "the values fill only " + std::to_string(int(fill * 100)) + " % of the axis");
    }
  }
  const QPointF d = layout.geometry.depthOffset;
  const QRectF room = layout.geometry.plot.adjusted(-1, d.y() - 1, d.x() + 1, 1);
  for (const BarBox& bar : layout.geometry.bars) {
    if (room.contains(bar.front)) continue;
    report.Add(Guarantee::AxisFits, "a bar reaches out of the plot");
    break;
  }
}

void CheckAxisNumbers(const ChartLayout& layout, GuaranteeReport& report) {
  std::vector<const TextItem*> ticks, notes;
  for (const TextItem& item : layout.scene.texts) {
    if (item.role == TextRole::TickLabel) ticks.push_back(&item);
    if (item.role == TextRole::ScaleNote) notes.push_back(&item);
  }
  if (ticks.empty()) return;
  if (ticks.size() != layout.geometry.valueTicks.size()) {
    report.Add(Guarantee::AxisNumbers, std::to_string(ticks.size()) + " tick labels for " +
                                           std::to_string(layout.geometry.valueTicks.size()) +
                                           " ticks");
    return;
  }
  const int exponent = NoteExponent(notes);
  const int decimals = Decimals(ticks.front()->text.toStdString(), layout.numbers.locale);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    const std::string text = ticks[k]->text.toStdString();
    if (Decimals(text, layout.numbers.locale) != decimals) {
      report.Add(Guarantee::AxisNumbers, "the tick labels have different decimals: \"" + text +
                                             "\" after \"" + ticks.front()->text.toStdString() +
                                             "\"");
    }
    CheckTickText(text, layout.geometry.valueTicks[k], exponent, decimals, layout, report);
  }
  const bool horizontal = layout.geometry.plot.width() > 0 && ticks.size() > 1 &&
                          ticks[0]->origin.y() == ticks[1]->origin.y();
  const double length = horizontal ? layout.geometry.plot.width() : layout.geometry.plot.height();
  // An axis to near the largest double ends where doubles end, between two ticks.
  const bool extreme =
      std::max(std::abs(layout.geometry.valueMin), std::abs(layout.geometry.valueMax)) > 1e307;
  if (!extreme && ticks.size() > 1 && ticks.size() < 5 &&
      length >= kRoomForFourIntervals[horizontal ? 1 : 0]) {
    report.Add(Guarantee::AxisNumbers, "the value axis has " + std::to_string(ticks.size() - 1) +
                                           " intervals on " + std::to_string(int(length)) +
                                           " pixels");
  }
}

}  // namespace chart
