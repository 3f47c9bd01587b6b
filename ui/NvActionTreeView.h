// A tree view of the control kit that also reports double-clicks and keys, shows its popup menu, can draw
// nodes with children in bold, and keeps itself the size of its parent's client area.
#pragma once

#include "ui/NvClasses.h"

#include <functional>
#include <memory>
#include <string>

class TNvActionTreeView : public TNvTreeView {
  public:
    explicit TNvActionTreeView(TNvWindow& owner, DWORD extraStyle = 0, DWORD removedStyle = 0);
    ~TNvActionTreeView() override;

    std::function<void(TNvActionTreeView&)> OnDblClick;
    // (sender, virtual key, TShiftState bits)
    std::function<void(TNvActionTreeView&, WORD, unsigned)> OnKeyDown;
    // Nodes with child nodes are drawn in a bold variant of the tree's font.
    bool BoldParents = false;

    HTREEITEM Selected() const { return TreeView_GetSelection(Handle()); }
    HTREEITEM AddNode(HTREEITEM parent, const std::string& text, LPARAM data, int image);
    LPARAM NodeData(HTREEITEM node) const;
    std::string NodeText(HTREEITEM node) const;
    int NodeCount() const { return static_cast<int>(TreeView_GetCount(Handle())); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);
    void FitParent();
    HWND hParent = nullptr;
    TFont boldFont;
    HFONT boldFrom = nullptr; // the font the bold one was made from
};
