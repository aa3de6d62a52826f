#include "app/tablenames.h"

#include "startup/creationpass.h"
#include "runtime/runtime.h"

TableNames TableNamesFromCommandLine() {
  if (ParamCount() == 2) return {Trim(ParamStr(1)), Trim(ParamStr(2))};
  return {kDefaultPropertyFileName, kDefaultDataFileName};
}
