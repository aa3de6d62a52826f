#pragma once
// The chart document: everything one chart shows, owned as plain data, with the operations that
// build it (by the chart control's names), the size it is drawn at, its image file and its
// drawing into a rectangle of a printer page. It needs no widget and no GUI thread: the window
// shows one (TChart), and a batch run builds one on each of its threads.

#include <functional>
#include <string>
#include <vector>

#include "chart/model/chartmodel.h"

class QPainter;
class QRect;

namespace chart {

class ChartDocument;

// The number a host passes to tell how several bar series share a category; the model keeps the
// BarGrouping it names.
using TMultiBar = std::uint8_t;

// A series of a document, by its index: what series creation and data loading do to it.
class ChartSeries {
 public:
  SeriesKind Kind() const { return Data().kind; }

  Color SeriesColor() const { return Data().color; }
  void SetSeriesColor(Color color);

  const std::string& Title() const { return Data().title; }
  void SetTitle(const std::string& title);

  bool MarksVisible() const { return Data().dataLabelsVisible; }
  void SetMarksVisible(bool visible);

  // Stores BarGroupingFromNumber(number); bar series read it.
  void SetMultiBar(TMultiBar number);
  BarGrouping MultiBarMode() const { return Data().barGrouping; }

  // Appends one point after the earlier ones; the label joins the chart's (StoreCategoryLabel).
  void Add(double value, const std::string& label, Color color);
  const std::vector<ChartPoint>& Points() const { return Data().points; }

  const SeriesModel& Data() const;

 private:
  friend class ChartDocument;
  ChartSeries(ChartDocument& document, std::size_t index) : document_(&document), index_(index) {}
  SeriesModel& Edit();

  ChartDocument* document_;
  std::size_t index_;
};

class ChartDocument {
 public:
  ChartDocument();

  // Called after every change, for a viewer that shows the chart (the window repaints).
  void OnChange(std::function<void()> listener) { listener_ = std::move(listener); }

  const ChartModel& Model() const { return model_; }

  // The size the chart is drawn at in its image file; at first the window's chart size.
  void SetWidth(int width);
  void SetHeight(int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  void SetView3D(bool on);
  void Set3DPercent(int percent);
  void SetOrthogonal(bool on);
  void SetLegendVisible(bool visible);
  // How the chart writes its numbers; NumberLocale's defaults until set.
  void SetNumberLocale(const NumberLocale& numbers);
  void AddTitleLine(const std::string& line);
  void SetTitleFontStyle(FontStyle style);
  void SetLeftAxisTitle(const std::string& caption);
  void SetLeftAxisTitleFontStyle(FontStyle style);
  void SetBottomAxisTitle(const std::string& caption);
  void SetBottomAxisTitleFontStyle(FontStyle style);
  // Index 0 left, 1 top, 2 right, 3 bottom; percent of the chart's width or height. Other
  // indexes are ignored.
  void SetMargin(int index, int percent);
  int Margin(int index) const;

  // A new empty series of that kind at the next index. A series other than a pie takes the
  // palette colour of its index; a pie keeps "automatic", so its slices take the palette's.
  ChartSeries AddSeries(SeriesKind kind);
  // Throws Exception where there is no series at that index.
  ChartSeries GetSeries(int index);
  int SeriesCount() const { return static_cast<int>(model_.series.size()); }

  // Label k of every series' point k (see StoreCategoryLabel).
  const std::vector<std::string>& CategoryLabels() const { return model_.labels; }

  // The chart at exactly Width() x Height() as an image file, written atomically; the name's
  // ending chooses the format (see imageformats.h). Each side 1 to 32767 pixels and at most
  // kMaxBitmapPixels in all, for every format. Throws Exception naming the file and the reason.
  static constexpr long long kMaxBitmapPixels = 256LL * 1024 * 1024;
  void SaveToBitmapFile(const std::string& fileName) const;

  // Draws the chart into `rect` of a device that `painter` has open (a printer page), its texts
  // and pens at their size on that device.
  void PrintPartial(QPainter& painter, const QRect& rect) const;

 private:
  friend class ChartSeries;
  void Changed();

  ChartModel model_;
  int width_;
  int height_;
  std::function<void()> listener_;
};

}  // namespace chart
