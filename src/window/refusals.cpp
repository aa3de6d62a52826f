#include "window/refusals.h"

#include "platform/application/application.h"

void ShowRefusal(const Refusal& refusal) { Application.MessageBox(refusal.text, refusal.caption); }
