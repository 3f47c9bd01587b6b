// TSnapshotDiffForm: the list of differences, its copy and its double-click.
#include "snapshot/SnapshotDiffForm.h"

#include "app/PickWindow.h"
#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "snapshot/SnapshotText.h"

#include <cstring>
#include <iterator>
#include <utility>

namespace {

const TNvListColumn DifferenceColumns[] = {{70, TNvAlignment::Left, "Difference"},
                                           {260, TNvAlignment::Left, "Window"},
                                           {170, TNvAlignment::Left, "Value"},
                                           {150, TNvAlignment::Left, "Old"},
                                           {150, TNvAlignment::Left, "New"}};
const int DefaultWidth = 820;
const int DefaultHeight = 420;

std::string CellValue(const std::string& value, bool absent) {
    return absent ? "(absent)" : EscapeValue(value);
}

std::string CountsText(const std::vector<TSnapshotDifference>& differences) {
    int added = 0, removed = 0, changed = 0;
    for (const TSnapshotDifference& d : differences)
        ++(d.Kind == TDifferenceKind::Added ? added : d.Kind == TDifferenceKind::Removed ? removed : changed);
    if (differences.empty()) return "no differences";
    return FormatText("%d added, %d removed, %d changed values", added, removed, changed);
}

std::string FileNameOnly(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

LRESULT TDifferenceListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == 'C' && TNvForm::ShiftStateNow() == ssCtrl && OnCopy) {
        OnCopy();
        return 0;
    }
    return TNvActionListView::HandleMessage(message, wParam, lParam);
}

TSnapshotDiffForm::TSnapshotDiffForm(const std::string& fileName, TGatheredSnapshot state,
                                     std::vector<TSnapshotDifference> found)
    : TNvForm("TSnapshotDiffForm"), Differences(std::move(found)), now(std::move(state)) {
    SetCaption("Differences from " + FileNameOnly(fileName) + " - " + CountsText(Differences));
    List = &MakeChild<TDifferenceListView>();
    List->SetColumnClick(false);
    List->AddColumns(DifferenceColumns, static_cast<int>(std::size(DifferenceColumns)) - 1,
                     ScreenPixelsPerInch());
    {
        TRedrawOff redraw(List->Handle());
        for (size_t i = 0; i < Differences.size(); ++i) {
            const TSnapshotDifference& d = Differences[i];
            const bool changed = d.Kind == TDifferenceKind::Changed;
            List->AddRow({DifferenceKindText(d.Kind), d.Path, EscapeValue(d.Name),
                          changed ? CellValue(d.Old, d.OldAbsent) : std::string(),
                          changed ? CellValue(d.New, d.NewAbsent) : std::string()},
                         static_cast<LPARAM>(i), -1);
        }
    }
    List->OnCopy = [this] { CopyDifferences(); };
    List->OnDblClick = [this](TNvActionListView& list) { TrackRow(list.SelectedIndex()); };
    SetFontAll(IconTitleFont.Get());
    SetBounds(100, 100, DefaultWidth, DefaultHeight);
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

TSnapshotDiffForm::~TSnapshotDiffForm() {
    if (Handle()) DestroyWindow(Handle());
}

std::string TSnapshotDiffForm::CopiedText() const {
    std::vector<TSnapshotDifference> chosen;
    for (int row = ListView_GetNextItem(List->Handle(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(List->Handle(), row, LVNI_SELECTED))
        chosen.push_back(Differences[static_cast<size_t>(List->RowData(row))]);
    return DifferencesText(chosen.empty() ? Differences : chosen);
}

bool TSnapshotDiffForm::CopyDifferences() const {
    return CopyTextToClipboard(Handle(), CopiedText());
}

HWND TSnapshotDiffForm::WindowOfRow(int row) const {
    if (row < 0 || row >= List->RowCount()) return nullptr;
    const int index = Differences[static_cast<size_t>(List->RowData(row))].NewWindow;
    if (index < 0 || static_cast<size_t>(index) >= now.Handles.size()) return nullptr;
    HWND window = now.Handles[static_cast<size_t>(index)];
    // The handle may have gone, or been given to another window since: its class must still agree.
    char className[256] = {};
    if (!IsWindow(window) || !GetClassNameA(window, className, sizeof className)) return nullptr;
    return now.Snapshot.Windows[static_cast<size_t>(index)].ClassName == className ? window : nullptr;
}

bool TSnapshotDiffForm::TrackRow(int row) {
    HWND window = WindowOfRow(row);
    if (!window) return false;
    PickWindow(window);
    return true;
}
