#include "window/tchart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "chart/layout/charthittest.h"
#include "chart/layout/chartlayout.h"
#include "chart/render/chartpainter.h"

TChart::TChart(QWidget* parent) : QWidget(parent) {
  document_.OnChange([this] { Changed(); });
}

// Points come in by the millions: while a repaint is pending, a change needs no further call.
// A hidden widget gets no repaint until it is shown, and showing it paints it anyway.
void TChart::Changed() {
  if (repaintPending_) return;
  repaintPending_ = true;
  update();
}

void TChart::resizeEvent(QResizeEvent*) {
  document_.SetWidth(width());
  document_.SetHeight(height());
}

void TChart::paintEvent(QPaintEvent*) {
  repaintPending_ = false;
  QPainter painter(this);
  chart::RenderChart(painter, document_.Model(), QRectF(rect()), 1);
}

bool TChart::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  ShowPointTip(*static_cast<QHelpEvent*>(event));
  return true;
}

// Laid out again as the chart is drawn now, at its size in the window. Over a shortened text the
// tooltip shows it whole; over a bar, a slice or a line point it names them, the title line bold.
// The texts come from the tables and are shown as they are, never as markup.
void TChart::ShowPointTip(const QHelpEvent& help) {
  const chart::ChartModel& model = document_.Model();
  const chart::ChartLayout layout =
      chart::LayoutChart(model, QSizeF(size()), chart::MakeChartFonts(model));
  const QString whole = chart::WholeTextAt(layout.scene, help.pos());
  if (!whole.isEmpty()) {  // a shortened text: the tooltip shows it whole
    QToolTip::showText(help.globalPos(),
                       "<p style='white-space:pre'>" + whole.toHtmlEscaped() + "</p>", this);
    return;
  }
  const std::optional<chart::ChartHit> hit = chart::HitTest(layout.geometry, help.pos());
  if (!hit) {
    QToolTip::hideText();
    return;
  }
  const chart::HitDescription text = chart::DescribeHit(model, layout, *hit);
  const QString tip = "<p style='white-space:pre'><b>" + text.series.toHtmlEscaped() + "</b><br>" +
                      text.point.toHtmlEscaped() + "</p>";
  QToolTip::showText(help.globalPos(), tip, this);
}
