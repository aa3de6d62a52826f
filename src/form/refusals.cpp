#include "refusals.h"

#include "application.h"
#include "unit1.h"

void ShowRefusal(const Refusal& refusal) {
  Application.MessageBox(refusal.text, refusal.caption);
  skipRun = true;
}
