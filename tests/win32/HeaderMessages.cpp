// Compiles the generated message names against the platform headers, so each number is the header's own.
// The newest system version is asked for: the table also lists messages that only newer systems send.
#undef _WIN32_WINNT
#undef WINVER
#undef _WIN32_IE
#undef NTDDI_VERSION
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#define _WIN32_IE 0x0A00
#define NTDDI_VERSION 0x0A000010
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dde.h>
#include <richedit.h>

#include "HeaderMessages.h"

const HeaderMessage HeaderMessages[] = {
#include "HeaderMessages.inc"
};

const size_t HeaderMessageCount = sizeof HeaderMessages / sizeof HeaderMessages[0];
