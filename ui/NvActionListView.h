// A list view of the control kit that also reports double-clicks and keys, shows a popup menu, and keeps
// itself the size of its parent's client area.
#pragma once

#include "ui/NvClasses.h"

#include <functional>
#include <memory>
#include <vector>

class TNvActionListView : public TNvListView {
  public:
    explicit TNvActionListView(TNvWindow& owner, DWORD extraStyle = 0);
    ~TNvActionListView() override;

    std::function<void(TNvActionListView&)> OnDblClick;
    // (sender, virtual key, TShiftState bits)
    std::function<void(TNvActionListView&, WORD, unsigned)> OnKeyDown;
    // Keys (in the menu tables' shortcut form) that OnKeyDown acts on; they come before the main menu's.
    std::vector<uint16_t> OwnShortCuts;
    bool HandlesKey(WORD key, unsigned shift) const override;

    int SelectedIndex() const;
    // Selects and focuses one row (the others lose both) and scrolls it fully into view.
    void SelectRow(int index);
    int FocusedIndex() const;
    int RowCount() const;
    LPARAM RowData(int index) const;
    std::string CellText(int row, int column) const;
    // Adds a row with its data and icon; the texts of the further columns follow in cells.
    int AddRow(const std::vector<std::string>& cells, LPARAM data, int image);
    // A row whose cells, the first too, are asked of OnCellText when drawn or read: a changed text then
    // costs no message to the list, only the repaint of its cell.
    int AddCallbackRow(int columns, LPARAM data, int image);

    void KeyDown(WORD key, unsigned shift);
    void DblClick();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    void FitParent();
    HWND hParent = nullptr;
};
