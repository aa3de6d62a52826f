#include "platform/printer/printservice.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/printer/cupslibrary.h"
#include "platform/printer/serverlookup.h"
#include "runtime/errors.h"

namespace {

// The server that the environment names (CUPS_SERVER, client.conf, else the local socket), as
// this thread first saw it: once a print has pointed the library at the server's address, the
// library tells that address instead.
const std::string& ConfiguredServer() {
  thread_local const std::string server = Cups().server();
  return server;
}

bool IsLocalSocket(const std::string& server) { return !server.empty() && server.front() == '/'; }

std::string ServerAddress() {
  const std::string& server = ConfiguredServer();
  if (IsLocalSocket(server)) return server;
  return server + ":" + std::to_string(Cups().port());
}

PrintServerEndpoint ServerEndpoint() {
  const std::string& server = ConfiguredServer();
  if (IsLocalSocket(server)) return {server, 0};
  return {{}, Cups().port()};
}

// Connects a socket of the address's kind within `milliseconds`; returns 0 or the error.
int TryConnect(const sockaddr* address, socklen_t length, int milliseconds) {
  const int fd = socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return errno;
  int error = connect(fd, address, length) == 0 ? 0 : errno;
  if (error == EINPROGRESS) {
    pollfd wait{fd, POLLOUT, 0};
    error = ETIMEDOUT;
    if (poll(&wait, 1, milliseconds) == 1) {
      socklen_t size = sizeof(error);
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    }
  }
  close(fd);
  return error;
}

// Connects to `server`, a socket path or a numeric address, within `milliseconds`; returns 0 or
// the system's error.
int TryServer(const std::string& server, int port, int milliseconds) {
  if (IsLocalSocket(server)) {
    sockaddr_un local{};
    local.sun_family = AF_UNIX;
    if (server.size() >= sizeof(local.sun_path)) return ENAMETOOLONG;
    std::memcpy(local.sun_path, server.c_str(), server.size() + 1);
    return TryConnect(reinterpret_cast<sockaddr*>(&local), sizeof(local), milliseconds);
  }
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(server.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
    return EINVAL;
  }
  const int error = TryConnect(found->ai_addr, found->ai_addrlen, milliseconds);
  freeaddrinfo(found);
  return error;
}

std::string WithinText(std::chrono::milliseconds length) {
  const double seconds = double(length.count()) / 1000;
  char text[32];
  std::snprintf(text, sizeof(text), "%g", seconds);
  return std::string("within ") + text + (seconds == 1 ? " second" : " seconds");
}

std::string QueueOf(const std::string& name) { return name.substr(0, name.find('/')); }

std::string InstanceOf(const std::string& name) {
  const auto slash = name.find('/');
  return slash == std::string::npos ? std::string() : name.substr(slash + 1);
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The sentence `text` with `addition` before its stop.
std::string WithAddition(std::string text, const std::string& addition) {
  if (text.ends_with('.')) text.pop_back();
  return text + "; " + addition + ".";
}

// Runs `check`; what it throws is thrown again, of the same kind, its text changed by `amend`.
template <class Check, class Amend>
void AmendingErrors(const Check& check, const Amend& amend) {
  try {
    check();
  } catch (const PrintDeadlinePassed& error) {
    throw PrintDeadlinePassed(amend(error.Text()), error.Text());
  } catch (const Exception& error) {
    throw Exception(amend(error.Text()));
  }
}

}  // namespace

std::string CannotPrint(const std::string& reason) {
  return "Cannot print the chart: " + reason + ".";
}

int DotsPerInch(int dots, bool perCentimetre) {
  return perCentimetre ? int(std::lround(dots * 2.54)) : dots;
}

std::pair<std::string, std::string> EnvironmentDestination() {
  const char* lpdest = std::getenv("LPDEST");
  if (lpdest) return {lpdest, "LPDEST"};
  const char* printer = std::getenv("PRINTER");
  if (printer && std::strcmp(printer, "lp") != 0) return {printer, "PRINTER"};
  return {};
}

PrintService::PrintService(PrintTime time)
    : address_(ServerAddress()), deadline_(ServerEndpoint(), time) {
  const std::string& server = ConfiguredServer();
  if (IsLocalSocket(server)) {
    Connect(server);
    return;
  }
  const std::string address = ReachableAddress(server);
  // Qt's print support asks the server through the library too, also while the print dialog
  // opens: by its address, so that no lookup of the name runs outside a deadline. The next
  // print looks the name up again.
  Cups().setServer(ServerWithPort(address, Cups().port()).c_str());
  Connect(address);
}

PrintService::~PrintService() {
  if (http_) Cups().close(http_);
}

std::string PrintService::ReachableAddress(const std::string& host) {
  const std::optional<ServerLookup> lookup = LookUpServer(host, deadline_.End());
  if (!lookup) {
    throw PrintDeadlinePassed(
        CannotPrint("the name server did not answer " + WithinText(deadline_.Length()) +
                    " when asked for the address of the print server " + address_));
  }
  if (!lookup->failure.empty()) {
    throw Exception(CannotPrint("the name of the print server " + address_ + " is not known (" +
                                lookup->failure + ")"));
  }
  int error = EHOSTUNREACH;
  for (const std::string& address : lookup->addresses) {
    error = TryServer(address, Cups().port(), deadline_.RemainingMilliseconds());
    if (error == 0) return address;
  }
  Unreachable(error);
}

void PrintService::Connect(const std::string& host) {
  host_ = host;
  http_ = Cups().connect(host.c_str(), Cups().port(), nullptr, AF_UNSPEC, Cups().encryption(), 1,
                         deadline_.RemainingMilliseconds(), nullptr);
  // The library gives no reason of its own why a connection failed: the system is asked.
  if (!http_) Unreachable(TryServer(host, Cups().port(), deadline_.RemainingMilliseconds()));
}

// Why a connection to the server failed with `error`, 0 when a new one succeeds.
void PrintService::Unreachable(int error) {
  if (error == ETIMEDOUT) {
    throw PrintDeadlinePassed(CannotPrint("the print server at " + address_ +
                                          " did not take the connection " +
                                          WithinText(deadline_.Length())));
  }
  CheckDeadline();
  if (error == ENETUNREACH || error == EHOSTUNREACH) {
    throw Exception(CannotPrint("there is no route to the print server at " + address_));
  }
  // It takes connections, but ends them before the library is through with its own.
  if (error == 0) ConnectionClosed();
  throw Exception(CannotPrint("no print server can be reached at " + address_));
}

void PrintService::CheckDeadline() const {
  if (deadline_.Expired()) NoAnswer();
}

// Silence, an answer that trickles in, or bytes that never make an answer: the library cannot
// tell them apart while it waits.
void PrintService::NoAnswer() const {
  throw PrintDeadlinePassed(CannotPrint("the print server at " + address_ +
                                        " did not give a complete answer " +
                                        WithinText(deadline_.Length())));
}

// After a request that failed: throws when the exchange itself failed, rather than the server
// saying no to what was asked.
void PrintService::CheckConnection() const {
  CheckDeadline();
  const http_status_t status = Cups().status(http_);
  const std::string server = "the print server at " + address_;
  if (status >= HTTP_STATUS_BAD_REQUEST) {
    throw Exception(CannotPrint(server + " answered with the HTTP error " +
                                std::to_string(int(status)) + " " + Cups().statusText(status)));
  }
  if (status != HTTP_STATUS_ERROR) return;
  const int error = Cups().error(http_);
  if (error == ETIMEDOUT) NoAnswer();
  // The library reads a cut answer as a wrong one: the connection tells which it was.
  if ((error == EINVAL || error == 0) && !ServerClosed()) NotAnAnswer();
  ConnectionClosed();
}

// True when the server has ended the connection, so that nothing more can come.
bool PrintService::ServerClosed() const {
  char byte = 0;
  const ssize_t got = recv(Cups().getFd(http_), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

void PrintService::ConnectionClosed() const {
  throw Exception(CannotPrint("the print server at " + address_ + " closed the connection"));
}

void PrintService::NotAnAnswer() const {
  throw Exception(CannotPrint("the print server at " + address_ +
                              " answered with bytes that are no answer of a print server"));
}

std::optional<PrintDestination> PrintService::Find(const std::string& name) {
  cups_dest_t* dest = Cups().getNamedDest(http_, OrNull(QueueOf(name)), OrNull(InstanceOf(name)));
  if (!dest) {
    CheckConnection();
    if (Cups().lastError() == IPP_STATUS_ERROR_NOT_FOUND) return std::nullopt;
    Fail("the print server at " + address_ + " could not be asked for its printers");
  }
  PrintDestination destination;
  destination.queue = dest->name;
  destination.name = dest->instance ? destination.queue + "/" + dest->instance : destination.queue;
  destination.resolution = DefaultResolution(dest);
  Cups().freeDests(1, dest);
  CheckDeadline();
  return destination;
}

PrintDestination PrintService::Destination(const std::string& name) {
  if (auto destination = Find(name)) return *destination;
  const std::string server = "the print server at " + address_;
  if (!name.empty()) throw Exception(CannotPrint(server + " has no printer named " + name));
  const auto [named, variable] = EnvironmentDestination();
  if (!named.empty()) {
    throw Exception(
        CannotPrint(server + " has no printer named " + named + ", which " + variable + " names"));
  }
  throw Exception(CannotPrint(server + " has no default printer"));
}

// The printer's default resolution, as the server reports it; 0 where it does not.
int PrintService::DefaultResolution(cups_dest_t* dest) {
  cups_dinfo_t* info = Cups().copyDestInfo(http_, dest);
  if (!info) return 0;
  int dotsPerInch = 0;
  if (ipp_attribute_t* value = Cups().findDestDefault(http_, dest, info, "printer-resolution")) {
    int down = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int across = Cups().getResolution(value, 0, &down, &units);
    dotsPerInch = DotsPerInch(across, units == IPP_RES_PER_CM);
  }
  Cups().freeDestInfo(info);
  return dotsPerInch;
}

void PrintService::Submit(const PrintDestination& destination, const std::string& file,
                          const std::string& title, const JobOptions& options) {
  cups_option_t* list = nullptr;
  int count = 0;
  for (const auto& [name, value] : options) {
    count = Cups().addOption(name.c_str(), value.c_str(), count, &list);
  }
  const char* queue = destination.queue.c_str();
  const int job = Cups().createJob(http_, queue, title.c_str(), count, list);
  Cups().freeOptions(count, list);
  const std::string refused =
      "the print server at " + address_ + " did not take the job for " + destination.name;
  if (job == 0) {
    // The request may have reached the server and only its answer failed, or the library may
    // have sent it again on a new connection: a job made then has no number to be cancelled by,
    // and one that the server has yet to make cannot be looked for.
    AmendingErrors([&] { CheckConnection(); },
                   [&](const std::string& text) {
                     return WithAddition(text, "a job that it may have made for " +
                                                   destination.queue +
                                                   " could not be cancelled (\"lpstat -o " +
                                                   destination.queue + "\" lists the jobs)");
                   });
    Fail(refused);
  }
  // A job counts as printed only once the server has said that it has the whole document.
  if (!SendDocument(queue, job, file)) FailTransfer(refused, queue, job);
  CheckDeadline();
}

void PrintService::FailTransfer(const std::string& refused, const char* queue, int job) {
  // The reason is taken before the cancel's own exchange replaces the library's last status.
  const auto withCancel = [&](const std::string& text) {
    if (CancelJob(queue, job)) return text;
    const std::string name = std::string(queue) + "-" + std::to_string(job);
    return WithAddition(text, "the job " + name +
                                  " it left on the server could not be cancelled (\"cancel " +
                                  name + "\" does it)");
  };
  AmendingErrors(
      [&] {
        CheckConnection();
        Fail(refused);
      },
      withCancel);
}

bool PrintService::CancelJob(const char* queue, int job) {
  // Short, as the user waits for it: on a local server or a near one it takes milliseconds.
  deadline_.Grant(deadline_.Length() / 5);
  http_t* http = Cups().connect(host_.c_str(), Cups().port(), nullptr, AF_UNSPEC,
                                Cups().encryption(), 1, deadline_.RemainingMilliseconds(), nullptr);
  if (!http) return false;
  const ipp_status_t status = Cups().cancelJob(http, queue, job, 0);
  Cups().close(http);
  // "Not possible": the job is over already, it got its document after all.
  return status < IPP_STATUS_REDIRECTION_OTHER_SITE || status == IPP_STATUS_ERROR_NOT_POSSIBLE;
}

bool PrintService::SendDocument(const char* queue, int job, const std::string& file) {
  QFile document(QString::fromLocal8Bit(file.c_str()));
  if (!document.open(QIODevice::ReadOnly)) return false;
  if (Cups().startDocument(http_, queue, job, nullptr, CUPS_FORMAT_PDF, 1) !=
      HTTP_STATUS_CONTINUE) {
    return false;
  }
  constexpr qint64 kChunk = 65536;
  for (QByteArray bytes = document.read(kChunk); !bytes.isEmpty(); bytes = document.read(kChunk)) {
    if (Cups().writeRequestData(http_, bytes.constData(), std::size_t(bytes.size())) !=
        HTTP_STATUS_CONTINUE) {
      return false;
    }
  }
  if (!document.atEnd()) return false;
  // The library keeps the status of the last answer when the connection breaks before this one
  // comes: the answer itself must have come.
  const ipp_status_t status = Cups().finishDocument(http_, queue);
  return status < IPP_STATUS_REDIRECTION_OTHER_SITE && Cups().status(http_) == HTTP_STATUS_OK;
}

// `what` and the library's reason, unless the deadline has passed.
void PrintService::Fail(const std::string& what) const {
  CheckDeadline();
  // The library's reason is a sentence of its own; inside the message it ends without its stop.
  std::string reason = Cups().lastErrorString();
  while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
  throw Exception(CannotPrint(what + " (" + reason + ")"));
}
