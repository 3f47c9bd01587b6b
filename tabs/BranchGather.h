// The windows of a branch as the tree shows them, gathered on a worker: every read here asks the window
// system about the window and none sends it a message, so a hung program cannot hold the walk.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

struct TBranchNode {
    HWND Window = nullptr;
    int Parent = -1; // the index of the parent's node; -1 for the top node
    bool Visible = false;
    std::string ClassName; // empty for a window destroyed meanwhile
};

// The start window and everything below it, depth first, each level in ascending order of the class names
// by the locale's comparison (windows of one class stay in the platform's order). Another program may
// reorder its windows while they are walked, so that the next sibling is one already passed: the level
// ends there, and the whole walk ends at maxNodes. Empty without a start window or once cancelled.
std::vector<TBranchNode> GatherBranch(HWND start, size_t maxNodes, const std::atomic<bool>& cancelled);
