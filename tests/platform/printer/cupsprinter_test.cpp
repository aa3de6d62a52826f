// The printer on a private print server, reached through a stand-in that can misbehave at any
// moment: nothing reaches the server when a job is discarded, a printer is found by the name the
// user gives, and whatever the server does, the print ends within its deadline with the reason.
// (What a job puts on the page is checked where the program prints, in tests/e2e.)

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

TEST(DotsPerInch, AResolutionPerCentimetreIsConverted) {
  EXPECT_EQ(DotsPerInch(300, false), 300);
  EXPECT_EQ(DotsPerInch(118, true), 300);
  EXPECT_EQ(DotsPerInch(47, true), 119);
}

// The private server, and the stand-in in front of it that this process prints through.
PrintServer& Server() {
  static PrintServer server;
  return server;
}

FaultyPrintServer& StandIn() {
  static FaultyPrintServer standIn(Server());
  static const bool pointed = (UseInThisProcess(standIn.ClientEnvironment()), true);
  (void)pointed;
  return standIn;
}

class OnPrintServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Server().Ready()) GTEST_SKIP() << Server().SkipReason();
    StandIn().Misbehave(FaultyPrintServer::Fault::None);
    savedTmpDir_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp_.path()));
    jobsBefore_ = Server().JobDocuments().size();
  }
  void TearDown() override {
    qputenv("TMPDIR", savedTmpDir_);
    Server().Admin({"cupsaccept", "tarvo-pdf"});
  }

  std::size_t NewJobs() const { return Server().JobDocuments().size() - jobsBefore_; }
  bool NoFileLeft() const { return QDir(temp_.path()).isEmpty(); }

  // Prints one page; the error's text, empty when the job went through.
  static std::string PrintPage(CupsPrinter& printer) {
    try {
      printer.BeginDoc();
      printer.TextOut(100, 100, "Page");
      printer.EndDoc();
      return {};
    } catch (const Exception& error) {
      printer.Abort();
      return error.Text();
    }
  }

 private:
  QTemporaryDir temp_;
  QByteArray savedTmpDir_;
  std::size_t jobsBefore_ = 0;
};

TEST_F(OnPrintServer, AnAbortedOrRefusedJobNeverCountsAsPrinted) {
  CupsPrinter printer;
  printer.Abort();  // no job: nothing to do
  printer.BeginDoc();
  printer.TextOut(100, 100, "Draft");
  printer.Abort();
  EXPECT_EQ(NewJobs(), 0u);
  EXPECT_TRUE(NoFileLeft());
  EXPECT_THROW(printer.EndDoc(), Exception);
  EXPECT_THROW(printer.TextOut(1, 1, "late"), Exception);

  Server().Admin({"cupsreject", "tarvo-pdf"});
  EXPECT_NE(PrintPage(printer).find("did not take the job for tarvo-pdf"), std::string::npos);
  EXPECT_EQ(NewJobs(), 0u);
  EXPECT_TRUE(NoFileLeft());
}

TEST_F(OnPrintServer, APrinterIsFoundByItsQueueAndInstance) {
  Server().Admin({"lpoptions", "-p", "tarvo-pdf/draft", "-o", "copies=1"});
  struct NameCase {
    std::string asked;    // the name given; empty for the default destination
    const char* printer;  // the PRINTER variable, or none
    std::string found;
  };
  const NameCase cases[] = {{"tarvo-pdf/draft", nullptr, "tarvo-pdf/draft"},
                            {"", "tarvo-pdf/draft", "tarvo-pdf/draft"},
                            {"", nullptr, "tarvo-pdf"}};
  for (const NameCase& c : cases) {
    c.printer ? qputenv("PRINTER", c.printer) : qunsetenv("PRINTER");
    PrintService service;
    const PrintDestination destination = service.Destination(c.asked);
    EXPECT_EQ(destination.name, c.found) << c.asked;
    EXPECT_EQ(destination.queue, "tarvo-pdf") << c.asked;
  }
  qunsetenv("PRINTER");
}

// The server misbehaves at five moments of a print, in either direction: from the first byte to
// the last, so before, during and after the printer's lookup, the job's creation and the
// document's transfer. Each print ends within its deadline, with what went wrong.
TEST_F(OnPrintServer, WhateverTheServerDoesThePrintEndsWithinItsDeadline) {
  using Fault = FaultyPrintServer::Fault;
  using Way = FaultyPrintServer::Way;
  constexpr std::chrono::milliseconds kDeadline(1000);
  // A print as it goes once the print support has what it keeps: how many bytes go each way.
  for (int warmUp = 0; warmUp < 2; ++warmUp) {
    StandIn().Misbehave(Fault::None);
    CupsPrinter printer(kDeadline);
    ASSERT_EQ(PrintPage(printer), "");
  }
  const auto [requests, answers] = StandIn().Passed();
  ASSERT_GT(requests, 0);
  struct FaultCase {
    Fault fault;
    Way way;
    const char* reason;
  };
  const FaultCase faults[] = {
      {Fault::Freeze, Way::Requests, "did not answer within 1 second"},
      {Fault::Close, Way::Requests, "closed the connection"},
      {Fault::Freeze, Way::Answers, "did not answer within 1 second"},
      {Fault::Trickle, Way::Answers, "did not answer within 1 second"},
      {Fault::Close, Way::Answers, "closed the connection"},
      {Fault::Garbage, Way::Answers, "closed the connection"},
  };
  for (const FaultCase& c : faults) {
    const long long total = c.way == Way::Requests ? requests : answers;
    // The last moment lies inside the last answer, whatever the numbers of this job.
    for (const long long at : {1LL, total / 4, total / 2, total * 3 / 4, total - 64}) {
      StandIn().Misbehave(c.fault, c.way, at);
      CupsPrinter printer(kDeadline);
      QElapsedTimer timer;
      timer.start();
      const std::string error = PrintPage(printer);
      const std::string where = std::string(c.reason) + " from byte " + std::to_string(at) +
                                " of " + std::to_string(total);
      EXPECT_NE(error.find(c.reason), std::string::npos) << where << ": " << error;
      EXPECT_LT(timer.elapsed(), kDeadline.count() + 3000) << where;
      EXPECT_TRUE(NoFileLeft()) << where;
    }
  }
  StandIn().Misbehave(Fault::None);
  CupsPrinter printer(kDeadline);
  EXPECT_EQ(PrintPage(printer), "") << "a print after all that";
}

}  // namespace
