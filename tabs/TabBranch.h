// The "Branch" tab: a window and everything below it as a tree, with the tracked window's node selected.
#pragma once

#include "app/Shared.h"
#include "tabs/TopPanelLayout.h"
#include "ui/NvActionTreeView.h"

#include <map>
#include <string>

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
    void RebuildTree();
    void RunPopupCommand(int id);
    // The start window of a mode for the tracked window's record; 0 for none.
    static HWND StartWindow(int mode, const TWindowDetails& tracked);

  private:
    HTREEITEM AddNode(HWND window, HTREEITEM parent);
    void AddSiblings(HWND first, HTREEITEM parent);
    void SortAll(HTREEITEM parent);
    void DoubleClicked();

    HWND trackedHandle = nullptr;            // while a tree is built
    std::map<LPARAM, std::string> nodeTexts; // each node's text by its window, for sorting
};
