#pragma once
// Two ways to build a chart for a test: a plain model for the layout and the painter, and a
// document, as the program builds one, for the document's own operations.

#include <QImage>
#include <QPainter>
#include <QSize>
#include <string>
#include <vector>

#include "chart/document/chartdocument.h"
#include "chart/layout/chartlayout.h"
#include "chart/render/chartpainter.h"

namespace chart {

// `scale` as RenderChart takes it (below).
inline ChartLayout LayoutOf(const ChartModel& model, double width, double height,
                            double scale = 1) {
  return LayoutChart(model, QSizeF(width, height), MakeChartFonts(model), scale);
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

// The data label of a point, or null where it has none; of a const layout or of one to change.
template <typename Layout>
auto DataLabelOf(Layout& layout, int series, int point) -> decltype(&layout.scene.texts.front()) {
  for (auto& item : layout.scene.texts) {
    if (item.role == TextRole::DataLabel && item.series == series && item.point == point)
      return &item;
  }
  return nullptr;
}

// A chart model with ChartModel's defaults (flat, legend shown), built in a few lines. Series
// take the labels "L0", "L1", ... unless a test adds its points with their own labels.
struct ModelBuilder {
  ChartModel model;

  SeriesModel& Add(SeriesKind kind, const std::vector<double>& values,
                   Color color = kAutomaticColor) {
    SeriesModel& added = model.series.emplace_back();
    added.kind = kind;
    added.dataLabelsVisible = Traits(kind).dataLabelsByDefault;
    added.paletteIndex = static_cast<int>(model.series.size()) - 1;
    for (double value : values)
      AddPoint(added, value, "L" + std::to_string(added.points.size()), color);
    return added;
  }

  void AddPoint(SeriesModel& to, double value, const std::string& label, Color color) {
    StoreCategoryLabel(model.labels, to.points.size(), label);
    to.points.push_back({value, color});
  }

  const ChartModel& Model() const { return model; }

  ChartLayout Layout(double width = 800, double height = 600) const {
    return LayoutOf(model, width, height);
  }
  QImage Render(int width = 800, int height = 600) const { return RenderOf(model, width, height); }
};

// A flat chart document, its series labelled "L0", "L1", ...
struct DocumentBuilder {
  ChartDocument document;

  DocumentBuilder() { document.SetView3D(false); }

  ChartSeries Add(SeriesKind kind, const std::vector<double>& values,
                  Color color = kAutomaticColor) {
    ChartSeries series = document.AddSeries(kind);
    for (std::size_t i = 0; i < values.size(); ++i)
      series.Add(values[i], "L" + std::to_string(i), color);
    return series;
  }

  void Resize(QSize size) {
    document.SetWidth(size.width());
    document.SetHeight(size.height());
  }

  ChartLayout Layout(double width = 800, double height = 600) const {
    return LayoutOf(document.Model(), width, height);
  }
  QImage Render(int width = 800, int height = 600) const {
    return RenderOf(document.Model(), width, height);
  }
};

}  // namespace chart
