#pragma once
// The window unit's side of the refusals: the message.

#include "dbf/refusal.h"

// Shows the refusal in its message box.
void ShowRefusal(const Refusal& refusal);
