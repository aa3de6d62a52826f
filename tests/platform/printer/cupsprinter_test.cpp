// The printer on a private print server: nothing reaches the server when a job is discarded or
// the server fails, and the failure is told within seconds. (What a job puts on the page is
// checked where the program prints, in tests/e2e.)

#include "cupsprinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
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
    Server().Admin({"cupsaccept", "tarvo-pdf"});
  }

  std::size_t NewJobs() const { return Server().JobDocuments().size() - jobsBefore_; }
  bool NoFileLeft() const { return QDir(temp_.path()).isEmpty(); }

 private:
  QTemporaryDir temp_;
  QByteArray savedTmpDir_;
  std::size_t jobsBefore_ = 0;
};

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
