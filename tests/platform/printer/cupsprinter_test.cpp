// The printer on a private print server, reached through a stand-in that can misbehave at any
// moment: nothing reaches the server when a job is discarded, a printer is found by the name the
// user gives, and whatever the server does, the print ends within its deadline with the reason.
// (What a job puts on the page is checked where the program prints, in tests/e2e.)

#include "platform/printer/cupsprinter.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <climits>
#include <cstring>
#include <sstream>
#include <thread>

#include "runtime/errors.h"
#include "support/printserver.h"

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

// Prints one page; the error's text, empty when the job went through.
std::string PrintPage(CupsPrinter& printer) {
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

 private:
  QTemporaryDir temp_;
  QByteArray savedTmpDir_;
  std::size_t jobsBefore_ = 0;
};

TEST_F(OnPrintServer, AnAbortedOrRefusedJobNeverCountsAsPrinted) {
  CupsPrinter printer;
  printer.Abort();  // no job: nothing to do
  printer.BeginDoc();
  try {
    printer.BeginDoc();
    ADD_FAILURE() << "a second job began while one was open";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Text(), "Cannot print the chart: a print job is already open.");
  }
  printer.TextOut(100, 100, "Draft");
  printer.Abort();
  EXPECT_EQ(NewJobs(), 0u);
  EXPECT_TRUE(NoFileLeft());
  EXPECT_THROW(printer.EndDoc(), Exception);
  EXPECT_THROW(printer.TextOut(1, 1, "late"), Exception);
  EXPECT_THROW(printer.PageWidth(), Exception);
  EXPECT_THROW(printer.PageHeight(), Exception);
  EXPECT_THROW(printer.Canvas(), Exception);

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

// The jobs on the server that wait for a document that never came.
std::vector<std::string> JobsWithoutDocument() {
  std::vector<std::string> jobs;
  std::istringstream lines(Server().OpenJobs());
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string job, user, size;
    fields >> job >> user >> size;
    if (size == "0") jobs.push_back(job);
  }
  return jobs;
}

// One print through the stand-in, which misbehaves from byte `at`: the error, how long the print
// took, and when the fault came (both in milliseconds from the print's start; -1 if it never came).
struct FaultedPrint {
  std::string error;
  long long took = 0;
  long long faultCame = -1;
};

FaultedPrint PrintThroughFault(FaultyPrintServer::Fault fault, FaultyPrintServer::Way way,
                               long long at, std::chrono::milliseconds deadline) {
  StandIn().Misbehave(fault, way, at);
  CupsPrinter printer(deadline);
  QElapsedTimer timer;
  timer.start();
  FaultedPrint print;
  print.error = PrintPage(printer);
  print.took = timer.elapsed();
  if (const long long moment = StandIn().FaultMoment(); moment >= 0) {
    print.faultCame = moment - timer.msecsSinceReference();
  }
  return print;
}

// The server misbehaves at five moments of a print, in either direction: from the first byte to
// the last, so before, during and after the printer's lookup, the job's creation and the
// document's transfer. Each print ends within its one deadline, with what went wrong; where the
// library cannot tell bytes that are no answer from a broken exchange or from silence, any of
// those. A job that the server made is cancelled, within a fifth of the deadline more, or the
// message says that it could not be. The deadline fits this machine: some times a print's length
// on it, and where a busy moment still lets the deadline pass before the fault comes, or the
// cancel's grace before the server answers, the case runs again with twice the deadline.
TEST_F(OnPrintServer, WhateverTheServerDoesThePrintEndsWithinItsDeadline) {
  using Fault = FaultyPrintServer::Fault;
  using Way = FaultyPrintServer::Way;
  constexpr std::chrono::seconds kNoHurry(60), kLongestDeadline(8);
  // A print as it goes once the print support has what it keeps: its length, and how many bytes
  // go each way.
  long long slowest = 0;
  for (int warmUp = 0; warmUp < 2; ++warmUp) {
    const FaultedPrint print = PrintThroughFault(Fault::None, Way::Requests, 0, kNoHurry);
    ASSERT_EQ(print.error, "");
    slowest = std::max(slowest, print.took);
  }
  const auto [requests, answers] = StandIn().Passed();
  ASSERT_GT(requests, 0);
  const std::chrono::seconds firstDeadline(std::clamp((slowest * 6 + 999) / 1000, 1LL, 4LL));
  const std::string closed = "closed the connection", noAnswer = "bytes that are no answer";
  const std::string silent = "did not give a complete answer within";
  // A connection cut while the document goes out fails the write itself, where the program is
  // still writing when the server's end closes.
  const std::string cutWhileSending = closed + "|Broken pipe|Connection reset by peer";
  struct FaultCase {
    Fault fault;
    Way way;
    std::string reasons;  // a regular expression
  };
  const FaultCase faults[] = {
      {Fault::Freeze, Way::Requests, silent},
      {Fault::Close, Way::Requests, cutWhileSending},
      {Fault::Freeze, Way::Answers, silent},
      {Fault::Trickle, Way::Answers, silent},
      {Fault::Close, Way::Answers, closed},
      {Fault::Garbage, Way::Answers, closed + "|" + noAnswer},
      {Fault::Babble, Way::Answers, noAnswer + "|" + silent},
      // Only the connection at that byte fails: the server answers the cancel.
      {Fault::Cut, Way::Requests, cutWhileSending},
      {Fault::Stall, Way::Requests, silent},
      {Fault::Cut, Way::Answers, closed + "|" + noAnswer},
      {Fault::Stall, Way::Answers, silent},
  };
  // A job without its number (the answer to its creation failed) cannot be cancelled anyway.
  const std::string leftOpen = "could not be cancelled", cancelRanOut = "it left on the server";
  for (const FaultCase& c : faults) {
    const long long total = c.way == Way::Requests ? requests : answers;
    const bool oneConnection = c.fault == Fault::Cut || c.fault == Fault::Stall;
    // The last moment lies inside the last answer, whatever the numbers of this job.
    for (const long long at : {1LL, total / 4, total / 2, total * 3 / 4, total - 64}) {
      std::chrono::milliseconds deadline = firstDeadline;
      FaultedPrint print = PrintThroughFault(c.fault, c.way, at, deadline);
      const auto tooBusy = [&] {
        const bool faultLate = print.faultCame < 0 || print.faultCame > deadline.count() / 2;
        return faultLate || (oneConnection && print.error.find(cancelRanOut) != std::string::npos);
      };
      while (tooBusy() && deadline < kLongestDeadline) {
        Server().Admin({"cancel", "-a"});
        deadline *= 2;
        print = PrintThroughFault(c.fault, c.way, at, deadline);
      }
      const std::string& error = print.error;
      const std::string where = "fault " + std::to_string(&c - faults) + ", " + c.reasons +
                                " from byte " + std::to_string(at) + " of " +
                                std::to_string(total) + ", deadline " +
                                std::to_string(deadline.count()) + " ms: " + error;
      EXPECT_FALSE(tooBusy()) << where << ", the fault came after " << print.faultCame << " ms";
      // A request that the cut broke off may be sent again, on a new connection, and go through.
      const bool sentAgain = c.fault == Fault::Cut && error.empty();
      EXPECT_TRUE(sentAgain || QString::fromStdString(error).contains(QRegularExpression(
                                   "^Cannot print the chart: the print server at .*(" +
                                   QString::fromStdString(c.reasons) + ")")))
          << where;
      EXPECT_EQ(error.find("successful"), std::string::npos) << where;
      ASSERT_LT(print.took, deadline.count() * 6 / 5 + deadline.count() / 4 + 700) << where;
      EXPECT_TRUE(NoFileLeft()) << where;
      const bool toldLeftOpen = error.find(leftOpen) != std::string::npos;
      EXPECT_TRUE(toldLeftOpen || JobsWithoutDocument().empty()) << where << Server().OpenJobs();
      Server().Admin({"cancel", "-a"});
    }
  }
  EXPECT_EQ(PrintThroughFault(Fault::None, Way::Requests, 0, kNoHurry).error, "")
      << "a print after all that";
}

// A TCP socket on the loopback address of `family`, bound to a port of the system's choosing and
// listening with the smallest backlog; its port, 0 where the family has no loopback address.
int ListeningSocket(int family, int& port) {
  const int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_storage address{};
  socklen_t length = family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
  address.ss_family = sa_family_t(family);
  if (family == AF_INET) {
    reinterpret_cast<sockaddr_in&>(address).sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  } else {
    reinterpret_cast<sockaddr_in6&>(address).sin6_addr = in6addr_loopback;
  }
  auto* any = reinterpret_cast<sockaddr*>(&address);
  port = 0;
  if (fd >= 0 && bind(fd, any, length) == 0 && listen(fd, 0) == 0 &&
      getsockname(fd, any, &length) == 0) {
    port = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in&>(address).sin_port
                                   : reinterpret_cast<sockaddr_in6&>(address).sin6_port);
  }
  return fd;
}

// A listening socket in `folder` whose path fills the whole of sun_path, with no room for its
// NUL: the system takes such a path, the print library cannot; its path.
std::string SocketFillingItsAddress(const QString& folder, int& fd) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = folder.toStdString() + "/";
  const std::string full = path + std::string(sizeof(address.sun_path) - path.size(), 's');
  std::memcpy(address.sun_path, full.data(), full.size());
  fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  EXPECT_EQ(listen(fd, 4), 0);
  return full;
}

// Connections that the server never accepts, until its queue is full.
void FillBacklog(int port, std::vector<int>& clients) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(std::uint16_t(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int i = 0; i < 4; ++i) {
    clients.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    connect(clients.back(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
  }
  QThread::msleep(100);  // the handshakes that can complete have
}

// A print through the server `server` (host:port), on a thread of its own, for which the print
// service's library reads CUPS_SERVER afresh.
std::string PrintThrough(const std::string& server, std::chrono::milliseconds deadline) {
  const QByteArray saved = qgetenv("CUPS_SERVER");
  qputenv("CUPS_SERVER", QByteArray::fromStdString(server));
  std::string error;
  std::thread([&] {
    CupsPrinter printer(deadline);
    try {
      printer.BeginDoc();
      printer.EndDoc();
    } catch (const Exception& failure) {
      printer.Abort();
      error = failure.Text();
    }
  }).join();
  qputenv("CUPS_SERVER", saved);
  return error;
}

// Over the network the server's port may be closed, or the server may take no connection at
// all (its queue of connections full): either ends the print at once or within its deadline,
// and says which.
TEST(OverTcp, AClosedPortOrAServerThatTakesNoConnectionIsToldWithinTheDeadline) {
  constexpr std::chrono::milliseconds kDeadline(1000);
  int port = 0, port6 = 0;
  const int closed = ListeningSocket(AF_INET, port);
  const int closed6 = ListeningSocket(AF_INET6, port6);
  ASSERT_NE(port, 0);
  close(closed);
  close(closed6);
  int busyPort = 0;
  const int busy = ListeningSocket(AF_INET, busyPort);
  std::vector<int> clients;
  FillBacklog(busyPort, clients);
  struct TcpCase {
    std::string server, message;
  };
  std::vector<TcpCase> cases = {
      {"127.0.0.1:" + std::to_string(port),
       "no print server can be reached at 127.0.0.1:" + std::to_string(port)},
      {"127.0.0.1:" + std::to_string(busyPort),
       "the print server at 127.0.0.1:" + std::to_string(busyPort) +
           " did not take the connection within 1 second"},
  };
  if (port6 != 0) {
    const std::string server = "[::1]:" + std::to_string(port6);
    cases.push_back({server, "no print server can be reached at " + server});
  }
  // A socket path with no room for its NUL in the address is too long, not read past its end.
  QTemporaryDir folder("/tmp/socket-XXXXXX");  // short, whatever TMPDIR is
  int local = -1;
  const std::string longPath = SocketFillingItsAddress(folder.path(), local);
  cases.push_back({longPath, "no print server can be reached at " + longPath});
  for (const TcpCase& c : cases) {
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(PrintThrough(c.server, kDeadline), "Cannot print the chart: " + c.message + ".");
    EXPECT_LT(timer.elapsed(), kDeadline.count() + 700) << c.server;
  }
  for (const int client : clients) close(client);
  close(busy);
  close(local);
}

}  // namespace
