// Fuzz target: any bytes as chart settings and series of any values (NaN, infinities, huge,
// tiny), laid out, checked against the layout's guarantees (a broken one aborts, with what it
// broke), and painted into a small image.

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "chart/document/chartdocument.h"
#include "chart/layout/chartlayout.h"
#include "fuzzgui.h"
#include "layoutcheck/layoutguarantees.h"

using namespace chart;

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  double Value() {
    double value = 0;
    if (at_ + sizeof value <= size_) std::memcpy(&value, data_ + at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  std::string Label() {
    const std::size_t length = Byte() % 40;
    std::string label;
    for (std::size_t i = 0; i < length; ++i) label += static_cast<char>(Byte());
    return label;
  }
  bool Done() const { return at_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

SeriesKind KindOf(std::uint8_t kind) {
  constexpr SeriesKind kinds[] = {SeriesKind::Pie, SeriesKind::Line, SeriesKind::Bar,
                                  SeriesKind::HorizBar};
  return kinds[kind % 4];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzGui();
  Reader in(data, size);
  ChartDocument chart;
  chart.SetView3D(in.Byte() & 1);
  chart.Set3DPercent(static_cast<std::int8_t>(in.Byte()));
  chart.SetLegendVisible(in.Byte() & 1);
  chart.AddTitleLine(in.Label());
  chart.SetLeftAxisTitle(in.Label());
  for (int i = 0; i < 4; ++i) chart.SetMargin(i, static_cast<std::int8_t>(in.Byte()));
  const std::uint8_t kind = in.Byte();
  const int seriesCount = in.Byte() % 4;
  for (int s = 0; s < seriesCount; ++s) {
    ChartSeries series = chart.AddSeries(KindOf(kind));
    series.SetMarksVisible(in.Byte() & 1);
    if (series.Kind() == SeriesKind::Bar || series.Kind() == SeriesKind::HorizBar) {
      series.SetMultiBar(in.Byte());
    }
  }
  while (!in.Done() && seriesCount > 0) {
    const std::string label = in.Label();
    for (int s = 0; s < seriesCount; ++s) {
      const Color color = in.Byte() & 1 ? kAutomaticColor : Color(in.Byte()) * 0x010101u;
      chart.GetSeries(s).Add(in.Value(), label, color);
    }
  }
  QImage image(160 + in.Byte(), 120 + in.Byte(), QImage::Format_RGB32);
  const ChartModel& model = chart.Model();
  const ChartLayout layout = LayoutChart(model, QSizeF(image.size()), MakeChartFonts(model));
  const std::vector<BrokenGuarantee> broken = BrokenGuarantees(model, layout);
  if (!broken.empty()) {
    std::fprintf(stderr, "%s", DescribeBroken(broken).c_str());
    std::abort();
  }
  QPainter painter(&image);
  chart.PrintPartial(painter, image.rect());
  return 0;
}
