#include "platform/printer/cupslibrary.h"

#include <dlfcn.h>

#include <string>

#include "runtime/errors.h"

namespace {

constexpr const char* kLibraryName = "libcups.so.2";

template <class Function>
void Resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (!function) {
    throw Exception(std::string("Cannot print the chart: ") + kLibraryName + " has no " + name);
  }
}

CupsLibrary Load() {
  // Kept for the life of the process, as a linked library would be.
  void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    throw Exception(std::string("Cannot print the chart: the print service's library cannot be "
                                "loaded (") +
                    dlerror() + ")");
  }
  CupsLibrary cups{};
  Resolve(library, "cupsServer", cups.server);
  Resolve(library, "cupsSetServer", cups.setServer);
  Resolve(library, "ippPort", cups.port);
  Resolve(library, "cupsEncryption", cups.encryption);
  Resolve(library, "httpConnect2", cups.connect);
  Resolve(library, "httpError", cups.error);
  Resolve(library, "httpGetFd", cups.getFd);
  Resolve(library, "httpGetStatus", cups.status);
  Resolve(library, "httpStatus", cups.statusText);
  Resolve(library, "httpClose", cups.close);
  Resolve(library, "cupsGetNamedDest", cups.getNamedDest);
  Resolve(library, "cupsFreeDests", cups.freeDests);
  Resolve(library, "cupsCopyDestInfo", cups.copyDestInfo);
  Resolve(library, "cupsFindDestDefault", cups.findDestDefault);
  Resolve(library, "ippGetResolution", cups.getResolution);
  Resolve(library, "cupsFreeDestInfo", cups.freeDestInfo);
  Resolve(library, "cupsAddOption", cups.addOption);
  Resolve(library, "cupsCreateJob", cups.createJob);
  Resolve(library, "cupsStartDocument", cups.startDocument);
  Resolve(library, "cupsWriteRequestData", cups.writeRequestData);
  Resolve(library, "cupsFinishDocument", cups.finishDocument);
  Resolve(library, "cupsCancelJob2", cups.cancelJob);
  Resolve(library, "cupsFreeOptions", cups.freeOptions);
  Resolve(library, "cupsLastError", cups.lastError);
  Resolve(library, "cupsLastErrorString", cups.lastErrorString);
  return cups;
}

}  // namespace

const CupsLibrary& Cups() {
  static const CupsLibrary cups = Load();
  return cups;
}
