// The printer on a private print server: what a job puts on the page, what reaches the server,
// and that nothing does when the job is discarded or the server fails.

#include "cupsprinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QPointF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <climits>

#include "printserver.h"
#include "runtime.h"

namespace {

TEST(CanvasPointSize, ZeroIsTheDefaultANegativeSizeCountsAndQtCanDrawIt) {
  struct SizeCase {
    int size, dotsPerInch;
    double points;
  };
  const SizeCase cases[] = {{12, 300, 12},          {0, 300, kDefaultFontPoints},
                            {-12, 300, 12},         {10000, 300, 10000},
                            {10000, 1200, 3932.1},  {INT_MAX, 300, 15728.4},
                            {INT_MIN, 600, 7864.2}, {12, 0, 12}};
  for (const SizeCase& c : cases) {
    EXPECT_NEAR(CanvasPointSize(c.size, c.dotsPerInch), c.points, 0.05)
        << c.size << " at " << c.dotsPerInch;
  }
}

PrintServer& Server() { return ProcessPrintServer(); }

class OnPrintServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Server().Ready()) GTEST_SKIP() << Server().SkipReason();
    savedTmpDir_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp_.path()));
    jobsBefore_ = Server().JobDocuments().size();
  }
  void TearDown() override {
    qputenv("TMPDIR", savedTmpDir_);
    Server().Thaw();
    if (!Server().Ready()) Server().Restart();
    Server().Admin({"cupsaccept", "tarvo-pdf"});
  }

  std::size_t NewJobs() const { return Server().JobDocuments().size() - jobsBefore_; }
  bool NoFileLeft() const { return QDir(temp_.path()).isEmpty(); }

 private:
  QTemporaryDir temp_;
  QByteArray savedTmpDir_;
  std::size_t jobsBefore_ = 0;
};

// The left and top of the word's box in points, from pdftotext's word boxes.
QPointF WordAt(const std::string& boxes, const QString& word) {
  const QRegularExpression box(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>)re" + word + "<");
  const auto match = box.match(QString::fromStdString(boxes));
  return match.hasMatch() ? QPointF(match.captured(1).toDouble(), match.captured(2).toDouble())
                          : QPointF(-1, -1);
}

TEST_F(OnPrintServer, AJobReachesTheServerWithItsTextsAtDevicePixels) {
  CupsPrinter printer;
  printer.BeginDoc();
  // The PDF printer's A4 page, all of it printable, at its own 300 dots per inch.
  EXPECT_NEAR(printer.PageWidth(), 2480, 1);
  EXPECT_NEAR(printer.PageHeight(), 3508, 1);
  printer.SetFontName("DejaVu Sans");
  printer.SetFontSize(12);
  printer.SetFontStyle(true, false);
  printer.TextOut(300, 600, "Total 5 \x80");  // Windows-1252
  printer.SetFontStyle(false, false);
  printer.TextOut(600, 900,
                  "Gr\xC3\xBC\xC3\x9F"
                  "e");  // UTF-8
  printer.EndDoc();

  ASSERT_EQ(NewJobs(), 1u);
  const std::string document = Server().JobDocuments().back();
  const std::string text = PdfText(document);
  EXPECT_NE(text.find("Total 5 \xE2\x82\xAC"), std::string::npos) << text;
  EXPECT_NE(text.find("Gr\xC3\xBC\xC3\x9F"
                      "e"),
            std::string::npos)
      << text;
  // 300 dots are an inch (72 points); the text's top lies at its y.
  const QPointF total = WordAt(PdfText(document, true), "Total");
  EXPECT_NEAR(total.x(), 72, 1);
  EXPECT_NEAR(total.y(), 144, 2);
  EXPECT_TRUE(NoFileLeft());
}

TEST_F(OnPrintServer, AnAbortedJobNeverReachesTheServer) {
  CupsPrinter printer;
  printer.Abort();  // no job: nothing to do
  printer.BeginDoc();
  printer.TextOut(100, 100, "Draft");
  printer.Abort();
  EXPECT_EQ(NewJobs(), 0u);
  EXPECT_TRUE(NoFileLeft());
  EXPECT_THROW(printer.EndDoc(), Exception);
  EXPECT_THROW(printer.TextOut(1, 1, "late"), Exception);
}

TEST_F(OnPrintServer, EveryFailureOfTheServerIsAnErrorWithinSeconds) {
  const std::string socket = Server().Socket();
  struct Failure {
    const char* name;
    std::function<void()> cause;
    std::string error;
  };
  const Failure failures[] = {
      {"printer refuses jobs",
       [] {
         Server().Admin({"cupsreject", "tarvo-pdf"});
       },
       "did not take the job for tarvo-pdf"},
      {"server frozen", [] { Server().Freeze(); }, "did not answer within 5 seconds"},
      {"server stopped", [] { Server().Stop(); }, "no print server can be reached at " + socket},
  };
  for (const Failure& failure : failures) {
    CupsPrinter printer;
    failure.cause();
    QElapsedTimer timer;
    timer.start();
    try {
      printer.BeginDoc();
      printer.TextOut(100, 100, "Lost?");
      printer.EndDoc();
      ADD_FAILURE() << failure.name << ": no error";
    } catch (const Exception& error) {
      EXPECT_NE(std::string(error.what()).find(failure.error), std::string::npos) << error.what();
    }
    EXPECT_LT(timer.elapsed(), 15000) << failure.name;
    printer.Abort();
    EXPECT_TRUE(NoFileLeft()) << failure.name;
    TearDown();
    EXPECT_EQ(NewJobs(), 0u) << failure.name;
  }
}

}  // namespace
