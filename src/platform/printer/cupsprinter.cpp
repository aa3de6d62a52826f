#include "platform/printer/cupsprinter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>

#include "runtime/errors.h"
#include "runtime/scratchfile.h"
#include "runtime/text.h"

CupsPrinter Printer;

namespace {

constexpr const char* kJobTitle = "Chart";

// Where the server reports no resolution: what Qt's high-resolution printers use.
constexpr int kFallbackResolution = 1200;

// Qt's CUPS print engine keeps the choices of the print dialog's option pages (PPD options,
// job options) as name/value pairs under this key.
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

void ReleasePrinter() { Printer.Release(); }

std::string SidesOf(const QPrinter& device) {
  switch (device.duplex()) {
    case QPrinter::DuplexNone:
      return "one-sided";
    case QPrinter::DuplexAuto:
      return device.pageLayout().orientation() == QPageLayout::Portrait ? "two-sided-long-edge"
                                                                        : "two-sided-short-edge";
    case QPrinter::DuplexLongSide:
      return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
      return "two-sided-short-edge";
  }
  return "one-sided";
}

// What Qt's own CUPS engine would send with the job: paper, copies, sides, orientation and the
// print dialog's further options.
JobOptions JobOptionsOf(QPrinter& device) {
  JobOptions options{{"media", device.pageLayout().pageSize().key().toStdString()}};
  if (device.copyCount() > 1) {
    options.emplace_back("copies", std::to_string(device.copyCount()));
    options.emplace_back("Collate", device.collateCopies() ? "True" : "False");
  }
  options.emplace_back("sides", SidesOf(device));
  if (device.pageLayout().orientation() == QPageLayout::Landscape) {
    options.emplace_back("landscape", "");
  }
  const QStringList chosen = device.printEngine()->property(kCupsOptionsKey).toStringList();
  for (qsizetype i = 0; i + 1 < chosen.size(); i += 2) {
    options.emplace_back(chosen[i].toStdString(), chosen[i + 1].toStdString());
  }
  return options;
}

// The printer that the next job goes to: the one the device is set to, or none (the default
// destination) when it has fallen back to writing PDF files.
std::string ChosenPrinter(const QPrinter& device) {
  if (device.outputFormat() != QPrinter::NativeFormat) return {};
  return device.printerName().toStdString();
}

}  // namespace

double CanvasPointSize(int size, int dotsPerInch) {
  const double points = size == 0 ? kDefaultFontPoints : std::abs(static_cast<double>(size));
  return std::min(points, kMaxFontPixels * 72.0 / std::max(dotsPerInch, 1));
}

CupsPrinter::CupsPrinter(std::chrono::milliseconds deadline) : deadline_(deadline) {}
CupsPrinter::~CupsPrinter() = default;

QPrinter& CupsPrinter::Device() {
  PrintService service(deadline_);
  return DeviceOn(service);
}

QPrinter& CupsPrinter::DeviceOn(PrintService& service) {
  if (device_) return *device_;
  const auto defaultDestination = service.Find("");
  device_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  qAddPostRoutine(ReleasePrinter);
  device_->setDocName(kJobTitle);
  // Without a default destination Qt takes the first printer it finds; no printer at all
  // (until the user chooses one) is what the print service says.
  device_->setPrinterName(defaultDestination ? QString::fromStdString(defaultDestination->name)
                                             : QString());
  // Qt's print support asked the server too, and tells of no failure.
  service.CheckDeadline();
  return *device_;
}

void CupsPrinter::PrepareDestination(PrintService& service) {
  DeviceOn(service);
  destination_ = service.Destination(ChosenPrinter(*device_));
  SelectDestination(service);
}

PrinterPage CupsPrinter::NextPage() {
  PrintService service(deadline_);
  PrepareDestination(service);
  const int dotsPerInch = device_->resolution();
  const QPageLayout layout = device_->pageLayout();
  const QRect printable = layout.paintRectPixels(dotsPerInch);
  PrinterPage page;
  page.printer = destination_.name;
  page.server = service.Address();
  page.dotsPerInch = dotsPerInch;
  page.paper = layout.pageSize().name().toStdString();
  page.pageWidth = layout.fullRectPixels(dotsPerInch).width();
  page.pageHeight = layout.fullRectPixels(dotsPerInch).height();
  page.printableLeft = printable.left();
  page.printableTop = printable.top();
  page.printableWidth = device_->width();
  page.printableHeight = device_->height();
  return page;
}

void CupsPrinter::BeginDoc() {
  if (canvas_) throw Exception(CannotPrint("a print job is already open"));
  jobTime_ = PrintTime::StartingNow(deadline_);
  PrintService service(*jobTime_);
  PrepareDestination(service);
  OpenJobFile();
  canvas_ = std::make_unique<QPainter>();
  if (!canvas_->begin(device_.get())) {
    CloseJob();
    throw Exception(CannotPrint("the page for printer " + destination_.name + " cannot be opened"));
  }
}

// Points the device at the destination and takes its resolution. Qt silently falls back to
// writing a PDF file, or to another printer, when it cannot use the one named: that is refused.
void CupsPrinter::SelectDestination(const PrintService& service) {
  const QString name = QString::fromStdString(destination_.name);
  if (device_->printerName() != name) device_->setPrinterName(name);
  if (device_->outputFormat() != QPrinter::NativeFormat || device_->printerName() != name) {
    throw Exception(CannotPrint("printer " + destination_.name + " of the print server at " +
                                service.Address() + " cannot be used by Qt's print support"));
  }
  device_->setResolution(destination_.resolution > 0 ? destination_.resolution
                                                     : kFallbackResolution);
  // The page is the printer's whole printable area, not Qt's default margins within it.
  QPageLayout layout = device_->pageLayout();
  layout.setMargins(layout.minimumMargins());
  device_->setPageLayout(layout);
  service.CheckDeadline();
}

// The page goes to a file of its own. Its name has no ".pdf" ending, so that the device stays
// the destination's printer (page size, printable area) and does not turn into a PDF writer.
void CupsPrinter::OpenJobFile() {
  try {
    jobFile_ = std::make_unique<ScratchFile>();
  } catch (const Exception& error) {
    throw Exception(CannotPrint("no file for the page: " + error.Text()));
  }
  device_->setOutputFileName(QString::fromStdString(jobFile_->Path()));
}

void CupsPrinter::EndDoc() {
  RequireOpenJob();
  const std::string file = device_->outputFileName().toStdString();
  canvas_->end();
  const PrintTime time = *jobTime_;
  const auto closeJob = qScopeGuard([this] { CloseJob(); });
  if (QFileInfo(QString::fromStdString(file)).size() <= 0) {
    throw Exception(CannotPrint("the page could not be written to " + file));
  }
  PrintService service(time);
  service.Submit(destination_, file, kJobTitle, JobOptionsOf(*device_));
}

void CupsPrinter::Abort() {
  if (canvas_) CloseJob();
}

// Ends the page if it is still open; its file goes, unsent.
void CupsPrinter::CloseJob() {
  canvas_.reset();
  if (device_) device_->setOutputFileName(QString());
  jobFile_.reset();
  jobTime_.reset();
}

void CupsPrinter::SetFontName(const std::string& name) { fontName_ = name; }
void CupsPrinter::SetFontSize(int points) { fontSize_ = points; }

void CupsPrinter::SetFontStyle(bool bold, bool italic) {
  bold_ = bold;
  italic_ = italic;
}

void CupsPrinter::TextOut(int x, int y, const std::string& text) {
  RequireOpenJob();
  QFont font(ToDisplayText(fontName_));
  font.setPointSizeF(CanvasPointSize(fontSize_, device_->logicalDpiY()));
  font.setBold(bold_);
  font.setItalic(italic_);
  canvas_->setFont(font);
  // drawText places the baseline at the point; the text's top lies one ascent above it.
  canvas_->drawText(QPointF(x, y + canvas_->fontMetrics().ascent()), ToDisplayText(text));
}

int CupsPrinter::PageWidth() const {
  RequireOpenJob();
  return device_->width();
}

int CupsPrinter::PageHeight() const {
  RequireOpenJob();
  return device_->height();
}

QPainter& CupsPrinter::Canvas() {
  RequireOpenJob();
  return *canvas_;
}

void CupsPrinter::RequireOpenJob() const {
  if (!canvas_) throw Exception(CannotPrint("no print job is open"));
}

void CupsPrinter::Release() {
  Abort();
  device_.reset();
}
