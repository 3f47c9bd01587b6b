// TPropertiesTab: the groups' rows, whose Value cells follow the tracked window ten times a second.
#include "tabs/TabProperties.h"

#include "app/WinApiEx.h"
#include "tabs/PropertyTexts.h"
#include "tabs/StyleNames.h"

#include <cstdlib>
#include <string_view>

namespace {

const TNvListColumn Columns[] = {
    {160, TNvAlignment::Left, "Description"},
    {360, TNvAlignment::Left, "Value"},
    {70, TNvAlignment::Centre, "Group"},
};
const int ValueColumn = 1;
const int GroupColumn = 2;

int GroupOf(LPARAM key) {
    return static_cast<int>(key & 0xFFFF);
}
int PropertyOf(LPARAM key) {
    return static_cast<int>((key >> 16) & 0xFFFF);
}

} // namespace

TPropertiesTab::TPropertiesTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Properties");
    ListView = &Sheet->MakeChild<TNvActionListView>(LVS_SINGLESEL);
    ListView->SetSortColumn(GroupColumn);
    ListView->AddColumns(Columns, static_cast<int>(std::size(Columns)) - 1, ScreenPixelsPerInch());
    if (SharedImageList) ListView_SetImageList(ListView->Handle(), SharedImageList->Handle(), LVSIL_SMALL);
    ListView->OnCompare = [this](TNvListView&, int a, int b) {
        return CompareRows(ListView->RowData(a), ListView->RowData(b));
    };
    ListView->SetInfoTipHandler([this](TNvListView&, int row, int) { return InfoTip(row); });
    ListView->OnCellText = [this](TNvListView&, LPARAM key, int column) {
        return ValidKey(key) ? CellOf(key, column) : std::string();
    };
    ListView->OnCellMarked = [this](TNvListView&, LPARAM key, int column) {
        return (column < 0 || column == ValueColumn) && IsMarked(key);
    };
    for (const TPropertyGroupClass& groupClass : PropertyGroupClasses())
        Groups.push_back(groupClass.Create());
    BuildRows();
}

// The Value cells are asked of the tab as they are painted, so that a changed value repaints its cell only.
void TPropertiesTab::BuildRows() {
    HWND list = ListView->Handle();
    TRedrawOff redraw(list);
    ListView_DeleteAllItems(list);
    ClearMarks();
    shown.assign(Groups.size(), {});
    built.assign(Groups.size(), {});
    changedAt.assign(Groups.size(), {});
    for (size_t g = 0; g < Groups.size(); ++g) {
        const TPropertyGroup& group = *Groups[g];
        shown[g].assign(static_cast<size_t>(group.Count()), std::string());
        changedAt[g].assign(static_cast<size_t>(group.Count()), 0);
        for (int p = 0; p < group.Count(); ++p) {
            built[g].push_back(group.GetDescription(p));
            int row = ListView->AddRow({group.GetDescription(p), "", group.Name},
                                       RowKey(static_cast<int>(g), p), ImageOf(static_cast<int>(g)));
            if (row >= 0) ListView_SetItemText(list, row, ValueColumn, LPSTR_TEXTCALLBACKA);
        }
    }
    redraw.Resume();
    ListView->Sort();
    ListView->Invalidate();
}

// Only the cells whose text changed are repainted, and only those cells, not their rows; the list paints
// them together, double-buffered, once the refresh is done. Rows are not sorted again. Values that differ
// because another window is now tracked are not marked as changed.
void TPropertiesTab::RefreshValues() {
    const TWindowDetails* record = TrackedList ? TrackedList->Current() : nullptr;
    for (auto& group : Groups) {
        if (record)
            group->Update(*record);
        else
            group->ClearValues();
    }
    // The property list and the extra bytes have as many rows as the window has entries.
    if (RowsChanged()) BuildRows();
    HWND window = record ? record->Handle : nullptr;
    const bool sameWindow = window && window == shownWindow;
    shownWindow = window;
    const DWORD now = Clock();
    if (!sameWindow) ClearMarks();
    ExpireMarks(now, false);
    HWND list = ListView->Handle();
    for (size_t g = 0; g < Groups.size(); ++g) {
        for (int p = 0; p < Groups[g]->Count(); ++p) {
            const std::string& value = Groups[g]->GetValue(p);
            if (value == shown[g][static_cast<size_t>(p)]) continue;
            if (sameWindow) {
                DWORD& changed = changedAt[g][static_cast<size_t>(p)];
                if (!changed) ++markCount;
                changed = now ? now : 1;
            }
            ShowValue(list, static_cast<int>(g), p, value);
        }
    }
    ListView->MarksShown = markCount > 0;
}

void TPropertiesTab::ShowValue(HWND list, int group, int property, const std::string& value) {
    shown[static_cast<size_t>(group)][static_cast<size_t>(property)] = value;
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = RowKey(group, property);
    int row = ListView_FindItem(list, -1, &find);
    if (row >= 0) ListView->InvalidateCell(row, ValueColumn);
}

void TPropertiesTab::ExpireMarks(DWORD now, bool all) {
    if (markCount == 0) return;
    HWND list = ListView->Handle();
    for (size_t g = 0; g < changedAt.size(); ++g) {
        for (size_t p = 0; p < changedAt[g].size(); ++p) {
            DWORD& changed = changedAt[g][p];
            if (!changed || (!all && now - changed < MarkPeriodMs)) continue;
            changed = 0;
            --markCount;
            ShowValue(list, static_cast<int>(g), static_cast<int>(p), shown[g][p]);
        }
    }
    ListView->MarksShown = markCount > 0;
}

// Marked cells are repainted unmarked.
void TPropertiesTab::ClearMarks() {
    ExpireMarks(0, true);
    markCount = 0;
    ListView->MarksShown = false;
}

bool TPropertiesTab::IsMarked(LPARAM key) const {
    if (!ValidKey(key)) return false;
    return changedAt[static_cast<size_t>(GroupOf(key))][static_cast<size_t>(PropertyOf(key))] != 0;
}

bool TPropertiesTab::RowsChanged() const {
    if (built.size() != Groups.size()) return true;
    for (size_t g = 0; g < Groups.size(); ++g) {
        if (built[g].size() != static_cast<size_t>(Groups[g]->Count())) return true;
        for (int p = 0; p < Groups[g]->Count(); ++p)
            if (built[g][static_cast<size_t>(p)] != Groups[g]->GetDescription(p)) return true;
    }
    return false;
}

const std::string& TPropertiesTab::CellOf(LPARAM key, int column) const {
    const TPropertyGroup& group = *Groups[static_cast<size_t>(GroupOf(key))];
    if (column == 0) return group.GetDescription(PropertyOf(key));
    if (column == 1) return shown[static_cast<size_t>(GroupOf(key))][static_cast<size_t>(PropertyOf(key))];
    return group.Name;
}

bool TPropertiesTab::ValidKey(LPARAM key) const {
    return GroupOf(key) < static_cast<int>(Groups.size()) &&
           PropertyOf(key) < Groups[static_cast<size_t>(GroupOf(key))]->Count() &&
           static_cast<size_t>(PropertyOf(key)) < shown[static_cast<size_t>(GroupOf(key))].size() &&
           static_cast<size_t>(PropertyOf(key)) < changedAt[static_cast<size_t>(GroupOf(key))].size();
}

int TPropertiesTab::CompareRows(LPARAM a, LPARAM b) const {
    for (LPARAM key : {a, b})
        if (!ValidKey(key)) return 0;
    int column = ListView->SortColumn;
    if (column < 0 || column > GroupColumn) return 0;
    return ComparePropertyCells(CellOf(a, column), CellOf(b, column), ListView->SortDescending);
}

// The names of the value the row shows, read from its cell so that the tip agrees with it; the class of
// the tracked window chooses the class's own names.
std::string TPropertiesTab::InfoTip(int row) const {
    if (row < 0 || row >= ListView->RowCount()) return std::string();
    const LPARAM key = ListView->RowData(row);
    const size_t group = static_cast<size_t>(GroupOf(key)), property = static_cast<size_t>(PropertyOf(key));
    if (group >= Groups.size() || !dynamic_cast<const TStyleProperty*>(Groups[group].get()) || property > 1 ||
        property >= shown[group].size())
        return std::string();
    std::string_view cell = shown[group][property];
    if (cell.substr(0, HexPrefix.size()) == HexPrefix) cell.remove_prefix(HexPrefix.size());
    if (cell.empty() || cell.size() > 8 || cell.find_first_not_of("0123456789abcdefABCDEF") != cell.npos)
        return std::string();
    const unsigned long value = std::strtoul(std::string(cell).c_str(), nullptr, 16);
    if (property == 1) return ExtendedStyleText(static_cast<uint32_t>(value));
    const TWindowDetails* record = TrackedList ? TrackedList->Current() : nullptr;
    return StyleText(static_cast<uint32_t>(value), std::string_view(record ? record->ClassName : ""));
}
