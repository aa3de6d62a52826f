// Times layout and paint of typical and extreme charts into a QImage, and adding the points of
// a large data file, and prints the median.

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "chart/document/chartdocument.h"
#include "chart/export/chartimagefile.h"
#include "chart/render/chartpainter.h"

using namespace chart;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double MedianMilliseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(MillisecondsSince(start));
  }
  return Median(times);
}

void Report(const char* name, ChartDocument& chart, QSize size, int runs, double goal) {
  QImage image(size, QImage::Format_RGB32);
  const double ms = MedianMilliseconds(runs, [&] {
    QPainter painter(&image);
    RenderChart(painter, chart.Model(), QRectF(image.rect()), 1);
  });
  std::printf("%-44s %4dx%-4d %9.2f ms  (goal %g ms)\n", name, size.width(), size.height(), ms,
              goal);
}

// Encoding a drawn chart, and the whole of SaveToBitmapFile (layout, paint, encoding, and the
// atomic write with its flush to disk) into a temporary folder.
void ReportSaving(ChartDocument& chart, QSize size, double goal) {
  QImage image(size, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    RenderChart(painter, chart.Model(), QRectF(image.rect()), 1);
  }
  for (ImageFileFormat format : {ImageFileFormat::Bmp, ImageFileFormat::Png}) {
    qint64 bytes = 0;
    const double ms = MedianMilliseconds(50, [&] {
      QBuffer buffer;
      buffer.open(QIODevice::WriteOnly);
      EncodeRasterImage(image, format, buffer);
      bytes = buffer.size();
    });
    std::printf("encoding the bar chart as %-18s %4dx%-4d %9.2f ms  (goal %g ms), %lld bytes\n",
                format == ImageFileFormat::Png ? "PNG" : "BMP", size.width(), size.height(), ms,
                goal, static_cast<long long>(bytes));
  }
  QTemporaryDir folder;
  chart.SetWidth(size.width());
  chart.SetHeight(size.height());
  for (const char* name : {"chart.bmp", "chart.png", "chart.svg", "chart.pdf"}) {
    const std::string path = folder.filePath(name).toStdString();
    const double ms = MedianMilliseconds(50, [&] { chart.SaveToBitmapFile(path); });
    std::printf("saving the bar chart as %-20s %4dx%-4d %9.2f ms\n", name, size.width(),
                size.height(), ms);
  }
}

// Points added record by record, as the data file is read: one point of every series per
// record, each with the record's label. Only the adding is timed.
double AddToChartMilliseconds(const std::vector<std::string>& labels, int seriesCount) {
  ChartDocument chart;
  std::vector<ChartSeries> series;
  for (int s = 0; s < seriesCount; ++s) series.push_back(chart.AddSeries(SeriesKind::Bar));
  const auto start = Clock::now();
  for (std::size_t r = 0; r < labels.size(); ++r) {
    for (ChartSeries& one : series) one.Add(double(r % 1000), labels[r], kAutomaticColor);
  }
  return MillisecondsSince(start);
}

// The same values and labels appended to plain vectors: the floor that the machine's memory
// sets, to read the figure above against.
double AppendToVectorsMilliseconds(const std::vector<std::string>& labels, int seriesCount) {
  std::vector<std::vector<ChartPoint>> points(static_cast<std::size_t>(seriesCount));
  std::vector<std::string> kept;
  const auto start = Clock::now();
  for (std::size_t r = 0; r < labels.size(); ++r) {
    for (auto& one : points) one.push_back({double(r % 1000), kAutomaticColor});
    kept.push_back(labels[r]);
  }
  return MillisecondsSince(start);
}

void ReportAdding(const char* name, const char* goal, const std::function<double()>& timed) {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) times.push_back(timed());
  std::printf("%-54s %9.2f ms  (%s)\n", name, Median(times), goal);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  QGuiApplication app(argc, argv);

  for (bool view3D : {false, true}) {
    ChartDocument bars;
    bars.SetView3D(view3D);
    bars.AddTitleLine("");
    bars.AddTitleLine("Monthly revenue");
    for (int s = 0; s < 3; ++s) {
      ChartSeries series = bars.AddSeries(SeriesKind::Bar);
      series.SetMultiBar(1);
      for (int m = 0; m < 12; ++m) series.Add(10 + (m * 7 + s * 5) % 13, "Month", kAutomaticColor);
    }
    Report(
        view3D ? "bar chart, 12 categories x 3 series, 3D" : "bar chart, 12 categories x 3 series",
        bars, QSize(800, 600), 200, 5);
    if (!view3D) ReportSaving(bars, QSize(800, 600), 5);
  }

  for (bool view3D : {false, true}) {
    ChartDocument lines;
    lines.SetView3D(view3D);
    ChartSeries line = lines.AddSeries(SeriesKind::Line);
    for (int i = 0; i < 1000000; ++i)
      line.Add(std::sin(i * 1e-4) * 100 + (i % 97), "", kAutomaticColor);
    Report(view3D ? "line, 1,000,000 points, 3D" : "line, 1,000,000 points", lines,
           QSize(1920, 1080), 15, 150);
  }

  std::vector<std::string> labels;
  for (int r = 1; r <= 1000000; ++r) labels.push_back("Record " + std::to_string(r));
  ReportAdding("adding 1,000,000 points x 3 series", "goal 100 ms",
               [&] { return AddToChartMilliseconds(labels, 3); });
  ReportAdding("  the same into plain vectors", "for comparison",
               [&] { return AppendToVectorsMilliseconds(labels, 3); });
  return 0;
}
