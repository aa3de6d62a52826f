#include "window/chartmenu.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPixmap>
#include <string_view>
#include <vector>

#include "chart/export/imageformats.h"
#include "platform/application/application.h"
#include "window/tchart.h"

namespace {

QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The formats the save dialog offers, in their order.
std::vector<chart::ImageFormat> OfferedFormats() {
  std::vector<chart::ImageFormat> offered;
  for (const chart::ImageFormat& format : chart::ImageFormats()) {
    if (!format.filter.empty()) offered.push_back(format);
  }
  return offered;
}

QStringList ImageFilters() {
  QStringList filters;
  for (const chart::ImageFormat& format : OfferedFormats()) filters << ToQString(format.filter);
  return filters;
}

// The ending of the files of a filter of the save dialog, without its dot.
QString SuffixOfFilter(const QString& filter) {
  const std::vector<chart::ImageFormat> offered = OfferedFormats();
  for (const chart::ImageFormat& format : offered) {
    if (filter.contains("*" + ToQString(format.ending))) return ToQString(format.ending.substr(1));
  }
  return ToQString(offered.front().ending.substr(1));
}

// The name as the dialog gave it where it ends in the ending of an offered format (in any case),
// else with the chosen filter's ending added: the ending chooses the format, so the file is what
// its name says.
QString ImageFileName(const QString& name, const QString& filter) {
  for (const chart::ImageFormat& format : OfferedFormats()) {
    if (name.endsWith(ToQString(format.ending), Qt::CaseInsensitive)) return name;
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
  dialog.setNameFilters(ImageFilters());
  const QString suffix = SuffixOfFilter(ImageFilters().front());
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile("chart." + suffix);
  connect(&dialog, &QFileDialog::filterSelected, &dialog,
          [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOfFilter(filter)); });
  if (!Application.ExecuteDialog(dialog) || dialog.selectedFiles().isEmpty()) return;
  const QString name = ImageFileName(dialog.selectedFiles().front(), dialog.selectedNameFilter());
  try {
    chart_.Document().SaveToBitmapFile(QFile::encodeName(name).toStdString());
  } catch (const std::exception& error) {
    Application.ShowException(error);
  }
}
