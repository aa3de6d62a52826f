#include "chartmenu.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPixmap>

#include "application.h"
#include "tchart.h"

namespace {

const QStringList kImageFilters = {"PNG image (*.png)", "SVG drawing (*.svg)",
                                   "PDF document (*.pdf)"};

// The ending of the files of a filter of the save dialog.
QString SuffixOfFilter(const QString& filter) {
  for (const char* suffix : {"svg", "pdf"}) {
    if (filter.contains(QString("*.") + suffix)) return suffix;
  }
  return "png";
}

// The name as the dialog gave it where it ends in ".png", ".svg" or ".pdf" (in any case), else
// with the chosen filter's ending added: the ending chooses the format, so the file is what its
// name says.
QString ImageFileName(const QString& name, const QString& filter) {
  for (const char* suffix : {".png", ".svg", ".pdf"}) {
    if (name.endsWith(suffix, Qt::CaseInsensitive)) return name;
  }
  return name + "." + SuffixOfFilter(filter);
}

}  // namespace

ChartMenu::ChartMenu(TChart& chart, QWidget* parent) : QMenu(parent), chart_(chart) {
  CopyAction = addAction("&Copy Chart", this, &ChartMenu::CopyChart);
  SaveAction = addAction("&Save Chart As...", this, &ChartMenu::SaveChartAs);
}

void ChartMenu::CopyChart() { QGuiApplication::clipboard()->setPixmap(chart_.grab()); }

void ChartMenu::SaveChartAs() {
  QFileDialog dialog(parentWidget(), "Save Chart As");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(kImageFilters);
  dialog.setDefaultSuffix("png");
  dialog.selectFile("chart.png");
  connect(&dialog, &QFileDialog::filterSelected, &dialog,
          [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOfFilter(filter)); });
  if (!Application.ExecuteDialog(dialog) || dialog.selectedFiles().isEmpty()) return;
  const QString name = ImageFileName(dialog.selectedFiles().front(), dialog.selectedNameFilter());
  try {
    chart_.Document().SaveToBitmapFile(name.toLocal8Bit().toStdString());
  } catch (const std::exception& error) {
    Application.ShowException(error);
  }
}
