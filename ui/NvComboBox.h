// TNvComboBox: a drop-down list to pick from.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>

#include <functional>

// A drop-down list: the user picks, cannot type.
class TNvComboBox : public TNvWindow {
  public:
    explicit TNvComboBox(TNvWindow& owner);
    std::function<void(TNvComboBox&)> OnChange;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
