// tarvochart PROPERTIES DATA: builds one chart from two dBASE tables and shows, prints or
// saves it as the property table asks. The exit code is always 0; failures are reported in
// message boxes and on standard error.

#include "application.h"
#include "runtime.h"
#include "tform1.h"
#include "unit1.h"

namespace {

void ChooseTableNames() {
  if (ParamCount() == 2) {
    propertyFileName = Trim(ParamStr(1));
    dataFileName = Trim(ParamStr(2));
  } else {
    propertyFileName = kDefaultPropertyFileName;
    dataFileName = kDefaultDataFileName;
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Application.Initialize(argc, argv);
    ChooseTableNames();
    Application.CreateForm(Form1);
    if (!skipRun) Application.Run();
  } catch (const std::exception& error) {
    // An error that escapes the creation pass ends the run; it is shown once, here.
    Application.ShowException(error);
  }
  Form1.reset();
  Application.Finalize();
  return 0;
}
