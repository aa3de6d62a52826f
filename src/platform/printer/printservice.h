#pragma once
// The system's print service (CUPS) as the printer uses it: one connection to the server that
// the environment names (CUPS_SERVER, client.conf, else the local socket), on which every wait
// is bounded, so that a server that is gone or frozen is reported within seconds.

#include <optional>
#include <string>
#include <utility>
#include <vector>

typedef struct _http_s http_t;
struct cups_dest_s;

// A printer of the print service, as a job is sent to it.
struct PrintDestination {
  std::string name;    // as the user and Qt name it: "queue" or "queue/instance"
  std::string queue;   // the server's queue that takes the job
  int resolution = 0;  // dots per inch across, 0 where the server does not say
};

using JobOptions = std::vector<std::pair<std::string, std::string>>;

class PrintService {
 public:
  // How long one step (connecting, or waiting for an answer) may take.
  static constexpr int kTimeoutSeconds = 5;

  // Connects to the print server. Throws Exception naming the server when it cannot.
  PrintService();
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
  // it, so that a job never counts as printed unless the server has it.
  void Submit(const PrintDestination& destination, const std::string& file,
              const std::string& title, const JobOptions& options);

 private:
  int DefaultResolution(cups_dest_s* dest);
  [[noreturn]] void Fail(const std::string& what) const;

  std::string address_;
  http_t* http_ = nullptr;
  bool timedOut_ = false;
};

// The start of every printing error, so that the user sees at once what failed.
std::string CannotPrint(const std::string& reason);
