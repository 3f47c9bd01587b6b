// The "Menus" tab: the tracked window's menu bar or system menu as a tree of item texts.
#pragma once

#include "app/Shared.h"
#include "tabs/TopPanelLayout.h"
#include "ui/NvActionTreeView.h"

#include <vector>

enum TMenuKind : int { mkStandard = 1, mkSystem = 2 };

class TMenusTab : public TPaneprobeTab {
  public:
    explicit TMenusTab(TNvTabSheet* sheet);
    // The most nodes one menu gives: menus that open the next one twice, level after level, are no loop.
    static const int MaxMenuNodes = 5000;

    TTopPanelLayout Panels;
    TNvButton* StandardButton = nullptr;
    TNvButton* SystemButton = nullptr;
    TNvActionTreeView* Tree = nullptr;

    // Enables each button exactly when the tracked window has that menu.
    void Refresh() override;
    void ShowMenu(int kind);
    void AddMenuItems(HMENU menu, HTREEITEM parent);

  private:
    void AddMenuLevel(HMENU menu, HTREEITEM parent, std::vector<HMENU>& path, int& budget);
};
