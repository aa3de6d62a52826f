#include "printservice.h"

#include <cmath>

#include "cupslibrary.h"
#include "runtime.h"

namespace {

std::string ServerAddress() {
  const std::string server = Cups().server();
  if (!server.empty() && server.front() == '/') return server;  // a local socket
  return server + ":" + std::to_string(Cups().port());
}

// Called when an answer takes longer than the timeout: give up instead of waiting on.
int GiveUp(http_t*, void* timedOut) {
  *static_cast<bool*>(timedOut) = true;
  return 0;
}

std::string QueueOf(const std::string& name) { return name.substr(0, name.find('/')); }

std::string InstanceOf(const std::string& name) {
  const auto slash = name.find('/');
  return slash == std::string::npos ? std::string() : name.substr(slash + 1);
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::string CannotPrint(const std::string& reason) {
  return "Cannot print the chart: " + reason + ".";
}

PrintService::PrintService() : address_(ServerAddress()) {
  // The library gives no reason of its own why a connection failed.
  http_ = Cups().connect(Cups().server(), Cups().port(), nullptr, AF_UNSPEC, Cups().encryption(), 1,
                         kTimeoutSeconds * 1000, nullptr);
  if (!http_) throw Exception(CannotPrint("no print server can be reached at " + address_));
  Cups().setTimeout(http_, kTimeoutSeconds, GiveUp, &timedOut_);
}

PrintService::~PrintService() { Cups().close(http_); }

std::optional<PrintDestination> PrintService::Find(const std::string& name) {
  cups_dest_t* dest = Cups().getNamedDest(http_, OrNull(QueueOf(name)), OrNull(InstanceOf(name)));
  if (!dest) {
    if (!timedOut_ && Cups().lastError() == IPP_STATUS_ERROR_NOT_FOUND) return std::nullopt;
    Fail("the print server at " + address_ + " could not be asked for its printers");
  }
  PrintDestination destination;
  destination.queue = dest->name;
  destination.name = dest->instance ? destination.queue + "/" + dest->instance : destination.queue;
  destination.resolution = DefaultResolution(dest);
  Cups().freeDests(1, dest);
  return destination;
}

PrintDestination PrintService::Destination(const std::string& name) {
  if (auto destination = Find(name)) return *destination;
  throw Exception(
      CannotPrint("the print server at " + address_ +
                  (name.empty() ? " has no default printer" : " has no printer named " + name)));
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
    dotsPerInch = units == IPP_RES_PER_CM ? int(std::lround(across * 2.54)) : across;
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
  const int job =
      Cups().printFile(http_, destination.queue.c_str(), file.c_str(), title.c_str(), count, list);
  Cups().freeOptions(count, list);
  if (job == 0) {
    Fail("the print server at " + address_ + " did not take the job for " + destination.name);
  }
}

void PrintService::Fail(const std::string& what) const {
  if (timedOut_) {
    throw Exception(CannotPrint("the print server at " + address_ + " did not answer within " +
                                std::to_string(kTimeoutSeconds) + " seconds"));
  }
  throw Exception(CannotPrint(what + " (" + Cups().lastErrorString() + ")"));
}
