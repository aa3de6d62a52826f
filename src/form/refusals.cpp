#include "form/refusals.h"

#include "form/unit1.h"
#include "platform/application/application.h"

void ShowRefusal(const Refusal& refusal) {
  Application.MessageBox(refusal.text, refusal.caption);
  skipRun = true;
}
