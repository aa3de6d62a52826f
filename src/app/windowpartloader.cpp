// Loads the window part (windowpart.h) when a run first needs it.

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <string>

#include "app/windowpart.h"
#include "runtime/errors.h"

namespace {

// The folder of the running program, from the system's own link to it.
std::string ProgramFolder() {
  std::array<char, 4096> path{};
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  const std::string program(path.data(), std::size_t(length));
  return program.substr(0, program.rfind('/'));
}

void* WindowPart() {
  static void* const part = [] {
    const std::string folder = ProgramFolder();
    std::string reason;
    for (const std::string& candidate :
         {folder + "/" + kWindowPartFile, folder + "/../lib/tarvochart/" + kWindowPartFile}) {
      if (void* loaded = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) return loaded;
      if (reason.empty() || access(candidate.c_str(), F_OK) == 0) reason = dlerror();
    }
    throw Exception("The window and print part of the program cannot be loaded: " + reason);
  }();
  return part;
}

template <class Function>
Function& Entry(const char* name) {
  void* entry = dlsym(WindowPart(), name);
  if (!entry) throw Exception(std::string("The window and print part lacks ") + name);
  return *reinterpret_cast<Function*>(entry);
}

}  // namespace

RunWithWindowFunction& LoadRunWithWindow() {
  return Entry<RunWithWindowFunction>(kRunWithWindowName);
}

PrintChartFunction& LoadPrintChart() { return Entry<PrintChartFunction>(kPrintChartName); }
