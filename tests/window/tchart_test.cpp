// The window's chart control: it repaints when its document changes, and its tooltips name what
// lies under the pointer or show a shortened text whole.

#include "window/tchart.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QTransform>
#include <functional>

#include "chart/layout/chartlayout.h"
#include "chart/render/chartpainter.h"

using namespace chart;

namespace {

// The chart as the window shows it: flat, at `size`, shown.
void Show(TChart& chart, QSize size) {
  chart.Document().SetView3D(false);
  chart.resize(size);
  chart.show();
}

ChartLayout LayoutOf(const TChart& chart) {
  const ChartModel& model = chart.Document().Model();
  return LayoutChart(model, QSizeF(chart.size()), MakeChartFonts(model));
}

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Lets the event loop run until the chart has been painted once more, for at most two seconds.
bool PaintedAgain(const PaintCounter& counter, int before) {
  QElapsedTimer timer;
  timer.start();
  while (counter.paints == before && timer.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return counter.paints > before;
}

TEST(Repaint, EveryKindOfChangeRepaintsAShownChart) {
  TChart chart;
  ChartSeries series = chart.Document().AddSeries(SeriesKind::Bar);
  series.Add(1, "A", kAutomaticColor);
  PaintCounter counter;
  chart.installEventFilter(&counter);
  Show(chart, QSize(200, 150));
  ASSERT_TRUE(PaintedAgain(counter, 0)) << "shown at last, after changes made while hidden";
  const std::function<void()> changes[] = {
      [&] { series.Add(3, "C", kAutomaticColor); },
      [&] {
        for (int i = 0; i < 1000; ++i) series.Add(i, "", kAutomaticColor);
      },
      [&] { series.SetTitle("Sales"); },
      [&] { chart.Document().SetTitleFontStyle({.bold = true, .italic = true}); },
      [&] { chart.Document().SetView3D(true); },
      [&] { chart.Document().AddSeries(SeriesKind::Line); },
  };
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    const int before = counter.paints;
    changes[i]();
    EXPECT_TRUE(PaintedAgain(counter, before)) << "change " << i;
  }
}

TEST(Repaint, TheWidgetPaintsWhatTheDocumentDraws) {
  TChart chart;
  ChartSeries series = chart.Document().AddSeries(SeriesKind::Bar);
  for (double value : {4, 2}) series.Add(value, "", 0x0000FF);
  chart.Document().SetView3D(false);
  chart.resize(400, 300);
  QImage drawn(400, 300, QImage::Format_RGB32);
  {
    QPainter painter(&drawn);
    RenderChart(painter, chart.Document().Model(), QRectF(drawn.rect()), 1);
  }
  EXPECT_EQ(chart.grab().toImage().convertToFormat(QImage::Format_RGB32), drawn);
}

// Whether the tip showing goes within two seconds (a tip fades out over a moment).
bool TipGoes() {
  QElapsedTimer timer;
  timer.start();
  while (QToolTip::isVisible() && timer.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return !QToolTip::isVisible();
}

// Rests the pointer at `at` of a shown chart: the tip's text, or empty.
QString RestAt(TChart& chart, QPoint at) {
  QHelpEvent help(QEvent::ToolTip, at, chart.mapToGlobal(at));
  QCoreApplication::sendEvent(&chart, &help);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The same with no other tip showing.
QString TipAt(TChart& chart, QPoint at) {
  QToolTip::hideText();
  TipGoes();
  return RestAt(chart, at);
}

TEST(Tooltip, NamesTheSeriesTheLabelAndTheValueUnderThePointer) {
  TChart chart;
  ChartSeries series = chart.Document().AddSeries(SeriesKind::Bar);
  series.SetTitle("<North>");  // a title is text, never markup
  series.Add(12, "L0", kAutomaticColor);
  series.Add(15, "L1", kAutomaticColor);
  Show(chart, QSize(400, 300));
  chart.Document().SetView3D(true);
  const ChartLayout layout = LayoutOf(chart);
  const QRectF bar = layout.geometry.bars.at(1).front;
  struct Case {
    QPoint at;
    QString tip;
  };
  for (const Case& c :
       {Case{bar.center().toPoint(), "<b>&lt;North&gt;</b><br>L1: 15"},
        Case{(bar.topRight() + QPointF(layout.geometry.depthOffset.x() / 2, -2)).toPoint(),
             "<b>&lt;North&gt;</b><br>L1: 15"},
        Case{QPoint(2, 2), ""}, Case{(bar.topLeft() - QPointF(0, 20)).toPoint(), ""}}) {
    const QString tip = TipAt(chart, c.at);
    if (c.tip.isEmpty()) {
      EXPECT_EQ(tip, "") << c.at.x() << "," << c.at.y();
    } else {
      EXPECT_TRUE(tip.contains(c.tip)) << tip.toStdString();
    }
  }
  // Moved from a bar to where no data is, the pointer's tip goes.
  ASSERT_FALSE(TipAt(chart, bar.center().toPoint()).isEmpty());
  RestAt(chart, QPoint(2, 2));
  EXPECT_TRUE(TipGoes());
  QToolTip::hideText();
}

// Texts too long for their room are shortened in the chart and shown whole in the tooltip: a
// legend entry, a title line, an axis title (turned).
TEST(Tooltip, ShowsWholeWhatTheChartShortened) {
  const QString entry = QString(60, 'N') + " <region>", title = QString(80, 'T') + " & more",
                axis = QString(70, 'U') + " sold";
  TChart chart;
  ChartSeries series = chart.Document().AddSeries(SeriesKind::Bar);
  series.SetTitle(entry.toStdString());
  series.Add(12, "L0", kAutomaticColor);
  chart.Document().SetLegendVisible(true);
  chart.Document().AddTitleLine(title.toStdString());
  chart.Document().SetLeftAxisTitle(axis.toStdString());
  Show(chart, QSize(300, 220));
  const ChartLayout layout = LayoutOf(chart);
  const auto middleOf = [](const TextItem& text) {
    QTransform place;
    place.translate(text.origin.x(), text.origin.y());
    place.rotate(-text.angle);
    return place.map(text.box.center()).toPoint();
  };
  std::vector<TextItem> shortened{layout.scene.legend.front().text};
  for (const TextItem& text : layout.scene.texts) {
    if (!text.fullText.isEmpty()) shortened.push_back(text);
  }
  QStringList tips;
  for (const TextItem& text : shortened) tips.push_back(TipAt(chart, middleOf(text)));
  for (const QString& whole : {entry, title, axis}) {
    EXPECT_TRUE(tips.join("\n").contains(whole.toHtmlEscaped())) << whole.toStdString();
  }
  QToolTip::hideText();
}

}  // namespace
