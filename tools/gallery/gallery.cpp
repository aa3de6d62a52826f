// Renders every chart style in flat and 3D into PNG files, as the window shows them.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "chartpainter.h"
#include "tchart.h"

namespace {

const std::vector<std::string> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const std::vector<std::vector<double>> kSales = {
    {12.5, 14, 13.2, 17.8, 19.1, 22.4, 25, 24.2, 20.3, 18.7, 15.2, 13.9},
    {8.1, 9.4, 11.7, 10.2, 12.8, 14.1, 13.5, 15.9, 16.4, 14.8, 12.1, 10.6},
    {-3.2, 2.5, 4.8, 6.1, 5.4, -1.8, 3.9, 7.2, 8.8, 6.5, 4.1, 2.2}};
const std::vector<std::string> kProducts = {"Hardware", "Software", "Services"};

void StartChart(TChart& chart, const std::string& title) {
  chart.AddTitleLine("");  // the window's design starts with one empty line
  chart.AddTitleLine(title);
  chart.SetLegendVisible(true);
  // The window gives every title a bold font.
  chart.SetTitleFontStyle({true, false});
  chart.SetLeftAxisTitleFontStyle({true, false});
  chart.SetBottomAxisTitleFontStyle({true, false});
}

template <class Series>
void AddSalesSeries(TChart& chart, QObject* owner, TMultiBar mode, int count = 3) {
  for (int s = 0; s < count; ++s) {
    auto* series = new Series(owner);
    series->SetTitle(kProducts[s]);
    if constexpr (std::is_base_of_v<TCustomBarSeries, Series>) series->SetMultiBar(mode);
    for (std::size_t m = 0; m < kMonths.size(); ++m)
      series->Add(kSales[s][m], kMonths[m], clAutomatic);
    chart.AddSeries(series);
  }
}

void AddPie(TChart& chart, QObject* owner, const std::string& title,
            const std::vector<double>& values) {
  static const std::vector<std::string> regions = {"North",   "South",    "East",  "West",
                                                   "Central", "Overseas", "Online"};
  auto* pie = new TPieSeries(owner);
  pie->SetTitle(title);
  for (std::size_t i = 0; i < values.size(); ++i) pie->Add(values[i], regions[i], clAutomatic);
  chart.AddSeries(pie);
}

struct Style {
  std::string name;
  std::function<void(TChart&, QObject*)> build;
};

std::vector<Style> Styles() {
  return {
      {"bar_none",
       [](TChart& c, QObject* o) {
         StartChart(c, "Monthly revenue (overlapping bars)");
         AddSalesSeries<TBarSeries>(c, o, 0);
       }},
      {"bar_side",
       [](TChart& c, QObject* o) {
         StartChart(c, "Monthly revenue by product");
         c.SetLeftAxisTitle("Revenue (k EUR)");
         c.SetBottomAxisTitle("Month");
         AddSalesSeries<TBarSeries>(c, o, 1);
       }},
      {"bar_stacked",
       [](TChart& c, QObject* o) {
         StartChart(c, "Monthly revenue, stacked");
         AddSalesSeries<TBarSeries>(c, o, 2);
       }},
      {"bar_stacked100",
       [](TChart& c, QObject* o) {
         StartChart(c, "Share of monthly revenue");
         AddSalesSeries<TBarSeries>(c, o, 3, 2);
       }},
      {"horizbar",
       [](TChart& c, QObject* o) {
         StartChart(c, "Revenue per month");
         AddSalesSeries<THorizBarSeries>(c, o, 1, 2);
       }},
      {"line",
       [](TChart& c, QObject* o) {
         StartChart(c, "Revenue trend");
         c.SetLeftAxisTitle("k EUR");
         AddSalesSeries<TLineSeries>(c, o, 0);
       }},
      {"pie",
       [](TChart& c, QObject* o) {
         StartChart(c, "Sales by region");
         AddPie(c, o, "2024", {42, 27, 18, 9, 3, 0.4, 12});
       }},
      {"pies",
       [](TChart& c, QObject* o) {
         StartChart(c, "Sales by region, two years");
         AddPie(c, o, "2023", {38, 30, 15, 11, 4});
         AddPie(c, o, "2024", {42, 27, 18, 9, 3});
       }},
      {"long_labels",
       [](TChart& c, QObject* o) {
         StartChart(c, "Thirty categories with long labels");
         auto* series = new TBarSeries(o);
         for (int i = 0; i < 30; ++i) {
           series->Add((i * 37 % 23) * 1.5 - 5, "Department number " + std::to_string(i + 1),
                       clAutomatic);
         }
         c.AddSeries(series);
       }},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("docs/gallery");
  QDir().mkpath(out);
  QObject owner;
  for (const Style& style : Styles()) {
    for (bool view3D : {false, true}) {
      TChart chart;
      chart.SetView3D(view3D);
      style.build(chart, &owner);
      QImage image(585, 401, QImage::Format_RGB32);
      QPainter painter(&image);
      RenderChart(painter, chart.Model(), QRectF(image.rect()), 1);
      painter.end();
      const QString file =
          out + "/" + QString::fromStdString(style.name) + (view3D ? "_3d.png" : "_flat.png");
      if (!image.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
      }
    }
  }
  return 0;
}
