// TNvListView: a report list with a sort state, a header sort mark and column tables.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>

enum class TNvAlignment : uint8_t { Left, Right, Centre };

// One row of a column table; Width is in pixels at 96 pixels per inch.
struct TNvListColumn {
    int32_t Width;
    TNvAlignment Alignment;
    const char* Caption;
};

// A report-style list view with a sort state, a header sort mark, column tables and a column-resized hook.
class TNvListView : public TNvWindow {
  public:
    explicit TNvListView(TNvWindow& owner, DWORD extraStyle = 0);

    int SortColumn = 0;
    bool SortDescending = false;
    // (sender, column or -1, width)
    std::function<void(TNvListView&, int, int)> OnColumnResize;
    std::function<void(TNvListView&, int)> OnColumnClick;
    // Compares the rows at two indexes; reads SortColumn and SortDescending itself.
    std::function<int(TNvListView&, int, int)> OnCompare;
    // Info tips: SetInfoTipHandler([](TNvListView&, int row, int column) { return "tip"; }); "" shows none.
    using TInfoTipHandler = std::function<std::string(TNvListView&, int, int)>;
    void SetInfoTipHandler(TInfoTipHandler handler);
    // The text of a cell written as LPSTR_TEXTCALLBACKA, asked by the row's data and the column: such a
    // cell changes with one InvalidateCell instead of a write that repaints its whole row.
    std::function<std::string(TNvListView&, LPARAM, int)> OnCellText;
    // While MarksShown, the cells for which OnCellMarked answers true are drawn in the highlight colours;
    // column -1 asks whether any cell of the row is (the row's cells are then asked one by one).
    std::function<bool(TNvListView&, LPARAM, int)> OnCellMarked;
    bool MarksShown = false;
    // Repaints one cell, not its row.
    void InvalidateCell(int row, int column) { InvalidateCells(row, {column}); }
    // Repaints the given cells of a row at one invalidation: one cell alone, or the row for several.
    void InvalidateCells(int row, const std::vector<int>& columns);
    // What the list asks for when the pointer rests on a cell; "" without a handler or tip.
    std::string InfoTip(int row, int column);

    bool ColumnClick() const;
    void SetColumnClick(bool on);
    void AddColumns(const TNvListColumn* table, int lastIndex, int pixelsPerInch);
    void SetSortColumn(int index);
    int ColumnCount() const;
    HWND Header() const { return ListView_GetHeader(Handle()); }
    // Header format bits (HDF_SORTUP, HDF_SORTDOWN) of a column; 0 when it does not exist.
    int HeaderFormat(int column) const;
    void Sort();
    // Whether the row at this position still sits between its neighbours in the sort order: a sorted list
    // whose only changed row does so needs no sort.
    bool RowInOrder(int row);
    // What a click on a column header does: the sort state, the mark, the handler, the sort.
    virtual void ClickColumn(int column);
    std::string ColumnCaption(int column) const;
    // The full text of a cell, however long.
    std::string ItemText(int row, int column) const;
    // Ctrl+C: the column captions, then every selected row, tab-separated, to the clipboard.
    std::string SelectedRowsText() const;
    bool CopySelectedRows() const;
    // Ctrl+C is the list's own key.
    bool HandlesKey(WORD key, unsigned shift) const override;

  protected:
    virtual void ColumnResized(int column, int width);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void SetSortMark(int column, bool on);

  private:
    static int CALLBACK CompareRows(LPARAM index1, LPARAM index2, LPARAM self);
    void HeaderNotify(const NMHEADERA& header);
    template <class TInfoTip> void AnswerInfoTip(TInfoTip& request);
    template <class TDispInfo> void AnswerCellText(TDispInfo& request);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    TInfoTipHandler onInfoTip;
};
