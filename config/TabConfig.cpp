// TConfigTab: the registry as a sortable list; every change goes through the variables' setters.
#include "config/TabConfig.h"

#include "app/WinApiEx.h"
#include "config/ConfigRows.h"
#include "config/EasyConfig.h"
#include "ui/QrDialogs.h"

namespace {

const TNvListColumn Columns[] = {
    {210, TNvAlignment::Left, "Variable Name"},
    {140, TNvAlignment::Left, "Value"},
    {54, TNvAlignment::Left, "Type"},
};

TConfigVar* VariableOf(LPARAM data) {
    return reinterpret_cast<TConfigVar*>(data);
}

} // namespace

TConfigTab::TConfigTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Config");
    ListView = &Sheet->MakeChild<TNvActionListView>(LVS_SINGLESEL);
    ListView->AddColumns(Columns, static_cast<int>(std::size(Columns)) - 1, ScreenPixelsPerInch());
    if (SharedImageList) ListView_SetImageList(ListView->Handle(), SharedImageList->Handle(), LVSIL_SMALL);
    ListView->OnCompare = [this](TNvListView&, int a, int b) {
        return CompareRows(ListView->RowData(a), ListView->RowData(b));
    };
    ListView->OnDblClick = [this](TNvActionListView&) { EditSelected(); };
    ListView->OnKeyDown = [this](TNvActionListView&, WORD key, unsigned shift) {
        if (shift != ssNone) return;
        if (key == VK_RETURN) EditSelected();
        if (key == VK_DELETE) ResetSelected();
    };
}

// A change rewrites only its own row: a full refill on every keystroke of a setting typed elsewhere (the
// Messages tab's filter) cost more than the typing itself.
void TConfigTab::ConfigChanged(TConfigVar& variable) {
    if (filling || !ConfigStore) return;
    if (Sheet->PageControl.ActivePageIndex() != Sheet->PageIndex()) {
        behind = true;
        return;
    }
    int row = -1;
    if (ListView->RowCount() == ConfigStore->Count()) {
        // One question to the list, not one per row: a setting typed elsewhere changes at every keystroke.
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(&variable);
        row = ListView_FindItem(ListView->Handle(), -1, &find);
    }
    if (row < 0) {
        Fill();
        return;
    }
    HWND list = ListView->Handle();
    const std::string cells[] = {ConfigRowCaption(variable), variable.AsText()};
    bool changed = false;
    for (int column = 0; column < 2; ++column) {
        if (ListView->CellText(row, column) == cells[column]) continue;
        ListView_SetItemText(list, row, column, const_cast<char*>(cells[column].c_str()));
        changed = true;
    }
    if (!changed || ListView->SortColumn > 1 || ListView->RowInOrder(row)) return;
    // The order has changed; the selection keeps its position, as after a refill.
    int selected = ListView->SelectedIndex();
    ListView->Sort();
    if (selected >= 0) ListView->SelectRow(selected);
}

void TConfigTab::Activate() {
    TPaneprobeTab::Activate(); // may change a setting itself
    if (!behind) return;
    behind = false;
    Fill();
}

void TConfigTab::Fill() {
    // A variable set while the list is being filled (none does so today) must not refill it half-way.
    if (filling || !ConfigStore) return;
    filling = true;
    HWND list = ListView->Handle();
    int selected = ListView->SelectedIndex();
    TRedrawOff redraw(list);
    ListView_DeleteAllItems(list);
    for (int i = 0; i < ConfigStore->Count(); ++i) {
        TConfigVar* variable = ConfigStore->Item(i);
        if (!variable) continue;
        ListView->AddRow({ConfigRowCaption(*variable), variable->AsText(), variable->TypeName()},
                         reinterpret_cast<LPARAM>(variable), ConfigRowImage(*variable));
    }
    ListView->Sort();
    redraw.Resume();
    if (selected < 0) {
        ListView_SetItemState(list, -1, 0, LVIS_FOCUSED);
        if (ListView->RowCount() > 0) ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        // The same position, which after sorting may hold another variable.
        ListView->SelectRow(selected < ListView->RowCount() ? selected : ListView->RowCount() - 1);
    }
    filling = false;
}

int TConfigTab::CompareRows(LPARAM data1, LPARAM data2) {
    TConfigVar* a = VariableOf(data1);
    TConfigVar* b = VariableOf(data2);
    if (!a || !b) return 0;
    return CompareConfigRows(*a, *b, ListView->SortColumn, ListView->SortDescending);
}

TConfigVar* TConfigTab::SelectedVariable() const {
    int row = ListView->SelectedIndex();
    return row < 0 ? nullptr : VariableOf(ListView->RowData(row));
}

void TConfigTab::EditSelected() {
    TConfigVar* variable = SelectedVariable();
    if (!variable) return;
    if (auto* flag = dynamic_cast<TConfigVarBool*>(variable)) {
        flag->SetValue(!flag->Value);
        return;
    }
    std::string prompt =
        "Enter a new " + variable->TypeName() + " value for \"" + variable->FullName() + "\"...";
    std::string value = variable->AsText();
    // The registry owns its variables for the program's whole run, so the pointer outlives the dialog.
    if (InputDialog(Sheet->Handle(), prompt, value, nullptr, "")) variable->SetAsText(value);
}

void TConfigTab::ResetSelected() {
    if (TConfigVar* variable = SelectedVariable()) variable->Reset();
}
