#pragma once
// The system's print service (CUPS) as the printer uses it: one connection to the server that
// the environment names (CUPS_SERVER, client.conf, else the local socket), and one deadline for
// everything that is asked of the server while the service is open, Qt's print support included
// (see printdeadline.h). A server that is gone, frozen or slow is reported within the deadline,
// with what went wrong.

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/printer/printdeadline.h"
#include "runtime/errors.h"

typedef struct _http_s http_t;
struct cups_dest_s;

// A printer of the print service, as a job is sent to it.
struct PrintDestination {
  std::string name;    // as the user and Qt name it: "queue" or "queue/instance"
  std::string queue;   // the server's queue that takes the job
  int resolution = 0;  // dots per inch across, 0 where the server does not say
};

using JobOptions = std::vector<std::pair<std::string, std::string>>;

// A print that ran out of its time: the name server, the print server or the printer did not
// answer in time. Once one did not, the next print of a batch need not wait for it again.
class PrintDeadlinePassed : public Exception {
 public:
  explicit PrintDeadlinePassed(const std::string& text, const std::string& reason = {})
      : Exception(text), reason_(reason.empty() ? text : reason) {}
  // The text without what it says of a job left on the server: what a later print is told.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

class PrintService {
 public:
  // How long a whole print may take: everything asked of the name server and the print server,
  // from the lookup of the server's name to the job's submission.
  static constexpr std::chrono::milliseconds kDeadline{10000};

  // Connects to the print server within `time`, which may go on from an earlier service of the
  // same print. Throws Exception saying why when it cannot, PrintDeadlinePassed when it did not
  // within the time.
  explicit PrintService(PrintTime time);
  explicit PrintService(std::chrono::milliseconds deadline = kDeadline)
      : PrintService(PrintTime::StartingNow(deadline)) {}
  ~PrintService();
  PrintService(const PrintService&) = delete;
  PrintService& operator=(const PrintService&) = delete;

  // The server as the user would name it: a socket path or host:port.
  const std::string& Address() const { return address_; }

  // The printer named "queue" or "queue/instance", or the default destination when `name` is
  // empty; nothing when the server has no such printer or no default. Throws Exception when
  // the server cannot be asked.
  std::optional<PrintDestination> Find(const std::string& name);

  // The same, but a printer that the server does not have is an Exception too.
  PrintDestination Destination(const std::string& name);

  // Sends `file` to `destination` as one job. Throws Exception when the server does not take
  // it, so that a job never counts as printed unless the server has it. A job that the server
  // made but that did not get its whole document is cancelled, within a fifth of the print's
  // time more even where the time has run out; the message says so where it could not be.
  void Submit(const PrintDestination& destination, const std::string& file,
              const std::string& title, const JobOptions& options);

  // Throws Exception once the deadline has passed: for the steps that ask the server through
  // Qt's print support, which tells of no failure.
  void CheckDeadline() const;

 private:
  // Connects to the server at `host`, a socket path or a numeric address.
  void Connect(const std::string& host);
  // The first address of the server's name that takes connections.
  std::string ReachableAddress(const std::string& host);
  [[noreturn]] void Unreachable(int error);
  int DefaultResolution(cups_dest_s* dest);
  // Sends the document of the job; true once the server has taken all of it.
  bool SendDocument(const char* queue, int job, const std::string& file);
  // Throws the failure of the document's transfer, `refused` where the exchange itself went
  // well, with the end that the job's cancel gives it.
  void FailTransfer(const std::string& refused, const char* queue, int job);
  // Cancels the job on a connection of its own; true once the server has said it did.
  bool CancelJob(const char* queue, int job);
  void CheckConnection() const;
  bool ServerClosed() const;
  [[noreturn]] void NoAnswer() const;
  [[noreturn]] void ConnectionClosed() const;
  [[noreturn]] void NotAnAnswer() const;
  [[noreturn]] void Fail(const std::string& what) const;

  std::string address_;
  std::string host_;  // the socket path or the numeric address connected to
  PrintDeadline deadline_;
  http_t* http_ = nullptr;
};

// The start of every printing error, so that the user sees at once what failed.
std::string CannotPrint(const std::string& reason);

// Dots per inch of a resolution that the server gives in `units` (IPP's dots per inch or per
// centimetre).
int DotsPerInch(int dots, bool perCentimetre);

// The destination that the environment names for the user (LPDEST, else PRINTER unless it is
// "lp", as the print service reads them), with the variable's name; empty when none does.
std::pair<std::string, std::string> EnvironmentDestination();
