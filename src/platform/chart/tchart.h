#pragma once
// The chart control: settings (titles, legend, 3D view, margins) and a list of series that
// it draws in the window, into a bitmap file and into a rectangle of a printer page. In the
// window, a tooltip names the bar, slice or line point under the pointer, or shows whole a text
// that the chart shortened.

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "chartmodel.h"
#include "series.h"

class QHelpEvent;
class QPainter;

class TChart : public QWidget {
  Q_OBJECT
 public:
  explicit TChart(QWidget* parent = nullptr);
  ~TChart() override;

  // The chart's size as asked, also where the widget cannot take it (QWidget::resize bounds
  // each side to 16,777,215): SaveToBitmapFile checks and reports the asked size. A later
  // resize to another size makes the widget's own size count again.
  void SetWidth(int width);
  void SetHeight(int height);
  int Width() const;
  int Height() const;

  void SetView3D(bool on);
  bool View3D() const { return view3D_; }
  void Set3DPercent(int percent);
  int Chart3DPercent() const { return percent3D_; }
  void SetOrthogonal(bool on);
  bool Orthogonal() const { return orthogonal_; }

  void SetLegendVisible(bool visible);
  bool LegendVisible() const { return legendVisible_; }

  void AddTitleLine(const std::string& line);
  void SetTitleFontStyle(FontStyle style);
  const ChartTitle& Title() const { return title_; }

  void SetLeftAxisTitle(const std::string& caption);
  void SetLeftAxisTitleFontStyle(FontStyle style);
  const ChartAxisTitle& LeftAxisTitle() const { return leftAxisTitle_; }
  void SetBottomAxisTitle(const std::string& caption);
  void SetBottomAxisTitleFontStyle(FontStyle style);
  const ChartAxisTitle& BottomAxisTitle() const { return bottomAxisTitle_; }

  // Index 0 left, 1 top, 2 right, 3 bottom; percent of the chart's width or height.
  // Other indexes are ignored.
  void SetMargin(int index, int percent);
  int Margin(int index) const;

  // The chart refers to the series; its owner frees it. A series other than a pie whose colour
  // is automatic takes the palette colour of its position, and the labels given with its
  // points so far join the chart's list. Adding a series twice does nothing; a series that is
  // in another chart is refused with an Exception.
  void AddSeries(TChartSeries* series);
  // Throws Exception when there is no series at that index.
  TChartSeries* GetSeries(int index) const;
  int SeriesCount() const { return static_cast<int>(series_.size()); }

  // Label k of every series' point k (see StoreCategoryLabel); shorter than the series where
  // the last labels are empty.
  const std::vector<std::string>& CategoryLabels() const { return labels_; }

  // The chart at exactly its current Width x Height as an image file, written atomically; the
  // name's ending chooses the format: ".png", ".svg", ".pdf" (one page of that size at 96 dpi),
  // else a 24-bit BMP (see chartimagefile.h). Throws Exception naming the file and the reason.
  // Sizes: each side 1 to 32767 pixels and at most kMaxBitmapPixels in all, for every format.
  static constexpr long long kMaxBitmapPixels = 256LL * 1024 * 1024;
  void SaveToBitmapFile(const std::string& fileName) const;

  // Draws the chart into `rect` of a device that `painter` has open (a printer page).
  void PrintPartial(QPainter& painter, const QRect& rect) const;

  // Everything the chart draws, for the layout step: a view of the chart and its series,
  // valid until either changes.
  ChartModel Model() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A tooltip names the bar, slice or line point under the pointer.
  bool event(QEvent* event) override;

 private:
  friend class TChartSeries;
  void Changed();
  void TakeLabel(std::size_t index, const std::string& label);
  void ForgetSeries(TChartSeries* series);
  void ShowPointTip(const QHelpEvent& help);

  std::optional<int> askedWidth_;
  std::optional<int> askedHeight_;
  bool view3D_ = true;
  int percent3D_ = 15;
  bool orthogonal_ = true;
  bool legendVisible_ = true;
  ChartTitle title_;
  ChartAxisTitle leftAxisTitle_;
  ChartAxisTitle bottomAxisTitle_;
  std::array<int, 4> margins_{};
  std::vector<TChartSeries*> series_;
  std::vector<std::string> labels_;
  bool repaintPending_ = false;
};
