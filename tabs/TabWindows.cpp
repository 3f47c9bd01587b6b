// TWindowsTab and the "&Commands" menu.
#include "tabs/TabWindows.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "tabs/WndFuncs.h"

namespace {

const TNvListColumn Columns[] = {
    {191, TNvAlignment::Left, "Class"},   {75, TNvAlignment::Centre, "Handle"},
    {336, TNvAlignment::Left, "Caption"}, {75, TNvAlignment::Centre, "Parent"},
    {44, TNvAlignment::Centre, "PID"},    {44, TNvAlignment::Centre, "TID"},
    {76, TNvAlignment::Centre, "Style"},
};
const TNvMenuEntry PopupEntries[] = {
    {cmdCopyClassName, 0, "Copy ClassName", 0, 0},
    {cmdCopyCaption, 0, "Copy Caption", 0, 0},
};
const int VisibleImage = 2; // blue
const int HiddenImage = 9;  // red

uint32_t HandleValue(HWND handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

} // namespace

TWindowsTab::TWindowsTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Tracked");
    ListView = &Sheet->MakeChild<TNvActionListView>(LVS_SINGLESEL | LVS_NOSORTHEADER);
    ListView->AddColumns(Columns, static_cast<int>(std::size(Columns)) - 1, ScreenPixelsPerInch());
    if (SharedImageList) ListView_SetImageList(ListView->Handle(), SharedImageList->Handle(), LVSIL_SMALL);
    ListView->PopupMenu = std::make_unique<TNvPopupMenu>(
        *ListView, [this](TNvMenuItem& item) { CopySelected(item.Entry ? item.Entry->Id : 0); }, PopupEntries,
        static_cast<int>(std::size(PopupEntries)) - 1);
    // The platform's locale-aware, case-sensitive order of the class names.
    ListView->OnCompare = [this](TNvListView&, int row1, int row2) {
        const TWindowDetails* a = TrackedList ? TrackedList->Get(static_cast<int>(ListView->RowData(row1))) : nullptr;
        const TWindowDetails* b = TrackedList ? TrackedList->Get(static_cast<int>(ListView->RowData(row2))) : nullptr;
        return lstrcmpA(a ? a->ClassName : "", b ? b->ClassName : "");
    };
    ListView->OnDblClick = [this](TNvActionListView&) { MakeSelectedCurrent(); };
    ListView->OnKeyDown = [this](TNvActionListView&, WORD key, unsigned shift) {
        if (shift != ssNone) return;
        if (key == VK_RETURN) MakeSelectedCurrent();
        if (key == VK_DELETE) DeleteSelected();
    };
    RebuildList();
}

void TWindowsTab::RebuildList() {
    HWND list = ListView->Handle();
    int focused = ListView->FocusedIndex();
    int count = TrackedList ? TrackedList->Count() : 0;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    static const TCharSet lineBreaks = MakeCharSet("\r\n");
    for (int i = 0; i < count; ++i) {
        const TWindowDetails* record = TrackedList->Get(i);
        if (!record) continue;
        ListView->AddRow({record->ClassName, FormatNonZero(HandleValue(record->Handle), "0x%.8x"),
                          RemoveChars(record->Caption, lineBreaks, 1),
                          FormatNonZero(HandleValue(record->Parent), "0x%.8x"),
                          FormatNonZero(record->ProcessId, "%d"), FormatNonZero(record->ThreadId, "%d"),
                          FormatNonZero(record->Style, "0x%.8x")},
                         i, (record->Style & WS_VISIBLE) ? VisibleImage : HiddenImage);
    }
    ListView->Sort();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    SetCaption(FormatText("Tracked (%d)", count));
    // The same position, not the same window: after sorting another window may stand there.
    ListView->SelectRow(Clamp(focused, 0, ListView->RowCount() - 1));
}

int TWindowsTab::SelectedRecord() const {
    int row = ListView->SelectedIndex();
    return row < 0 ? -1 : static_cast<int>(ListView->RowData(row));
}

void TWindowsTab::MakeSelectedCurrent() {
    int record = SelectedRecord();
    if (record >= 0 && TrackedList) TrackedList->SetItemIndex(record);
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
