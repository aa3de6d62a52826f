#include "startupoutputs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "chartoptions.h"
#include "tablecheck.h"

namespace {

// The window's outer size (with its frame) is what is centred.
void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  window.move(CentredPosition(screen->size(), window.frameGeometry().size()));
}

}  // namespace

QPoint CentredPosition(QSize screen, QSize window) {
  return QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

void RunStartupOutputs(const ChartOptions&, StartupTargets& targets) {
  CloseTables(targets.propertyFile, targets.dataFile);
  if (targets.skipRun) return;
  CentreOnScreen(targets.window);
}
