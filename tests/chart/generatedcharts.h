#pragma once
// Charts generated for the layout's properties: every style, view, mode, size, text, number of
// series and values, and the reader's locale, from a seed; a quarter of them business charts as
// hosts make them every day.

#include <QLocale>
#include <QSizeF>
#include <clocale>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "chartfixture.h"

namespace chart {

// The locales a chart is read in; the process's own locale is set to each in turn where the
// system has it (scripts/setup.sh makes them).
inline constexpr const char* kLocales[] = {"C", "en_US", "de_DE", "fr_FR"};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  double Uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random_);
  }
  template <class T>
  T OneOf(std::initializer_list<T> items) {
    return *(items.begin() + Below(static_cast<int>(items.size())));
  }

  // A text of about `length` characters, words of a business report, or a number ending that
  // tells apart labels that start alike.
  std::string Text(int length, int number) {
    static const char* const kWords[] = {"Product", "line",    "number", "Units",    "sold", "per",
                                         "Région",  "quarter", "total",  "Ångström", "x"};
    std::string text;
    while (static_cast<int>(text.size()) < length) {
      if (!text.empty()) text += ' ';
      text += kWords[Below(std::size(kWords))];
    }
    text.resize(static_cast<std::size_t>(length));
    while (!text.empty() && (text.back() & 0x80)) text.pop_back();  // whole letters only
    if (Chance(0.5) && length > 0) text += " " + std::to_string(number);
    return text;
  }
  int TextLength() { return OneOf({0, 1, 4, 12, 30, 100}); }

  int Categories() {
    const double pick = Uniform(0, 1);
    if (pick < 0.005) return 100000;
    if (pick < 0.02) return OneOf({5000, 20000});
    if (pick < 0.1) return OneOf({150, 500, 2000});
    return OneOf({0, 1, 2, 3, 5, 7, 12, 24, 60});
  }

  std::vector<double> Values(int count, int shape, double scale) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
      switch (shape) {
        case 0:
          values.push_back(0);
          break;
        case 1:
          values.push_back(scale);
          break;
        case 2:
          values.push_back(Uniform(0, scale));
          break;
        case 3:
          values.push_back(Uniform(-scale, scale));
          break;
        case 4:
          values.push_back(i == count / 2 ? scale : scale * 1e-4);
          break;
        case 5:
          values.push_back(OneOf({1.79e308, -1.79e308, 1e307, 0.0}));
          break;
        case 6:
          values.push_back(Uniform(-1, 1) * 1e-300);
          break;
        case 8:  // a segment a thousandth of its stack
          values.push_back(i % 3 == 1 ? scale * 1e-3 : Uniform(0.5, 1) * scale);
          break;
        case 9:  // business figures, now and then below zero; money in cents
          values.push_back(Cents(Uniform(Chance(0.15) ? -0.4 : 0.2, 1) * scale, scale));
          break;
        case 7:  // variances: gains, losses and months without change
          values.push_back(Chance(0.2) ? 0.0 : Uniform(-1, 1) * scale);
          break;
        default:
          values.push_back(OneOf({std::nan(""), 1.0, -2.5, 0.0}));
          break;
      }
    }
    return values;
  }

  // Amounts of money keep their cents, where a scale of at least 1 (and below 10¹²) makes them
  // money.
  static double Cents(double value, double scale) {
    return scale >= 1 && scale < 1e12 ? std::round(value * 100) / 100 : value;
  }

  QSizeF Size() {
    if (Chance(0.08)) return QSizeF(160, 120);
    const double w = std::exp(Uniform(std::log(160.0), std::log(4000.0)));
    const double h = std::exp(Uniform(std::log(120.0), std::log(3000.0)));
    return QSizeF(std::round(w), std::round(h));
  }

 private:
  std::mt19937 random_;
};

struct Case {
  ModelBuilder chart;
  QSizeF logical;
  std::string description;
  const char* locale = "C";
  bool business = false;
  double scale = 1;  // device pixels per logical pixel: an image's text scale, else 1
  bool image = false;
};

// The process's locale for one chart, and back to the one before.
class ProcessLocale {
 public:
  explicit ProcessLocale(const char* name)
      : before_(std::setlocale(LC_ALL, nullptr)), language_(qgetenv("LANG")) {
    const std::string full = std::string(name) == "C" ? "C" : std::string(name) + ".UTF-8";
    std::setlocale(LC_ALL, full.c_str());  // stays C where the system lacks it
    qputenv("LANG", full.c_str());
  }
  ~ProcessLocale() {
    std::setlocale(LC_ALL, before_.c_str());
    qputenv("LANG", language_);
  }

 private:
  std::string before_;
  QByteArray language_;
};

// A chart as hosts make them every day: two or three data sets of twelve to forty categories,
// side by side or stacked, with data labels, as an image of 800 x 600 or 1200 x 700.
inline void MakeBusinessChart(Generator& g, Case& c, SeriesKind& kind, int& categories, int& mode,
                              int& shape) {
  kind = g.OneOf({SeriesKind::Bar, SeriesKind::Bar, SeriesKind::HorizBar});
  categories = g.OneOf({12, 24, 36, 40});
  mode = g.OneOf({1, 1, 2, 0});
  shape = g.OneOf({9, 9, 8, 3});
  c.business = true;
}

inline Case Generate(Generator& g) {
  Case c;
  ChartModel& settings = c.chart.model;
  SeriesKind kind =
      g.OneOf({SeriesKind::Pie, SeriesKind::Line, SeriesKind::Bar, SeriesKind::HorizBar});
  settings.view3D = g.Chance(0.5);
  settings.percent3D = g.OneOf({15, 15, 0, 40, 100});
  settings.legendVisible = g.Chance(0.6);
  settings.title.lines.resize(static_cast<std::size_t>(g.OneOf({0, 1, 2, 3, 10})));
  for (std::string& line : settings.title.lines) line = g.Text(g.TextLength(), 1);
  settings.leftAxisTitle.caption = g.Text(g.TextLength(), 2);
  settings.bottomAxisTitle.caption = g.Text(g.TextLength(), 3);
  if (g.Chance(0.2)) settings.margins = {g.Below(20), g.Below(20), g.Below(20), g.Below(20)};
  c.locale = kLocales[g.Below(4)];
  settings.numbers = NumberLocaleOf(QLocale(QString(c.locale)));
  int seriesCount = 1 + g.Below(10);
  int categories = g.Categories();
  int mode = g.OneOf({0, 1, 2, 3, 7});
  int shape = g.Below(10);
  if (g.Chance(0.25)) {
    MakeBusinessChart(g, c, kind, categories, mode, shape);
    seriesCount = 2 + g.Below(2);
  } else if (kind == SeriesKind::Pie && g.Chance(0.5)) {
    categories = 2 + g.Below(59);  // a pie of 2 to 60 slices
  }
  const int labelLength = g.OneOf({0, 2, 8, 30, 100});
  const bool marks = c.business || g.Chance(0.5);
  for (int s = 0; s < seriesCount; ++s) {
    if (!c.business && g.Chance(0.2)) shape = g.Below(10);  // now and then another shape
    const double scale = std::pow(10.0, g.Below(25) - 9);   // 1e-9 to 1e15
    SeriesModel& series = c.chart.Add(kind, {});
    series.title = g.Text(g.TextLength(), s);
    series.barGrouping = BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
    series.dataLabelsVisible = kind == SeriesKind::Pie || (kind != SeriesKind::Line && marks);
    for (double value : g.Values(categories, shape, scale)) {
      const int k = static_cast<int>(series.points.size());
      c.chart.AddPoint(series, value, labelLength > 0 ? g.Text(labelLength, k) : "",
                       kAutomaticColor);
    }
  }
  // An image file is laid out at its size over its text scale; the window and a printed page at
  // their size in logical pixels.
  const QSizeF size = c.business ? g.OneOf({QSizeF(800, 600), QSizeF(1200, 700)}) : g.Size();
  const bool image = c.business || g.Chance(0.5);
  c.image = image;
  c.scale = image ? ImageTextScale(size) : 1;
  c.logical = size / c.scale;
  std::ostringstream text;
  text << "kind " << int(kind) << (settings.view3D ? " 3D " : " flat ") << settings.percent3D
       << " % mode " << mode << ", " << seriesCount << " series x " << categories
       << " categories, shape " << shape << ", " << (image ? "image " : "window ") << size.width()
       << " x " << size.height() << ", labels " << labelLength << ", title lines "
       << settings.title.lines.size() << ", locale " << c.locale;
  c.description = text.str();
  return c;
}

}  // namespace chart
