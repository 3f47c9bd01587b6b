// The large desktop's figures: enumerations, Branch, Processes and the tick at two sizes.
#pragma once

#include "app/Main.h"

// Starts the target's scale mode at a quarter and at the full size (2,000 top-level windows with 20,000
// children and 200 processes) and prints each figure against the bare enumeration.
void RunScaleBench(TPaneprobeForm& form);
