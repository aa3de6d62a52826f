// The program prints as a host starts it, on a private print server: what the server received
// (the job's document, by its text), what the PDF printer made of it (by its pixels), and what a
// user is told when no printer can be reached.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>

#include "support/printserver.h"
#include "support/runprogram.h"
#include "support/tablefolder.h"
#include "support/tablerows.h"

namespace {

std::vector<PropertyRow> PrintingRows(std::vector<PropertyRow> extra) {
  std::vector<PropertyRow> rows{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "VERTBAR"),
                                Row("TOPTITLE", "Monthly sales"), Row("NOSHOW"), Row("PRINT")};
  rows.insert(rows.end(), extra.begin(), extra.end());
  return rows;
}

class Printing : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server_.Ready()) GTEST_SKIP() << server_.SkipReason();
  }

  // Runs the program on the rows with the print server's environment and an empty folder for
  // temporary files, so that a file left behind shows.
  RunResult Run(const std::vector<PropertyRow>& rows, std::vector<std::string> environment = {},
                const std::vector<std::string>& wrapper = {}) {
    tables_.Write("P.DBF", PropertyTable(rows));
    tables_.Write("D.DBF",
                  DataTable(1, {{"1", "Jan", {{"12", "RED"}}}, {"1", "Feb", {{"15", ""}}}}));
    std::vector<std::string> entries = server_.ClientEnvironment();
    entries.push_back("TMPDIR=" + temp_.path().toStdString());
    // Qt would make its runtime folder in TMPDIR when none is given.
    entries.push_back("XDG_RUNTIME_DIR=" + runtime_.path().toStdString());
    entries.insert(entries.end(), environment.begin(), environment.end());
    RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, tables_.Folder(), entries, 30000, wrapper);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(QDir(temp_.path()).isEmpty()) << "a temporary file was left behind";
    return result;
  }

  PrintServer server_;
  TableFolder tables_;
  QTemporaryDir temp_;
  QTemporaryDir images_;
  QTemporaryDir runtime_;
};

// The word's box in points, from pdftotext's word boxes; empty where the word is not.
QRectF WordBox(const std::string& boxes, const QString& word) {
  const QRegularExpression box(
      R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re" + word + "<");
  const auto match = box.match(QString::fromStdString(boxes));
  if (!match.hasMatch()) return {};
  return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
}

TEST_F(Printing, AWindowlessRunPrintsThePageTextsAndTheChartThenSavesTheBitmap) {
  const RunResult result = Run(PrintingRows({
      Row("BITMAPFILE", "chart.bmp;400;300"),
      Row("PRINTPAGETEXT", "Quarterly Report;300;150;DejaVu Sans;24;b"),
      Row("PRINTPAGETEXT", "Price 5 \x80;300;400;NoSuchFont;12;i"),  // Windows-1252
      Row("PRINTPAGETEXT",
          "Gr\xC3\xBC\xC3\x9F"
          "e;300;500;DejaVu Serif;12;"),
      Row("PRINTPAGETEXT", "; ;300;600;DejaVu Sans;12;b"),  // an empty text
      Row("PRINTPAGETEXT", "Size zero;300;700;DejaVu Sans;0;"),
      Row("PRINTPAGETEXT", "Size negative;1200;700;DejaVu Sans;-12;"),
      Row("PRINTPAGETEXT", "Size huge;9000;100;DejaVu Sans;10000;"),
      Row("PRINTPAGETEXT", "Eighth;300;800;;12;"),
      Row("PRINTPAGETEXT", "Ninth;1200;800;;12;"),
      Row("PRINTPAGETEXT", "Tenth;300;850;;12;"),
      Row("PRINTPAGETEXT", "Eleventh;1200;850;;12;"),
  }));
  EXPECT_EQ(result.standardError, "");
  const auto documents = server_.JobDocuments();
  ASSERT_EQ(documents.size(), 1u);
  const std::string text = PdfText(documents[0]);
  for (const char* expected : {"Quarterly Report", "Price 5 \xE2\x82\xAC",
                               "Gr\xC3\xBC\xC3\x9F"
                               "e",
                               "Size zero", "Size negative", "Tenth", "Monthly sales"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in " << text;
  }
  EXPECT_EQ(text.find("Eleventh"), std::string::npos);
  // At the PDF printer's 300 dots per inch, (300, 150) lies an inch from the left edge of its
  // page (all of it printable) and half an inch down: there is the text's top-left corner.
  const std::string boxes = PdfText(documents[0], true);
  const QRectF quarterly = WordBox(boxes, "Quarterly");
  EXPECT_NEAR(quarterly.x(), 72, 1);
  EXPECT_NEAR(quarterly.y(), 36, 2);
  // Each text in its own font and size: 24 points stand about twice as high as 12.
  const double ratio = quarterly.height() / WordBox(boxes, "Tenth").height();
  EXPECT_GT(ratio, 1.7);
  EXPECT_LT(ratio, 2.6);
  EXPECT_EQ(QImage(QString::fromStdString(tables_.Path("chart.bmp"))).size(), QSize(300, 400));
}

// The page as the PDF printer made it, at 50 dots per inch.
QImage PrintedPage(const std::string& pdf, const QString& folder) {
  QProcess pdftoppm;
  pdftoppm.setStandardErrorFile(QProcess::nullDevice());  // notices about Type 3 glyphs
  pdftoppm.start("pdftoppm", {"-r", "50", "-png", "-singlefile", QString::fromStdString(pdf),
                              folder + "/page"});
  pdftoppm.waitForFinished(60000);
  return QImage(folder + "/page.png");
}

// The smallest rectangle holding every pixel that is not (nearly) white.
QRect InkedArea(const QImage& page) {
  QRect inked;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) < 235) inked |= QRect(x, y, 1, 1);
    }
  }
  return inked;
}

TEST_F(Printing, TheChartLiesInsideTheMarginRectangle) {
  if (!server_.PdfOutputAvailable()) GTEST_SKIP() << "the PDF printer (cups-pdf) needs root";
  struct MarginCase {
    const char* printPos;  // left;right;top;bottom in percent, or none
    double left, right, top, bottom;
  };
  const MarginCase cases[] = {{nullptr, 5, 5, 25, 20},
                              {"10;30;5;50", 10, 30, 5, 50},
                              {"0;0;0;0", 0, 0, 0, 0},
                              {"60;60;0;0", 60, 60, 0, 0}};
  int job = 0;
  for (const MarginCase& c : cases) {
    std::vector<PropertyRow> rows = PrintingRows({});
    if (c.printPos) rows.push_back(Row("PRINTPOS", c.printPos));
    ASSERT_EQ(Run(rows).standardError, "");
    const QImage page = PrintedPage(server_.WaitForPdfOutput(++job), images_.path());
    ASSERT_FALSE(page.isNull()) << "no output of the PDF printer for job " << job;
    const QRectF margins(page.width() * c.left / 100, page.height() * c.top / 100,
                         page.width() * (100 - c.left - c.right) / 100,
                         page.height() * (100 - c.top - c.bottom) / 100);
    const QRect inked = InkedArea(page);
    const std::string name = c.printPos ? c.printPos : "initial margins";
    if (margins.width() <= 0) {
      EXPECT_TRUE(inked.isEmpty()) << name << ": margins that leave no room print nothing";
      continue;
    }
    EXPECT_TRUE(margins.adjusted(-2, -2, 2, 2).contains(inked)) << name;
    // The frame, the axes and the title fill most of it.
    EXPECT_GT(inked.width(), 0.85 * margins.width()) << name;
    EXPECT_GT(inked.height(), 0.85 * margins.height()) << name;
  }
}

// True when this machine has no route to the address (where it has one, a test of an
// unreachable server cannot be made with it).
bool NoRouteTo(const char* address) {
  const int fd = socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK, 0);
  sockaddr_in6 target{};
  target.sin6_family = AF_INET6;
  target.sin6_port = htons(631);
  inet_pton(AF_INET6, address, &target.sin6_addr);
  const bool unreachable = fd >= 0 &&
                           connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof(target)) != 0 &&
                           (errno == ENETUNREACH || errno == EHOSTUNREACH);
  if (fd >= 0) close(fd);
  return unreachable;
}

TEST_F(Printing, WithoutAPrinterTheUserIsToldWhyWithinTheDeadlineAndNothingElseHappens) {
  const QString nowhere = QString::fromStdString(tables_.Path("no-server.sock"));
  const std::string server = "the print server at " + server_.Socket();
  FaultyPrintServer standIn(server_);
  struct FailureCase {
    const char* name;
    std::function<std::vector<std::string>()> cause;  // returns extra environment entries
    std::string message;
  };
  const FailureCase cases[] = {
      {"server stops answering while it takes the job",
       [&] {
         EXPECT_EQ(Run(PrintingRows({}), standIn.ClientEnvironment()).standardError, "");
         standIn.Misbehave(FaultyPrintServer::Fault::Freeze, FaultyPrintServer::Way::Requests,
                           standIn.Passed().first * 3 / 4);
         return standIn.ClientEnvironment();
       },
       // The stand-in answers nothing more, the cancel of the job it made included.
       "the print server at " + standIn.Socket() +
           " did not give a complete answer within 10 seconds; the job tarvo-pdf-N it left on the "
           "server could not be cancelled (\"cancel tarvo-pdf-N\" does it)"},
      {"PRINTER names a printer the server does not have",
       [] { return std::vector<std::string>{"PRINTER=nope"}; },
       server + " has no printer named nope, which PRINTER names"},
      {"LPDEST names one, before PRINTER",
       [] {
         return std::vector<std::string>{"LPDEST=gone/draft", "PRINTER=tarvo-pdf"};
       },
       server + " has no printer named gone/draft, which LPDEST names"},
      {"the printer takes no jobs, under a German locale",
       [&] {
         server_.Admin({"cupsreject", "tarvo-pdf"});
         return std::vector<std::string>{"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"};
       },
       server + " did not take the job for tarvo-pdf (Destination \"tarvo-pdf\" is not accepting "
                "jobs)"},
      {"no server at the socket",
       [&] { return std::vector<std::string>{"CUPS_SERVER=" + nowhere.toStdString()}; },
       "no print server can be reached at " + nowhere.toStdString()},
      {"server stopped after a print",
       [&] {
         server_.Admin({"cupsaccept", "tarvo-pdf"});
         EXPECT_EQ(Run(PrintingRows({})).standardError, "");
         server_.Stop();
         return std::vector<std::string>{};
       },
       "no print server can be reached at " + server_.Socket()},
      {"server crashed, its socket file left behind",
       [&] {
         server_.Restart();
         EXPECT_TRUE(server_.Ready());
         server_.Crash();
         return std::vector<std::string>{};
       },
       "no print server can be reached at " + server_.Socket()},
      {"printers, but no default one; PRINTER=lp, as many systems set it, names none",
       [&] {
         server_.Restart();  // after the crash
         server_.Admin({"lpadmin", "-x", "tarvo-pdf"});
         server_.Admin({"lpadmin", "-p", "spare", "-E", "-v", "ipp://127.0.0.1:9/"});
         return std::vector<std::string>{"PRINTER=lp"};
       },
       server + " has no default printer"},
  };
  for (const FailureCase& c : cases) {
    const std::vector<std::string> environment = c.cause();
    QFile::remove(QString::fromStdString(tables_.Path("chart.bmp")));
    QElapsedTimer timer;
    timer.start();
    const RunResult result =
        Run(PrintingRows({Row("BITMAPFILE", "chart.bmp;400;300")}), environment);
    EXPECT_LT(timer.elapsed(), 15000) << c.name;
    const QString told = QString::fromStdString(result.standardError)
                             .replace(QRegularExpression("tarvo-pdf-[0-9]+"), "tarvo-pdf-N");
    EXPECT_EQ(told.toStdString(), "tarvochart: Cannot print the chart: " + c.message + ".\n")
        << c.name;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(tables_.Path("chart.bmp"))))
        << c.name << ": a failed print ends the start-up outputs";
  }
  if (NoRouteTo("100::1")) {
    EXPECT_EQ(Run(PrintingRows({}), {"CUPS_SERVER=[100::1]:631"}).standardError,
              "tarvochart: Cannot print the chart: there is no route to the print server at "
              "[100::1]:631.\n");
  }
}

// A free TCP port of the loopback address.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

// A server named by its host ("localhost", which may stand for ::1 first, where nothing listens
// here) is reached over TCP at the first of its addresses that takes connections, by the
// program and by Qt's print support alike; a print through it is one job like any other.
TEST_F(Printing, AServerNamedByItsHostIsReachedOverTcp) {
  FaultyPrintServer standIn(server_, FreePort());
  EXPECT_EQ(Run(PrintingRows({}), standIn.ClientEnvironment()).standardError, "");
  EXPECT_EQ(server_.JobDocuments().size(), 1u);
  EXPECT_GT(standIn.Passed().second, 0) << "the answers came through the stand-in";
}

// The name server is asked for the print server's address within the print's one deadline, and
// named when it does not answer; the resolver alone would wait a minute here. It runs in a mount
// namespace of its own, whose /etc/resolv.conf names a name server on a loopback address that
// takes every question and answers none.
TEST_F(Printing, ANameServerThatNeverAnswersIsNamedWithinTheDeadline) {
  const int silent = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(53);
  inet_pton(AF_INET, "127.0.0.77", &address.sin_addr);
  if (bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(silent);
    GTEST_SKIP() << "a name server's port needs root";
  }
  const std::string resolvConf = tables_.WriteBytes("resolv.conf", "nameserver 127.0.0.77\n");
  const std::vector<std::string> privateResolver = {
      "unshare", "--mount", "sh", "-c", "mount --bind \"$0\" /etc/resolv.conf && exec \"$@\"",
      resolvConf};
  QElapsedTimer timer;
  timer.start();
  const RunResult result = Run(
      PrintingRows({}), {"CUPS_SERVER=printhost.invalid:631", "RES_OPTIONS=timeout:30 attempts:2"},
      privateResolver);
  EXPECT_LT(timer.elapsed(), 25000);  // the resolver alone would wait 60 s
  EXPECT_EQ(result.standardError,
            "tarvochart: Cannot print the chart: the name server did not answer within 10 seconds "
            "when asked for the address of the print server printhost.invalid:631.\n");
  close(silent);
}

// Where the file systems of the temporary folder and of the image make no file without a name,
// the print's page goes through a private folder and the image through a named temporary file
// beside it; both are gone when the run ends. strace refuses the nameless files.
TEST_F(Printing, WithoutNamelessFilesThePageAndTheImageGoThroughNamedOnesLeftNowhere) {
  if (QStandardPaths::findExecutable("strace").isEmpty()) GTEST_SKIP() << "needs strace";
  const std::string trace = tables_.Path("trace");
  const std::vector<std::string> refusingNamelessFiles = {"strace",
                                                          "-f",
                                                          "-qq",
                                                          "-o",
                                                          trace,
                                                          "-P",
                                                          temp_.path().toStdString(),
                                                          "-P",
                                                          images_.path().toStdString(),
                                                          "-e",
                                                          "trace=openat",
                                                          "-e",
                                                          "inject=openat:error=EOPNOTSUPP"};
  const QString image = images_.filePath("chart.png");
  const RunResult result = Run(PrintingRows({Row("BITMAPFILE", image.toStdString() + ";300;400")}),
                               {AsanOptionsUnderTrace()}, refusingNamelessFiles);
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(server_.JobDocuments().size(), 1u);
  EXPECT_EQ(QImage(image).size(), QSize(400, 300));
  EXPECT_EQ(QDir(images_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{"chart.png"});
  QFile traced(QString::fromStdString(trace));
  ASSERT_TRUE(traced.open(QIODevice::ReadOnly));
  EXPECT_EQ(traced.readAll().count("O_TMPFILE, 0666) = -1 EOPNOTSUPP"), 2)
      << "one refused page, one refused image";
}

// A signal while the print waits on the server, where the temporary folder makes no file without
// a name (the page then goes through a private folder): the program leaves no page behind.
TEST_F(Printing, AnInterruptedPrintLeavesNoPageBehind) {
  FaultyPrintServer standIn(server_);
  EXPECT_EQ(Run(PrintingRows({}), standIn.ClientEnvironment()).standardError, "");
  standIn.Misbehave(FaultyPrintServer::Fault::Freeze, FaultyPrintServer::Way::Requests,
                    standIn.Passed().first * 3 / 4);
  std::vector<std::string> environment = standIn.ClientEnvironment();
  environment.insert(
      environment.end(),
      {"TMPDIR=" + temp_.path().toStdString(), "XDG_RUNTIME_DIR=" + runtime_.path().toStdString(),
       "LD_PRELOAD=" SLOWCREATE_PATH, "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
  const RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, tables_.Folder(), environment, 30000,
                                         {"timeout", "--preserve-status", "-s", "TERM", "3"});
  EXPECT_EQ(result.exitCode, 128 + SIGTERM) << "ended by the signal, while it waited";
  EXPECT_EQ(
      QDir(temp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(" ").toStdString(),
      "");
}

// No one can answer the print dialog without a display: the page is not lost, it goes to the
// default destination. The offscreen platform runs without the window part, the minimal one
// through it.
TEST_F(Printing, WithoutADisplayThePrintDialogSendsThePageToTheDefaultDestination) {
  for (const std::string platform : {"offscreen", "minimal"}) {
    EXPECT_EQ(Run(PrintingRows({Row("PRINTSETUP")}), {"QT_QPA_PLATFORM=" + platform}).standardError,
              "")
        << platform;
  }
  EXPECT_EQ(server_.JobDocuments().size(), 2u);
}

}  // namespace
