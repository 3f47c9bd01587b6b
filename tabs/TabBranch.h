// The "Branch" tab: a window and everything below it as a tree, with the tracked window's node selected.
#pragma once

#include "app/BackgroundWork.h"
#include "app/Shared.h"
#include "tabs/BranchGather.h"
#include "tabs/TopPanelLayout.h"
#include "ui/NvActionTreeView.h"
#include "ui/WinHandles.h"

#include <optional>
#include <vector>

enum TBranchStart : int {
    bsCurrent = 0,
    bsParentOrDesktop = 1,
    bsParent = 2,
    bsDesktop = 3,
    bsParentAncestor = 4,
};

const uint16_t cmdBranchMonitor = 1;

class TBranchTab : public TPaneprobeTab {
  public:
    explicit TBranchTab(TNvTabSheet* sheet);
    // The most nodes one tree gets: windows come and go while they are walked.
    static const int MaxBranchNodes = 50000;

    TTopPanelLayout Panels;
    TNvButton* UpdateButton = nullptr;
    TNvComboBox* StartBox = nullptr;
    TNvActionTreeView* Tree = nullptr;

    int StartMode() const;
    void SetStartMode(int mode); // selects the mode without rebuilding
    // Gathers the branch on a worker; the tree keeps the previous one until the new one is in.
    void RebuildTree();
    // While a branch is gathered, or put into the tree a share at a time between messages.
    bool Building() const { return Gatherer.Running() || filling; }
    double FillShareSeconds = TFillShare::DefaultSeconds; // tests take a node a share
    void RunPopupCommand(int id);
    // The start window of a mode for the tracked window's record; 0 for none.
    static HWND StartWindow(int mode, const TWindowDetails& tracked);

  private:
    void Gathered(WPARAM request);
    // Empties the old tree, then adds the gathered nodes in order, until the share's time is spent.
    void FillShare(WPARAM fill);
    // The closing steps in order, from the first not yet taken: expanding the root, drawing turned back on,
    // the tracked node selected. Each lays out the whole tree; on a large one each gets a dispatch of its
    // own. Whether all were done.
    bool FillDone(const TFillShare& share);
    void DoubleClicked();

    TBackgroundWork<std::vector<TBranchNode>> Gatherer;
    HWND trackedHandle = nullptr; // the tracked window when the branch was asked for
    std::vector<TBranchNode> nodes;
    // The tree's nodes in the order they were added, the shown tree's once filled: emptying takes them from
    // the back, each then a leaf, since a whole subtree of thousands (the tray's windows) at once stalls.
    std::vector<HTREEITEM> items;
    bool emptying = false;
    HTREEITEM trackedItem = nullptr;
    bool filling = false;
    int closingStep = 0;
    unsigned fillSerial = 0; // a newer fill drops the shares of an older one
    std::optional<TRedrawOff> fillRedraw;
};
