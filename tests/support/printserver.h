#pragma once
// A private CUPS server for one test (tests/support/printserver.sh): a PDF printer as its
// default destination, every job's document kept in its spool folder, cups-pdf's output in a
// folder of its own. It leaves the system's print service alone and stops when it goes away.

#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class PrintServer {
 public:
  // Starts the server; Ready() tells whether it runs, SkipReason() why not.
  PrintServer();
  ~PrintServer();
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  bool Ready() const { return ready_; }
  const std::string& SkipReason() const { return skipReason_; }

  // The environment that points a client at this server and at nothing else: entries
  // "NAME=value", and "NAME" for a variable to remove.
  std::vector<std::string> ClientEnvironment() const;
  // The same for this process.
  void UseInThisProcess() const;

  void Stop();
  void Restart();
  void Crash();   // killed at once, leaving its socket file and its number behind
  void Freeze();  // the server stays, but answers nothing
  void Thaw();
  // Runs a CUPS administration command (lpadmin, cupsreject, ...) against the server.
  void Admin(const std::vector<std::string>& command) const;

  // The jobs that are not completed (nor cancelled), as lpstat lists them: empty when none is.
  std::string OpenJobs() const;
  // The documents of the jobs that the server took, oldest first.
  std::vector<std::string> JobDocuments() const;
  // The PDF printer's output for the `job`-th job (from 1), waiting up to a minute for it;
  // empty when it does not come. PdfOutputAvailable() is false where cups-pdf cannot run
  // (it needs root).
  bool PdfOutputAvailable() const { return !pdfOutput_.empty(); }
  std::string WaitForPdfOutput(int job) const;

  std::string Socket() const { return folder_.filePath("cups.sock").toStdString(); }

 private:
  int RunScript(const std::string& command, std::string& output) const;
  void Signal(int signal) const;

  QTemporaryDir folder_;
  QTemporaryDir home_;
  bool ready_ = false;
  std::string skipReason_;
  std::string pdfOutput_;
};

// A print server that misbehaves at a chosen moment (tests/support/faultproxy.py): a stand-in on
// a socket of its own in front of `server`, passing every byte until byte `at` of what its
// clients send or of what the server answers, counted over the whole run; from there on it
// freezes, trickles, closes, or sends garbage and closes or keeps the connection (babbles); or
// only the connection that carries byte `at` is cut or stalls, the later ones passing as before.
class FaultyPrintServer {
 public:
  enum class Fault { None, Freeze, Trickle, Close, Garbage, Babble, Cut, Stall };
  enum class Way { Requests, Answers };

  // With a `tcpPort`, the stand-in listens on that port of 127.0.0.1 instead, and its clients
  // name it "localhost:PORT".
  explicit FaultyPrintServer(const PrintServer& server, int tcpPort = 0);
  ~FaultyPrintServer();
  FaultyPrintServer(const FaultyPrintServer&) = delete;
  FaultyPrintServer& operator=(const FaultyPrintServer&) = delete;

  // Starts the stand-in afresh, its counts at 0.
  void Misbehave(Fault fault, Way way = Way::Requests, long long at = 0);
  // The bytes passed so far: requests, answers.
  std::pair<long long, long long> Passed() const;
  // When byte `at` passed, in milliseconds of the monotonic clock (as QElapsedTimer's
  // msecsSinceReference); -1 while it has not.
  long long FaultMoment() const;

  std::string Socket() const { return folder_.filePath("faulty.sock").toStdString(); }
  // Where clients reach it: the socket, or localhost and the port.
  std::string Address() const;
  // The server's environment for clients, but pointing at the stand-in.
  std::vector<std::string> ClientEnvironment() const;

 private:
  const PrintServer& server_;
  const int tcpPort_;
  QTemporaryDir folder_;
  std::unique_ptr<QProcess> standIn_;

  // The counts file's fields: requests, answers, the fault's moment in seconds.
  QList<QByteArray> Counts() const;
};

// Points this process's print client library at the server of `environment` (see
// PrintServer::ClientEnvironment), before it is first used: it keeps the first server it is given.
void UseInThisProcess(const std::vector<std::string>& environment);

// The print server of this test process, started on first use, with this process's environment
// pointed at it. One per process: the print client library keeps the first server it was given.
PrintServer& ProcessPrintServer();

// The text of a PDF file (pdftotext), with word boxes when `boxes` is true.
std::string PdfText(const std::string& pdf, bool boxes = false);
