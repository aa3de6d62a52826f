#pragma once
// The window unit's side of the refusals: the message and the program-wide flag.

#include "dbf/refusal.h"
#include "runtime/runtime.h"

// Shows the refusal in its message box and makes start-up end without a window.
void ShowRefusal(const Refusal& refusal);
