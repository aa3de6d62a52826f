#include "inspect/printedpage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

#include "inspect/report.h"
#include "platform/application/guiprocess.h"
#include "platform/printer/cupsprinter.h"
#include "print/chartprintrect.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "runtime/errors.h"
#include "runtime/text.h"

namespace {

std::string Pixels(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

void WritePrinter(const PrinterPage& page, std::ostream& out) {
  out << "  printer " << Quoted(page.printer) << " of the print server at "
      << ToPlainLine(page.server) << ": " << page.dotsPerInch << " dpi, paper "
      << ToPlainLine(page.paper) << " of " << Pixels(page.pageWidth, page.pageHeight)
      << ", printable area " << Pixels(page.printableWidth, page.printableHeight) << " from ("
      << page.printableLeft << ", " << page.printableTop << ") of the paper\n"
      << "  page texts are placed in pixels from the printable area's top-left corner: at "
      << page.dotsPerInch << " dpi, " << page.dotsPerInch << " pixels are an inch\n";
}

void WriteChartPlace(const PrinterPage& page, const PrintSettings& print, std::ostream& out) {
  const ChartPrintRect rect = MakeChartPrintRect(page.printableWidth, page.printableHeight, print);
  out << "  the chart: left " << rect.left << ", top " << rect.top << ", right " << rect.right
      << ", bottom " << rect.bottom << " (" << MarginsText(print) << ")";
  if (rect.IsEmpty()) out << ": no room, the chart is not drawn";
  out << "\n";
}

// Page texts whose top-left corner lies outside the printable area show nothing on paper.
void WarnOfTextsOutside(const PrinterPage& page, const PrintSettings& print, Warnings& warnings,
                        std::ostream& out) {
  for (int i = 0; i < print.pageTextCount; ++i) {
    const PageTextItem& text = print.pageTexts[i];
    if (text.text.empty() || (text.x < page.printableWidth && text.y < page.printableHeight)) {
      continue;
    }
    out << "  "
        << warnings.Mark("page text " + std::to_string(i + 1) + " " + Quoted(text.text) + " at x " +
                         std::to_string(text.x) + ", y " + std::to_string(text.y) +
                         " starts outside the printable area of " +
                         Pixels(page.printableWidth, page.printableHeight) +
                         ": it does not show on paper")
        << "\n";
  }
}

}  // namespace

void ReportPrintedPage(const ChartOptions& options, const PrintSettings& print, Warnings& warnings,
                       std::ostream& out) {
  if (!options.printAtStart && print.pageTextCount == 0) return;
  out << "\nPrinted page (" << (options.printAtStart ? "PRINT at start-up, and " : "")
      << "\"Print Graph\"" << (print.showPrintDialog ? ", after the print dialog" : "") << ")\n";
  std::unique_ptr<QGuiApplication> application;
  if (!QCoreApplication::instance()) {
    KeepQtNoticesOffStandardError();
    application = StartWindowlessApplication();
  }
  try {
    const PrinterPage page = Printer.NextPage();
    WritePrinter(page, out);
    WriteChartPlace(page, print, out);
    WarnOfTextsOutside(page, print, warnings, out);
  } catch (const Exception& error) {
    out << "  the printer cannot be asked, so a print would end with: "
        << MessageLine(kProgramName, error.Text()) << "\n";
  }
  if (print.showPrintDialog) out << "  (the print dialog may choose another printer)\n";
}
