#pragma once
// A chart with series owned by the fixture, as the window owns them.

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "chartlayout.h"
#include "chartpainter.h"
#include "tchart.h"

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
    const ChartModel model = chart.Model();
    return LayoutChart(model, QSizeF(width, height), MakeChartFonts(model));
  }

  QImage Render(int width = 800, int height = 600) const {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    RenderChart(painter, chart.Model(), QRectF(image.rect()), 1);
    return image;
  }
};
