// TNvOwnerDrawListView: a report list whose owner draws every row at a fixed height.
#pragma once

#include "ui/NvListView.h"

#include <windows.h>

#include <functional>

// An owner-drawn list view asks for its row height only when its size changes: this makes it ask now.
void AskForItemHeight(HWND list);

// A list view whose owner draws every row, with a fixed row height.
class TNvOwnerDrawListView : public TNvListView {
  public:
    explicit TNvOwnerDrawListView(TNvWindow& owner, DWORD extraStyle = 0);

    int ItemHeight = 16; // -1 keeps the system's height
    // Makes the list take a changed ItemHeight.
    void ApplyItemHeight();
    std::function<void(TNvOwnerDrawListView&, const DRAWITEMSTRUCT&)> OnDrawItem;

    void ClickColumn(int column) override;

  protected:
    void ColumnResized(int column, int width) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
