// Calls on windows that may belong to another, possibly hung, thread: the user-interface thread never waits
// for that thread. Calls on windows of the calling thread stay direct and synchronous.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// True when the window belongs to the calling thread (or is no window at all, so nothing can wait).
bool IsOwnThreadWindow(HWND window);

// Runs call at once when the window belongs to this thread. Otherwise the call goes to a worker thread kept
// for the window's thread, which runs its calls in order and ends when none are left; this thread does not
// wait. The call must hold copies of everything it uses: it may run long after the caller's objects are
// gone. False when the call was dropped because too many calls already wait for hung threads.
bool CallWithoutWaiting(HWND window, std::function<void()> call);

// Worker threads that exist right now (each serves one thread of other windows), and the calls waiting.
int WindowCallWorkers();
int PendingWindowCalls();

// The window functions whose platform versions wait for the window's thread, each made safe this way:
// through the platform's asynchronous variant where it has one, otherwise through CallWithoutWaiting.
// For another thread's window a true result means only that the request was made.
bool SetWindowPosSafely(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// Without an immediate erase or update for another thread's window: the window erases and paints itself
// when it next handles its messages.
bool RedrawWindowSafely(HWND window, UINT flags);
void ShowScrollBarSafely(HWND window, int bar, bool show);
void SetWindowLongSafely(HWND window, int index, LONG value);
void SetWindowTextSafely(HWND window, const std::string& text); // WM_SETTEXT
