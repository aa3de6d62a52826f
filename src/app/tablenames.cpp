#include "app/tablenames.h"

#include "runtime/commandline.h"
#include "runtime/text.h"
#include "startup/creationpass.h"

TableNames TableNamesFromCommandLine() {
  if (ParamCount() == 2) return {Trim(ParamStr(1)), Trim(ParamStr(2))};
  return {kDefaultPropertyFileName, kDefaultDataFileName};
}
