// Reading a window and its whole subtree into a snapshot: every value of the Tracked row and of the
// Properties groups, and the menu by item text.
#pragma once

#include "snapshot/Snapshot.h"

#include <windows.h>

#include <vector>

struct TGatheredSnapshot {
    TSnapshot Snapshot;
    std::vector<HWND> Handles; // by window index, as gathered
};

// Never waits long: the values come from calls that do not send, and a caption the window system does not
// keep is asked with a bounded send, at most one timeout for each thread that does not answer. A window that
// vanishes while it is read keeps what was read of it. Stops adding windows at maxWindows.
TGatheredSnapshot GatherSnapshot(HWND root, size_t maxWindows = 100000);
// GatherSnapshot on a worker thread; the calling thread meanwhile answers messages sent to its own windows,
// which the worker may ask for their captions.
TGatheredSnapshot GatherSnapshotOnWorker(HWND root);
