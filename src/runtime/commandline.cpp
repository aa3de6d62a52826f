#include "runtime/commandline.h"

#include <vector>

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

void SetCommandLine(int argc, char** argv) { Arguments().assign(argv, argv + argc); }

int ParamCount() { return Arguments().empty() ? 0 : static_cast<int>(Arguments().size()) - 1; }

std::string ParamStr(int index) {
  if (index < 0 || index >= static_cast<int>(Arguments().size())) return {};
  return Arguments()[index];
}
