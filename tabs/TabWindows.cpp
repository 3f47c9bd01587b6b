// TWindowsTab and the "&Commands" menu.
#include "tabs/TabWindows.h"

#include "app/PickOutline.h"
#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "tabs/WindowRows.h"
#include "tabs/WndFuncs.h"

#include <algorithm>
#include <vector>

namespace {

const TNvMenuEntry PopupEntries[] = {
    {cmdCopyClassName, 0, "Copy ClassName", 0, 0},
    {cmdCopyCaption, 0, "Copy Caption", 0, 0},
};

} // namespace

TWindowsTab::TWindowsTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Tracked");
    ListView = &Sheet->MakeChild<TNvActionListView>(LVS_SINGLESEL | LVS_NOSORTHEADER);
    SetUpWindowRows(*ListView,
                    [](int position) { return TrackedList ? TrackedList->Get(position) : nullptr; });
    ListView->PopupMenu = std::make_unique<TNvPopupMenu>(
        *ListView, [this](TNvMenuItem& item) { CopySelected(item.Entry ? item.Entry->Id : 0); }, PopupEntries,
        static_cast<int>(std::size(PopupEntries)) - 1);
    // The cells are asked for when painted: a changed record then costs one invalidation of its changed
    // cells, not one write and repaint for each cell.
    ListView->OnCellText = [this](TNvListView&, LPARAM position, int column) {
        for (const TShownRow& row : shownRows)
            if (row.Position == static_cast<int>(position))
                return static_cast<size_t>(column) < row.Cells.size() ? row.Cells[static_cast<size_t>(column)]
                                                                      : std::string();
        return std::string();
    };
    ListView->OnDblClick = [this](TNvActionListView&) { MakeSelectedCurrent(); };
    ListView->OnKeyDown = [this](TNvActionListView&, WORD key, unsigned shift) {
        if (shift != ssNone) return;
        if (key == VK_RETURN) MakeSelectedCurrent();
        if (key == VK_DELETE) DeleteSelected();
    };
    RebuildList();
}

// Rows are written in class-name order, and only where they differ from what the list shows: with scanning
// on the list is rebuilt twice per fast tick, and a full refill of the list view costs milliseconds.
void TWindowsTab::RebuildList() {
    HWND list = ListView->Handle();
    int count = TrackedList ? TrackedList->Count() : 0;
    std::vector<TShownRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TWindowDetails* record = TrackedList->Get(i);
        if (!record) continue;
        rows.push_back({WindowRowCells(*record), i, WindowRowImage(*record)});
    }
    // The platform's locale-aware, case-sensitive order of the class names; equal names keep list order.
    std::stable_sort(rows.begin(), rows.end(), [](const TShownRow& a, const TShownRow& b) {
        return lstrcmpA(a.Cells[0].c_str(), b.Cells[0].c_str()) < 0;
    });
    UpdateCaption();
    // Nothing to write: leave the list, its selection and its focus as they are, only make sure the focused
    // row is in view (the user may have scrolled it away). Every question to the list view costs a round
    // trip under Wine, and a resting pointer brings us here 30 times a second.
    int focused = ListView->FocusedIndex();
    if (rows == shownRows) {
        if (focused >= 0) ListView_EnsureVisible(list, focused, FALSE);
        return;
    }
    if (static_cast<int>(rows.size()) != ListView->RowCount() || rows.size() != shownRows.size()) {
        TRedrawOff update(list, TRedrawOff::RepaintErased);
        ListView_DeleteAllItems(list);
        shownRows.clear();
        for (const TShownRow& row : rows)
            ListView->AddCallbackRow(static_cast<int>(row.Cells.size()), row.Position, row.Image);
    } else {
        for (size_t i = 0; i < rows.size(); ++i)
            UpdateRow(static_cast<int>(i), rows[i], shownRows[i]);
    }
    shownRows = std::move(rows);
    // The same position, not the same window: another window may stand there now.
    int wanted = Clamp(focused, 0, ListView->RowCount() - 1);
    if (wanted != focused || ListView->SelectedIndex() != wanted)
        ListView->SelectRow(wanted); // which scrolls it into view
    else if (wanted >= 0)
        ListView_EnsureVisible(list, wanted, FALSE);
}

void TWindowsTab::UpdateCaption() {
    std::string caption = FormatText("Tracked (%d)", TrackedList ? TrackedList->Count() : 0);
    if (caption != Caption) SetCaption(caption);
}

void TWindowsTab::UpdateRow(int index, const TShownRow& row, const TShownRow& shown) {
    HWND list = ListView->Handle();
    if (row.Position != shown.Position || row.Image != shown.Image) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM | LVIF_IMAGE;
        item.iItem = index;
        item.lParam = row.Position;
        item.iImage = row.Image;
        ListView_SetItem(list, &item);
    }
    std::vector<int> changed;
    for (size_t column = 0; column < row.Cells.size(); ++column)
        if (row.Cells[column] != shown.Cells[column]) changed.push_back(static_cast<int>(column));
    ListView->InvalidateCells(index, changed);
}

int TWindowsTab::SelectedRecord() const {
    int row = ListView->SelectedIndex();
    return row < 0 ? -1 : static_cast<int>(ListView->RowData(row));
}

void TWindowsTab::MakeSelectedCurrent() {
    int record = SelectedRecord();
    if (record < 0 || !TrackedList) return;
    TrackedList->SetItemIndex(record);
    if (const TWindowDetails* current = TrackedList->Current()) FlashPickedWindow(current->Handle);
}

void TWindowsTab::DeleteSelected() {
    int record = SelectedRecord();
    if (record < 0 || !TrackedList || !TrackedList->Get(record)) return;
    TrackedList->Delete(record);
    RebuildList();
}

void TWindowsTab::CopySelected(int command) {
    int position = SelectedRecord();
    const TWindowDetails* record = TrackedList && position >= 0 ? TrackedList->Get(position) : nullptr;
    if (!record) return;
    if (command == cmdCopyClassName) CopyTextToClipboard(nullptr, record->ClassName);
    if (command == cmdCopyCaption) CopyTextToClipboard(nullptr, record->Caption);
}

void FillWindowCommandsMenu(TNvMainMenu& menu, TNvMenuItem& commandsMenu) {
    commandsMenu.OnClick = [](TNvMenuItem& item) { UpdateCommandChecks(item); };
    TNvMenuClick run = [](TNvMenuItem& item) {
        if (TrackedList) RunWindowCommand(item.Tag, *TrackedList, GetKeyState(VK_SHIFT) < 0);
    };
    for (int row = 0; row < WndCommandCount; ++row) {
        const TWndCommand& command = WndCommands[row];
        if (command.SeparatorBefore) menu.AddItem(&commandsMenu, "-", 0, -1, nullptr);
        menu.AddItem(&commandsMenu, command.Caption, command.ShortCut, row, run);
    }
}

void UpdateCommandChecks(TNvMenuItem& commandsMenu) {
    const TWindowDetails* record = TrackedList ? TrackedList->Current() : nullptr;
    if (!record || !IsWindow(record->Handle)) return;
    TWndTarget target = WndTargetOf(*record);
    for (const auto& item : commandsMenu.Items) {
        if (item->IsSeparator() || item->Tag < 0 || item->Tag >= WndCommandCount) continue;
        TWndIsChecked isChecked = WndCommands[item->Tag].IsChecked;
        item->SetChecked(isChecked && isChecked(target));
    }
}
