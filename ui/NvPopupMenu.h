// TNvPopupMenu: a shortcut menu built from an entry table.
#pragma once

#include "ui/NvMenu.h"

#include <windows.h>

class TNvWindow;

class TNvPopupMenu : public TNvMenu {
  public:
    TNvPopupMenu(TNvWindow& owner, const TNvMenuClick& onClick, const TNvMenuEntry* table, int lastIndex);
    // Shows the menu at a screen point and runs the chosen item's handler.
    void Popup(int x, int y);

  private:
    TNvWindow& Owner;
};
