// TNvButton: a push button with a click handler and an accelerator.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>

#include <functional>
#include <string>

class TNvButton : public TNvWindow {
  public:
    explicit TNvButton(TNvWindow& owner, const std::string& caption = "");
    std::function<void(TNvButton&)> OnClick;
    // The caption's accelerator clicks the button.
    bool DialogChar(WORD key) override;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
