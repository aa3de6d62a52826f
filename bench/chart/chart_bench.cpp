// Times layout and paint of typical and extreme charts into a QImage and prints the median.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "chartpainter.h"
#include "tchart.h"

namespace {

double MedianMilliseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Report(const char* name, TChart& chart, QSize size, int runs, double goal) {
  QImage image(size, QImage::Format_RGB32);
  const double ms = MedianMilliseconds(runs, [&] {
    QPainter painter(&image);
    RenderChart(painter, chart.Model(), QRectF(image.rect()), 1);
  });
  std::printf("%-44s %4dx%-4d %9.2f ms  (goal %g ms)\n", name, size.width(), size.height(), ms,
              goal);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  QApplication app(argc, argv);
  QObject owner;

  for (bool view3D : {false, true}) {
    TChart bars;
    bars.SetView3D(view3D);
    bars.AddTitleLine("");
    bars.AddTitleLine("Monthly revenue");
    for (int s = 0; s < 3; ++s) {
      auto* series = new TBarSeries(&owner);
      series->SetMultiBar(1);
      for (int m = 0; m < 12; ++m) series->Add(10 + (m * 7 + s * 5) % 13, "Month", clAutomatic);
      bars.AddSeries(series);
    }
    Report(
        view3D ? "bar chart, 12 categories x 3 series, 3D" : "bar chart, 12 categories x 3 series",
        bars, QSize(800, 600), 200, 5);
  }

  for (bool view3D : {false, true}) {
    TChart lines;
    lines.SetView3D(view3D);
    auto* line = new TLineSeries(&owner);
    for (int i = 0; i < 1000000; ++i)
      line->Add(std::sin(i * 1e-4) * 100 + (i % 97), "", clAutomatic);
    lines.AddSeries(line);
    Report(view3D ? "line, 1,000,000 points, 3D" : "line, 1,000,000 points", lines,
           QSize(1920, 1080), 15, 150);
  }
  return 0;
}
