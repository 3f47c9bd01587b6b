// The Processes and Properties refreshes against the bare platform work each must do, and the program's
// GDI and USER object counts over many refreshes.
#pragma once

#include "app/Main.h"

#include <windows.h>

// Runs with the form's tabs in place; the Properties tab shows a child window of another process.
void RunTabsBench(TPaneprobeForm& form);
