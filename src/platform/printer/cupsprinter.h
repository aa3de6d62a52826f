#pragma once
// The printer of the print service: a QPrinter for the print service's default destination, or
// for the printer that the user chose in the print dialog, at that printer's own resolution.
// Each job's page is written to a private file and sent to the print server by the printer
// itself, so that an aborted job never reaches the server and a job that the server refuses is
// an error, not a silent loss.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/printer/printservice.h"
#include "platform/printer/tprinter.h"

class QPrinter;
class ScratchFile;

// The page of a printer as a job finds it, in device pixels at the printer's resolution.
struct PrinterPage {
  std::string printer;  // "queue" or "queue/instance"
  std::string server;   // where the print service is: a socket path or host:port
  int dotsPerInch = 0;
  std::string paper;  // the paper's name, such as "A4"
  int pageWidth = 0, pageHeight = 0;
  // The printable area: its top-left corner on the page, and its size, which is PageWidth and
  // PageHeight of a job; page texts are placed from its corner.
  int printableLeft = 0, printableTop = 0, printableWidth = 0, printableHeight = 0;
};

class CupsPrinter final : public TPrinter {
 public:
  // `deadline`: how long a print may take, from BeginDoc's lookup of the server and the printer
  // to EndDoc's submission of the job, all together (see PrintService); Device() has its own.
  explicit CupsPrinter(std::chrono::milliseconds deadline = PrintService::kDeadline);
  ~CupsPrinter() override;

  // The QPrinter that the print dialog sets up. Made on first use, for the print service's
  // default destination; throws Exception when no print server can be reached.
  QPrinter& Device();

  // The page that the next job would print on, asked of the print server as BeginDoc asks it,
  // without opening a job. Throws Exception as BeginDoc does when no printer can be used.
  PrinterPage NextPage();

  void BeginDoc() override;
  void EndDoc() override;
  void Abort() override;
  void SetFontName(const std::string& name) override;
  void SetFontSize(int points) override;
  void SetFontStyle(bool bold, bool italic) override;
  void TextOut(int x, int y, const std::string& text) override;
  int PageWidth() const override;
  int PageHeight() const override;
  QPainter& Canvas() override;

  // Lets go of the QPrinter; run when the Qt application ends.
  void Release();

 private:
  QPrinter& DeviceOn(PrintService& service);
  // Sets the device up for the next job's destination.
  void PrepareDestination(PrintService& service);
  void SelectDestination(const PrintService& service);
  void OpenJobFile();
  void CloseJob();
  void RequireOpenJob() const;

  const std::chrono::milliseconds deadline_;
  std::unique_ptr<QPrinter> device_;
  std::unique_ptr<ScratchFile> jobFile_;
  std::optional<PrintTime> jobTime_;  // the open job's time, from BeginDoc
  std::unique_ptr<QPainter> canvas_;
  PrintDestination destination_;
  std::string fontName_;
  int fontSize_ = 0;
  bool bold_ = false;
  bool italic_ = false;
};

// The process-wide printer.
extern CupsPrinter Printer;

// The size in points that a canvas font size stands for on a device of `dotsPerInch`: 0 is the
// default size, a negative size is taken by its magnitude (a character height, as some printer
// drivers read it), and no size is larger than kMaxFontPixels device pixels.
inline constexpr int kDefaultFontPoints = 10;
// Qt silently draws nothing in a font larger than this.
inline constexpr int kMaxFontPixels = 65535;
double CanvasPointSize(int size, int dotsPerInch);
