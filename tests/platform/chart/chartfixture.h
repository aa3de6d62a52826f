#pragma once
// Two ways to build a chart for a test: a plain model for the layout and the painter, and the
// widget with series owned by the fixture, as the window owns them, for the widget's own
// behaviour.

#include <QImage>
#include <QPainter>
#include <deque>
#include <string>
#include <vector>

#include "chartlayout.h"
#include "chartpainter.h"
#include "tchart.h"

inline ChartLayout LayoutOf(const ChartModel& model, double width, double height) {
  return LayoutChart(model, QSizeF(width, height), MakeChartFonts(model));
}

// `scale` as RenderChart takes it: 1 as in the window, ImageTextScale for an image file.
inline QImage RenderOf(const ChartModel& model, int width, int height, double scale = 1) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  RenderChart(painter, model, QRectF(image.rect()), scale);
  return image;
}

// The chart as an image file of that size holds it.
inline QImage ImageFileOf(const ChartModel& model, int width, int height) {
  return RenderOf(model, width, height, ImageTextScale(QSizeF(width, height)));
}

// A chart model with ChartModel's defaults (flat, legend shown), built in a few lines. Series
// take the labels "L0", "L1", ... unless a test adds its points with their own labels.
struct ModelBuilder {
  ChartModel settings;
  std::vector<std::string> labels;
  std::deque<SeriesModel> series;  // a deque keeps the series in place as more are added

  SeriesModel& Add(SeriesKind kind, const std::vector<double>& values, TColor color = clAutomatic) {
    SeriesModel& added = series.emplace_back();
    added.kind = kind;
    added.marksVisible = MarksVisibleByDefault(kind);
    added.paletteIndex = static_cast<int>(series.size()) - 1;
    for (double value : values)
      AddPoint(added, value, "L" + std::to_string(added.points.size()), color);
    return added;
  }

  void AddPoint(SeriesModel& to, double value, const std::string& label, TColor color) {
    StoreCategoryLabel(labels, to.points.size(), label);
    to.points.push_back({value, color});
  }

  ChartModel Model() const {
    ChartModel model = settings;
    model.labels = labels;
    for (const SeriesModel& one : series) model.series.push_back(&one);
    return model;
  }

  ChartLayout Layout(double width = 800, double height = 600) const {
    return LayoutOf(Model(), width, height);
  }
  QImage Render(int width = 800, int height = 600) const {
    return RenderOf(Model(), width, height);
  }
};

struct ChartBuilder {
  QObject owner;
  TChart chart;

  ChartBuilder() { chart.SetView3D(false); }

  template <class Series>
  Series* Add(const std::vector<double>& values, TColor color = clAutomatic) {
    auto* series = new Series(&owner);
    for (std::size_t i = 0; i < values.size(); ++i) {
      series->Add(values[i], "L" + std::to_string(i), color);
    }
    chart.AddSeries(series);
    return series;
  }

  ChartLayout Layout(double width = 800, double height = 600) const {
    return LayoutOf(chart.Model(), width, height);
  }
  QImage Render(int width = 800, int height = 600) const {
    return RenderOf(chart.Model(), width, height);
  }
};
