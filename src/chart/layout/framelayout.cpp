// The room around the plot of a chart with axes (step 3 of the order in axeslayout.cpp):
//   1. the axis titles, wrapped; they meet in the lower left corner, each keeping to its side of
//      the other;
//   2. passes until the plot keeps still (it does after two or three): the depth of the 3D walls,
//      which the bars' thickness limits; the value axis and its labels, whose width needs the
//      ticks, which need the plot's length, which their width changes; the scale note of the
//      ticks; the category labels, turned, then thinned, then shortened; the room for data
//      labels past the bars' ends;
//   3. the category labels and the value labels as the final plot places them.
// Where the plot would keep too little of the area, or the room for data labels would leave the
// value axis a single label, texts are left out in a fixed order: the room for data labels past
// the bars' ends, the axis titles' second lines, the axis titles, the category labels (before
// the title that names them), the value labels.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/layout/axesgeometry.h"
#include "chart/layout/textfit.h"

namespace chart {

namespace {

// Category labels take at most this share of the chart: beside a horizontal chart of its width,
// below a vertical one (turned) of its height.
constexpr double kMaxLabelWidthShare = 0.3;
constexpr double kMaxLabelHeightShare = 0.4;
// Turned labels reach left of the plot by at most this share of the chart's width; the first
// labels are shortened to it.
constexpr double kMaxOverhangShare = 0.15;
// The 3D walls go back by 0.6 % of the smaller side per 3D percent, by at most 40 % of it.
constexpr double kDepthPerPercent = 0.6;
constexpr double kMaxDepthShare = 0.4;
// Bar boxes go back at most 1.3 times as far as the bars are thick (deeper ones would hide
// their neighbours), and at least a few pixels per depth row.
constexpr double kMaxDepthPerThickness = 1.3;
constexpr double kMinRowDepth = 4;
// Data labels that read upward take at most this share of the area past the bars' ends.
constexpr double kMaxLabelRoomShare = 0.25;
constexpr double kLabelRoomGap = 4;

double MaxLabelWidth(std::span<const std::string> labels, int count, int step, const QFont& font) {
  double width = 0;
  for (int i = 0; i < count; i += step) {
    width = std::max(width, TextWidth(font, CategoryLabel(labels, static_cast<std::size_t>(i))));
  }
  return width;
}

// `leastAngle`: the labels turn at least this far, as an earlier pass turned them, so that the
// passes settle rather than swing between a steeper and a flatter angle.
CategoryLabelFit FitCategoryLabels(std::span<const std::string> labels, const Plan& plan,
                                   double slot, double maxLength, const QFont& font,
                                   double leastAngle) {
  CategoryLabelFit fit;
  const double lineHeight = LineHeight(font);
  const double need = lineHeight + 2;  // across one label, between neighbours
  if (plan.categories == 0) return fit;
  if (!(slot >= need)) {
    // Every step-th label; a plot with no room at all keeps only the first.
    const double step = slot > 0 ? std::ceil(need / slot) : plan.categories;
    fit.step = static_cast<int>(std::clamp(step, 1.0, double(std::max(plan.categories, 1))));
  }
  const double widest = MaxLabelWidth(labels, plan.categories, fit.step, font);
  // Room for a whole label, or for a letter or two and "…" at least.
  const double leastWidth = std::min(widest, TextWidth(font, "Wi\u2026"));
  if (maxLength < leastWidth) return fit;
  fit.leastWidth = leastWidth;
  fit.maxWidth = std::min(widest, maxLength);
  if (fit.maxWidth == 0) return fit;
  if (plan.horizontal) {
    fit.extent = fit.maxWidth;
    return fit;
  }
  if (fit.step > 1) {
    fit.angle = 90;
  } else if (fit.maxWidth + 6 > slot) {
    // Just steep enough for neighbours to stand a line apart, in steps of 5 degrees.
    const double degrees = std::asin(std::min(1.0, need / slot)) * 180 / std::numbers::pi;
    fit.angle = std::clamp(std::ceil(degrees / 5) * 5, 30.0, 90.0);
  }
  fit.angle = std::max(fit.angle, leastAngle);
  const double radians = fit.angle * std::numbers::pi / 180;
  fit.extent = fit.maxWidth * std::sin(radians) + lineHeight * std::cos(radians);
  return fit;
}

// How far a turned first label reaches left of the plot: its text goes down to the left from the
// middle of its category, and its lower corner a half line further.
double LabelOverhang(const CategoryLabelFit& labels, double slot, double lineHeight) {
  if (labels.angle == 0 || labels.maxWidth <= 0) return 0;
  const double radians = labels.angle * std::numbers::pi / 180;
  return (labels.maxWidth + 1) * std::cos(radians) + lineHeight / 2 * std::sin(radians) - slot / 2;
}

// Labels no longer than `room` takes across the axis: beside a horizontal chart their width,
// below a vertical one their turned extent.
void ShortenToRoom(CategoryLabelFit& labels, double room, double lineHeight, bool horizontal) {
  // The room was kept for this extent, and has come back through a sum and a difference: a
  // rounding error is no reason to shorten the widest label.
  constexpr double kRounding = 1e-6;
  if (labels.extent <= room + kRounding) return;
  double width = room;
  if (!horizontal) {
    const double radians = labels.angle * std::numbers::pi / 180;
    width = labels.angle == 0 ? (lineHeight <= room ? labels.maxWidth : 0)
                              : (room - lineHeight * std::cos(radians)) / std::sin(radians);
  }
  labels.maxWidth = std::max(0.0, std::min(labels.maxWidth, width));
  if (labels.maxWidth < labels.leastWidth) labels.maxWidth = 0;  // too short to read: none
  labels.extent = room;
}

// The depth of the 3D walls for bars in slots of `slot` pixels, in whole pixels. Where bars show
// data labels, a box goes back no further than its bar is thick less a label's line, so that a
// label past its end clears the box beside it.
double FrameDepth(const ChartModel& model, const Plan& plan, QRectF area, double slot,
                  const LabelSizes& labels) {
  double depth = std::min(area.width(), area.height()) *
                 std::min(kMaxDepthShare, Depth3DShare(model) * kDepthPerPercent);
  if (plan.barCount > 0) {
    const double thickness = BarThickness(plan, slot);
    depth = std::min(depth, std::max(thickness * kMaxDepthPerThickness, kMinRowDepth) * plan.rows);
    if (labels.any && plan.rows == 1) {  // a pixel to spare for the rounding of the bars
      const double room = std::floor((thickness - labels.markAcross - 1) / kBoxDepthShare);
      depth = std::min(depth, std::max(kMinRowDepth, room));
    }
    // Bars in depth rows of their own: the last row's boxes end before the next category's
    // first row begins, so that no category's rows reach behind the next one's bars.
    if (plan.barGrouping == BarGrouping::None && plan.barCount > 1 && plan.rows > 1) {
      const double gap = slot - thickness;
      depth = std::min(depth, plan.rows * gap / (plan.rows - (1 - kBoxDepthShare)));
    }
  }
  // Rows of series go back a few pixels each at least, or the front ones would hide the rest.
  if (plan.deep && plan.rows > 1) {
    depth = std::max(depth, std::min(plan.rows * kMinRowDepth,
                                     std::min(area.width(), area.height()) * kMaxDepthShare));
  }
  return std::round(depth);
}

// Room past the bars' ends for their data labels: across the top of a vertical chart, the length
// of the longest label where the labels read upward (at most a share of the area), else a line;
// for labels in the small font where the mark's is too thick for the lane past a bar's end, and
// none where even the small one is. Where several labels stand past one bar (3D rows, where a
// value unit takes `pixels`), as many of those (of a horizontal chart, as many as do not stand
// above one another in the category's `slot`), up to the share, and at least one line across.
QSizeF LabelRoom(const Plan& plan, const LabelSizes& labels, double lane, double slot,
                 double pixels, QRectF area) {
  if (!labels.any) return {};
  const bool small = plan.barCount > 0 && labels.markAcross > lane;
  if (small && labels.smallAcross > lane) return {};
  const double along = small ? labels.smallAlong : labels.markAlong;
  const double across = small ? labels.smallAcross : labels.markAcross;
  const auto room = [&](double line, int beside, double share, double least) {
    const int count = LabelsPastTheLongest(labels, line + kLabelRoomGap, pixels);
    const int past = (count + beside - 1) / beside;
    const double lines = past * (line + kLabelRoomGap) - kLabelRoomGap;
    return std::min(lines, std::max(least, share * kMaxLabelRoomShare)) + kLabelRoomGap;
  };
  if (plan.horizontal) {
    // Labels stand beside one another from their own rows' lines, which leave one line unused.
    const int beside = std::max(1, static_cast<int>(slot / (across + kLabelRoomGap)) - 1);
    return QSizeF(room(along, beside, area.width(), 0), 0);
  }
  const bool upright = small ? along > lane : LabelsUpright(plan, labels, lane);
  return QSizeF(
      0, upright ? room(along, 1, area.height(), 0) : room(across, 1, area.height(), across));
}

// Whether a bar below zero shows its label: then the room for labels is kept past the plot's
// negative end too, as past its positive end, and the category labels stand beyond it.
bool HasLabelledNegativeBar(const std::vector<const SeriesModel*>& series, const Plan& plan) {
  return std::any_of(plan.fromZero.begin(), plan.fromZero.end(), [&](std::size_t s) {
    const SeriesModel& one = *series[s];
    return one.dataLabelsVisible &&
           std::any_of(one.points.begin(), one.points.end(),
                       [](const ChartPoint& p) { return std::isfinite(p.value) && p.value < 0; });
  });
}

// The plot may not get smaller than this share of the area in either direction before the texts
// around it are left out, in the order of kLeaveOutOrder.
constexpr double kMinPlotShare = 0.3;

constexpr AxisTexts kLeaveOutOrder[] = {{true, true, kAxisTitleLines, true},
                                        {false, true, kAxisTitleLines, true},
                                        {false, true, 1, true},
                                        {false, true, 0, true},
                                        {false, false, 0, true},
                                        {false, false, 0, false}};

QStringList AxisTitleLines(const ChartAxisTitle& title, const QFont& font, double length,
                           int lines) {
  if (lines == 0 || title.caption.empty()) return {};
  return Wrapped(font, DisplayText(title.caption).trimmed(), length, lines);
}

// The frame of one choice of texts around the plot.
class FrameFit {
 public:
  FrameFit(const AxisTexts& texts, const ChartModel& model,
           const std::vector<const SeriesModel*>& series, const Plan& plan,
           std::pair<double, double> range, QRectF area, const ChartLayout& layout,
           const LabelSizes& labels)
      : model_(model),
        series_(series),
        plan_(plan),
        range_(range),
        area_(area),
        fonts_(layout.scene.fonts),
        style_{layout.scene.fonts[FontRole::Tick], layout.numbers.locale},
        lineHeight_(LineHeight(style_.font)),
        maxLabelLength_(plan.horizontal ? area.width() * kMaxLabelWidthShare
                                        : area.height() * kMaxLabelHeightShare) {
    frame_.texts = texts;
    frame_.labelSizes = labels;
    negativeLabels_ = HasLabelledNegativeBar(series, plan);
  }

  Frame Fit() {
    FitTitles();
    QRectF plot = area_.adjusted(titleRoom_.width(), lineHeight_, -kGap, -titleRoom_.height());
    for (int pass = 0; pass < 5; ++pass) {
      const QRectF next = Pass(plot);
      if (pass > 0 && next == plot) break;
      plot = next;
    }
    Finish(plot);
    return frame_;
  }

 private:
  // Step 1: the room the titles take, at the left (width) and the bottom (height).
  void FitTitles() {
    const AxisTexts& texts = frame_.texts;
    const QFont& leftFont = fonts_[FontRole::LeftAxisTitle];
    const QFont& bottomFont = fonts_[FontRole::BottomAxisTitle];
    const auto room = [](const QStringList& lines, const QFont& font) {
      return lines.isEmpty() ? 0.0 : lines.size() * LineHeight(font) + kGap;
    };
    const double leftMost =
        model_.leftAxisTitle.caption.empty() ? 0 : texts.titleLines * LineHeight(leftFont) + kGap;
    frame_.bottomTitle = AxisTitleLines(model_.bottomAxisTitle, bottomFont,
                                        area_.width() - leftMost, texts.titleLines);
    frame_.leftTitle =
        AxisTitleLines(model_.leftAxisTitle, leftFont,
                       area_.height() - room(frame_.bottomTitle, bottomFont), texts.titleLines);
    titleRoom_ = QSizeF(room(frame_.leftTitle, leftFont), room(frame_.bottomTitle, bottomFont));
  }

  double Slot(QRectF plot) const {
    return (plan_.horizontal ? plot.height() : plot.width()) / std::max(plan_.categories, 1);
  }

  // Step 2, one pass: the plot that the texts around `plot` leave.
  QRectF Pass(QRectF plot) {
    const double slot = Slot(plot);
    frame_.depth = FrameDepth(model_, plan_, area_, slot, frame_.labelSizes);
    const double boxDepth = frame_.depth / plan_.rows * kBoxDepthShare;
    const double valueLength = std::max(1.0, plan_.horizontal ? plot.width() : plot.height());
    frame_.ticks =
        ValueTicks(range_, valueLength, RoomBeyondZero(series_, plan_), plan_.horizontal, style_);
    const double pixels = valueLength / (frame_.ticks.max - frame_.ticks.min);
    labelRoom_ = frame_.texts.markRoom
                     ? LabelRoom(plan_, frame_.labelSizes, LabelLane(plan_, slot, boxDepth), slot,
                                 std::isfinite(pixels) ? pixels : 0, area_)
                     : QSizeF();
    frame_.negativeLabelRoom =
        negativeLabels_ ? (plan_.horizontal ? labelRoom_.width() : labelRoom_.height()) : 0;
    frame_.numbers = AxisNumbersFor(frame_.ticks);
    frame_.numbers.percent = plan_.barGrouping == BarGrouping::Stacked100;
    frame_.labels = frame_.texts.categoryLabels
                        ? FitCategoryLabels(model_.labels, plan_, slot, maxLabelLength_,
                                            style_.font, leastAngle_)
                        : CategoryLabelFit{};
    leastAngle_ = frame_.labels.angle;
    categoryRoom_ = frame_.labels.extent > 0 ? frame_.labels.extent + kLabelOffset : 0;
    // Once a pass has needed the scale note, its room stays, so that the passes settle.
    if (!NoteText().isEmpty()) {
      noteWidth_ = std::max(noteWidth_, TextWidth(style_.font, NoteText()));
    }
    return area_.marginsRemoved(Margins(slot));
  }

  QMarginsF Margins(double slot) const {
    const bool ticks = frame_.texts.tickLabels && !frame_.ticks.values.empty();
    const double tickWidth = ticks ? MaxTickWidth(frame_.ticks, style_) : 0;
    const double note = ticks && noteWidth_ >= 0 ? noteWidth_ : -1;  // -1: no scale note
    const double depth = frame_.depth;
    QMarginsF m;
    if (plan_.horizontal) {
      const double lastHalf = ticks ? TextWidth(style_.font, TickText(frame_.numbers, style_.locale,
                                                                      frame_.ticks.values.back())) /
                                          2
                                    : 0;
      const double firstHalf =
          ticks ? TextWidth(style_.font,
                            TickText(frame_.numbers, style_.locale, frame_.ticks.values.front())) /
                      2
                : 0;
      m.setLeft(std::max({categoryRoom_, firstHalf + 1, kTick}) + frame_.negativeLabelRoom);
      m.setBottom(ticks ? lineHeight_ * (note >= 0 ? 2 : 1) + kLabelOffset : kTick);
      m.setRight(depth + kGap + std::max(lastHalf, labelRoom_.width()));
      m.setTop(depth + lineHeight_ / 2);
    } else {
      const double tickRoom = ticks ? std::max(tickWidth, note) + kLabelOffset : kTick;
      const double overhang = LabelOverhang(frame_.labels, slot, lineHeight_);
      m.setLeft(std::max(tickRoom, std::min(overhang, area_.width() * kMaxOverhangShare)));
      m.setBottom(std::max(categoryRoom_, kTick) + frame_.negativeLabelRoom);
      m.setRight(depth + kGap);
      const double noteRoom = note >= 0 ? lineHeight_ * 1.5 + 2 : lineHeight_ / 2 + 1;
      m.setTop(depth + std::max(labelRoom_.height(), noteRoom));
    }
    return m + QMarginsF(titleRoom_.width(), 0, 0, titleRoom_.height());
  }

  QString NoteText() const { return QString::fromStdString(ScaleNote(frame_.numbers)); }

  // Step 3. The passes may end before the plot keeps still: the category labels are fitted to
  // the final slot within the room kept for them, and tick labels that crowd on the final length
  // keep only the one nearest zero.
  void Finish(QRectF plot) {
    // On whole pixels, so that the edges of bars, which stand whole pixels from the plot's edges,
    // never run through the middle of a pixel: each bar has its pixels, however thin.
    plot = QRectF(QPointF(std::round(plot.left()), std::round(plot.top())),
                  QPointF(std::round(plot.right()), std::round(plot.bottom())));
    const double slot = Slot(plot);
    if (frame_.texts.categoryLabels) {
      frame_.labels =
          FitCategoryLabels(model_.labels, plan_, slot, maxLabelLength_, style_.font, leastAngle_);
      ShortenToRoom(frame_.labels, categoryRoom_ - kLabelOffset, lineHeight_, plan_.horizontal);
    }
    KeepOnlyTicksThatStandApart(frame_.ticks, plan_.horizontal ? plot.width() : plot.height(),
                                plan_.horizontal, style_);
    // The tick that keeps its label is written as it was measured, with its scale note.
    frame_.ticksCrowded = frame_.texts.tickLabels && frame_.ticks.values.size() < 2;
    frame_.labelsFrom = area_.left() + titleRoom_.width();
    frame_.plot = plot;
    const double negative = frame_.negativeLabelRoom;
    frame_.markRoom =
        plan_.horizontal
            ? plot.adjusted(-negative, -frame_.depth, frame_.depth + labelRoom_.width(), 0)
            : plot.adjusted(0, -frame_.depth - labelRoom_.height(), frame_.depth, negative);
  }

  const ChartModel& model_;
  const std::vector<const SeriesModel*>& series_;
  const Plan& plan_;
  std::pair<double, double> range_;
  QRectF area_;
  const ChartFonts& fonts_;
  TickStyle style_;
  double lineHeight_;
  double maxLabelLength_;
  Frame frame_;
  QSizeF titleRoom_;
  QSizeF labelRoom_;
  double categoryRoom_ = 0;
  double noteWidth_ = -1;  // the widest scale note a pass needed; -1 for none
  double leastAngle_ = 0;  // the category labels' angle in the last pass
  bool negativeLabels_ = false;
};

}  // namespace

// Texts around the plot are left out in a fixed order until the plot keeps its share of the
// area and the value axis more than one label; with every text left out the plot takes what
// remains.
Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartLayout& layout, const LabelSizes& labels) {
  Frame frame;
  for (const AxisTexts& texts : kLeaveOutOrder) {
    frame = FrameFit(texts, model, series, plan, range, area, layout, labels).Fit();
    const bool roomy = frame.plot.width() >= area.width() * kMinPlotShare &&
                       frame.plot.height() >= area.height() * kMinPlotShare;
    // The value axis keeps two labels at least while any text but the category labels could
    // give way to them: an axis reading "0" alone says nothing of its scale.
    const bool axisRead = !frame.ticksCrowded || !texts.categoryLabels;
    // Category labels too short to read go before the axis titles do, not after them.
    const bool labelsRead = !(frame.labels.leastWidth > 0 && frame.labels.maxWidth == 0);
    if (roomy && axisRead && labelsRead) break;
  }
  return frame;
}

}  // namespace chart
