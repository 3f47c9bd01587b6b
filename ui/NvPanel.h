// TNvPanel: a plain panel in its parent's colour with paint and resize handlers.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>

#include <functional>

// A plain panel in its parent's colour; OnPaint draws after the panel has painted itself.
class TNvPanel : public TNvWindow {
  public:
    explicit TNvPanel(TNvWindow& owner, const char* className = "TNvPanel");
    std::function<void(TNvPanel&, HDC)> OnPaint;
    std::function<void(TNvPanel&)> OnResize; // after the panel has taken its new size

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
