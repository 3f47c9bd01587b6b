// TNvTreeView: a read-only tree that keeps its selection visible.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>

// A read-only tree view whose selection stays visible and which selects on right-click.
class TNvTreeView : public TNvWindow {
  public:
    explicit TNvTreeView(TNvWindow& owner);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
