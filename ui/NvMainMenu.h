// TNvMainMenu: a form's menu bar built from entry tables.
#pragma once

#include "ui/NvMenu.h"

#include <windows.h>

#include <string>

class TNvForm;

class TNvMainMenu : public TNvMenu {
  public:
    explicit TNvMainMenu(TNvForm& owner);
    ~TNvMainMenu() override;
    // A top-level menu with one sub-item per entry 0..lastIndex (none for -1).
    TNvMenuItem& AddMenu(const std::string& caption, const TNvMenuEntry* table, int lastIndex,
                         const TNvMenuClick& onClick);

  private:
    TNvForm& Owner;
};
