// Whether the structure that another thread's notification points at may be read by the receiving window.
#pragma once

#include <windows.h>

#include <cstddef>

// True when size bytes from address lie wholly in committed memory of this process that can be read and
// written, whatever regions they span.
bool IsWritableMemory(const void* address, size_t size);

// False for a WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM or WM_DELETEITEM sent from another
// thread whose structure is not wholly in this process's writable memory, or whose sender is no child of the
// receiver. Every other message, and these from the receiver's own thread, may be read.
bool MayReadSentStructure(HWND receiver, UINT message, LPARAM lParam);
