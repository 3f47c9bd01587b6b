// TProcessesTab: the process tree as an owner-drawn list that keeps its selection and scroll position.
#include "processes/TabProcesses.h"

#include "app/PickWindow.h"
#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "app/WorkerDetails.h"
#include "processes/ProcessRows.h"
#include "tabs/Properties.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <type_traits>
#include <set>
#include <unordered_set>

namespace {

const TNvListColumn Columns[] = {
    {230, TNvAlignment::Left, "Filename"},       {42, TNvAlignment::Right, "PID"},
    {42, TNvAlignment::Right, "P-PID"},          {114, TNvAlignment::Left, "Parent"},
    {92, TNvAlignment::Right, "Created"},        {52, TNvAlignment::Right, "Threads"},
    {52, TNvAlignment::Right, "Priority"},       {66, TNvAlignment::Right, "Window"},
    {200, TNvAlignment::Left, "Window Caption"}, {485, TNvAlignment::Left, "Path"},
};
const char* const QuestionCaption = "Paneprobe";
const char* const Question = "Are you certain you wish to terminate the process?";
const UINT QuestionFlags = MB_OKCANCEL | MB_ICONEXCLAMATION;
const DWORD TerminateAccess = PROCESS_TERMINATE | SYNCHRONIZE;
const DWORD QueryAccess = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
// How long the list waits for an ended process to leave the system, so that the reload no longer shows it.
const DWORD ExitWaitMs = 1000;
const UINT GatheredMessage = WM_APP + 7;
const UINT FillShareMessage = WM_APP + 8;

HICON ExtractSmallIcon(const std::string& path) {
    HICON small = nullptr;
    return ExtractIconExA(path.c_str(), 0, nullptr, &small, 1) > 0 ? small : nullptr;
}

// Runs on the worker: nothing here touches the tab.
TProcessGathering GatherProcesses(const TProcessesTab::TIconSource& iconSource,
                                  const std::unordered_set<std::string>& knownPaths,
                                  const std::atomic<bool>& cancelled) {
    TProcessGathering gathered;
    gathered.Enumerator = std::make_unique<TProcessEnumerator>();
    TProcessEnumerator& enumerator = *gathered.Enumerator;
    enumerator.Snapshot();
    enumerator.FindWindows();
    enumerator.BuildTree();
    std::set<DWORD> hung;
    for (int i = 0; i < enumerator.Count() && !cancelled; ++i) {
        TProcess& process = enumerator.Item(i);
        gathered.Paths.push_back(enumerator.ReadTimesAndPath(process));
        std::string caption;
        if (process.Window) {
            TWorkerDetails details(reinterpret_cast<HWND>(process.Window));
            details.Read(hung);
            caption = details.Caption;
        }
        gathered.Captions.push_back(caption);
    }
    for (const std::string& path : gathered.Paths) {
        if (cancelled) break;
        if (path.empty() || knownPaths.count(path) || gathered.Icons.count(path)) continue;
        ++gathered.Extracted;
        gathered.Icons.emplace(path, iconSource ? iconSource(path) : nullptr);
    }
    return gathered;
}

UINT AlignmentFlag(TNvAlignment alignment) {
    switch (alignment) {
    case TNvAlignment::Right:
        return DT_RIGHT;
    case TNvAlignment::Centre:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

uint64_t CreationTimeOf(HANDLE process) {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

TProcessListView::TProcessListView(TNvWindow& owner)
    : TNvActionListView(owner, LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_NOSORTHEADER) {
    ApplyItemHeight();
}

void TProcessListView::ApplyItemHeight() {
    AskForItemHeight(Handle());
}

LRESULT TProcessListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == GatheredMessage) {
        if (OnGathered) OnGathered(wParam);
        return 0;
    }
    if (message == FillShareMessage) {
        if (OnFillShare) OnFillShare(wParam);
        return 0;
    }
    if (message == WM_PAINT && OnPaintBegin) OnPaintBegin(*this);
    return TNvActionListView::HandleMessage(message, wParam, lParam);
}

void TProcessListView::ColumnResized(int column, int width) {
    TNvActionListView::ColumnResized(column, width);
    Invalidate();
}

template <class TDispInfo> void TProcessListView::AnswerCellText(TDispInfo& request) {
    if (!(request.item.mask & LVIF_TEXT) || !request.item.pszText || request.item.cchTextMax <= 0) return;
    const std::string text =
        OnCellText ? OnCellText(request.item.iItem, request.item.iSubItem) : std::string();
    const size_t room = static_cast<size_t>(request.item.cchTextMax) - 1;
    if constexpr (std::is_same_v<TDispInfo, NMLVDISPINFOW>) {
        std::wstring wide = WideText(text);
        size_t length = std::min(wide.size(), room);
        if (length > 0 && length < wide.size() && IS_HIGH_SURROGATE(wide[length - 1])) --length;
        std::copy_n(wide.begin(), length, request.item.pszText);
        request.item.pszText[length] = 0;
    } else {
        const size_t length = Utf8CutLength(text, room);
        std::copy_n(text.begin(), length, request.item.pszText);
        request.item.pszText[length] = '\0';
    }
}

bool TProcessListView::HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY && lParam) {
        const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        if (code == LVN_GETDISPINFOA || code == LVN_GETDISPINFOW) {
            if (code == LVN_GETDISPINFOA)
                AnswerCellText(*reinterpret_cast<NMLVDISPINFOA*>(lParam));
            else
                AnswerCellText(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
            result = 0;
            return true;
        }
    }
    if (message == WM_MEASUREITEM && lParam) {
        if (ItemHeight == -1) return false;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight);
        result = TRUE;
        return true;
    }
    if (message == WM_DRAWITEM && lParam) {
        if (OnDrawItem) OnDrawItem(*this, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return TNvActionListView::HandleNotify(message, wParam, lParam, result);
}

bool TProcessesTab::TRow::operator==(const TRow& other) const {
    return ProcessId == other.ProcessId && Window == other.Window && CreationTime == other.CreationTime &&
           Depth == other.Depth && Root == other.Root && Age == other.Age && Icon == other.Icon &&
           ExeFile == other.ExeFile && Cells == other.Cells;
}

TProcessGathering::~TProcessGathering() {
    for (auto& icon : Icons)
        if (icon.second) DestroyIcon(icon.second);
}

TProcessesTab::TProcessesTab(TNvTabSheet* sheet)
    : TPaneprobeTab(sheet), IconSource(ExtractSmallIcon), Gatherer(GatheredMessage) {
    SetCaption("Processes");
    Enumerator = std::make_unique<TProcessEnumerator>();
    hIcons = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                              ILC_COLOR32 | ILC_MASK, 32, 32);
    ImageList_SetBkColor(hIcons, RGB(255, 255, 255));
    ListView = &Sheet->MakeChild<TProcessListView>();
    ListView->SortColumn = -1;
    ListView->AddColumns(Columns, ColumnCount - 1, ScreenPixelsPerInch());
    ListView_SetImageList(ListView->Handle(), hIcons, LVSIL_SMALL);
    ListView->OnDblClick = [this](TNvActionListView&) { TrackSelected(); };
    ListView->OnKeyDown = [this](TNvActionListView&, WORD key, unsigned shift) {
        if (key == VK_RETURN && shift == ssNone) TrackSelected();
        if (key == VK_DELETE && shift == ssNone) TerminateSelected();
        if (key == 'R' && shift == ssCtrl) ReloadProcesses();
    };
    ListView->OwnShortCuts = {VK_RETURN, VK_DELETE, static_cast<uint16_t>(ShortCutCtrl | 'R')};
    ListView->OnDrawItem = [this](TProcessListView&, const DRAWITEMSTRUCT& draw) { DrawRow(draw); };
    ListView->OnPaintBegin = [this](TProcessListView&) { BeginPaint(); };
    ListView->OnGathered = [this](WPARAM request) { ShowGathered(request); };
    ListView->OnFillShare = [this](WPARAM fill) { FillShare(fill); };
    ListView->OnCellText = [this](int row, int column) {
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 1) return std::string();
        const auto& cells = rows[static_cast<size_t>(row)].Cells;
        return static_cast<size_t>(column - 1) < cells.size() ? cells[static_cast<size_t>(column - 1)]
                                                              : std::string();
    };
    BeginPaint();
}

// The list outlives the tab (its page owns it): it must not call into the tab or draw icons that are gone.
TProcessesTab::~TProcessesTab() {
    if (ListView) {
        ListView->OnDrawItem = nullptr;
        ListView->OnPaintBegin = nullptr;
        ListView->OnGathered = nullptr;
        ListView->OnFillShare = nullptr;
        ListView->OnCellText = nullptr;
        ListView->OnKeyDown = nullptr;
        ListView->OnDblClick = nullptr;
        if (ListView->Handle()) ListView_SetImageList(ListView->Handle(), nullptr, LVSIL_SMALL);
    }
    ListView = nullptr;
    if (hIcons) ImageList_Destroy(hIcons);
}

int TProcessesTab::IconCount() const {
    return ImageList_GetImageCount(hIcons);
}

int TProcessesTab::StockIcon() {
    auto found = iconOfPath.find(std::string());
    if (found != iconOfPath.end()) return found->second;
    int index = -1;
    SHSTOCKICONINFO info = {};
    info.cbSize = sizeof info;
    if (SUCCEEDED(SHGetStockIconInfo(SIID_APPLICATION, SHGSI_ICON | SHGSI_SMALLICON, &info)) && info.hIcon) {
        index = ImageList_AddIcon(hIcons, info.hIcon);
        DestroyIcon(info.hIcon);
    }
    // Systems without stock icons (Wine) still have the shared application icon.
    if (index < 0) {
        HANDLE shared = LoadImageA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */, IMAGE_ICON,
                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
        if (shared) index = ImageList_AddIcon(hIcons, static_cast<HICON>(shared));
    }
    iconOfPath.emplace(std::string(), index);
    return index;
}

// Each path's icon is taken from the file once, by the worker, and kept while a process with that path is
// listed. A path that the worker did not read (it was known when the reload began) shows the stock icon
// until the next reload reads it.
int TProcessesTab::ProcessIcon(const std::string& path, TProcessGathering* gathered) {
    if (path.empty()) return StockIcon();
    auto found = iconOfPath.find(path);
    if (found != iconOfPath.end()) return found->second;
    if (!gathered) return StockIcon();
    auto taken = gathered->Icons.find(path);
    if (taken == gathered->Icons.end()) return StockIcon();
    int index = taken->second ? ImageList_AddIcon(hIcons, taken->second) : -1;
    if (index < 0) index = StockIcon();
    iconOfPath.emplace(path, index);
    return index;
}

// Images no fresh row uses leave the list; the later images move down, and so do their indexes.
void TProcessesTab::DropUnusedIcons(const std::vector<TRow>& fresh) {
    std::unordered_set<int> used;
    std::unordered_set<std::string> paths;
    for (const TRow& row : fresh) {
        used.insert(row.Icon);
        paths.insert(row.Cells.back());
    }
    // Paths that no process has any more are forgotten, also those that share the stock icon.
    for (auto it = iconOfPath.begin(); it != iconOfPath.end();)
        it = !it->first.empty() && !paths.count(it->first) ? iconOfPath.erase(it) : std::next(it);
    std::vector<int> unused;
    for (int index = 0; index < IconCount(); ++index)
        if (!used.count(index)) unused.push_back(index);
    if (unused.empty()) return;
    for (auto it = unused.rbegin(); it != unused.rend(); ++it)
        ImageList_Remove(hIcons, *it);
    for (auto it = iconOfPath.begin(); it != iconOfPath.end();) {
        if (std::binary_search(unused.begin(), unused.end(), it->second)) {
            it = iconOfPath.erase(it);
            continue;
        }
        if (it->second >= 0)
            it->second -=
                static_cast<int>(std::lower_bound(unused.begin(), unused.end(), it->second) - unused.begin());
        ++it;
    }
}

TProcessesTab::TRow TProcessesTab::MakeRow(TProcess& process, const std::string& path,
                                           const std::string& caption, double now) {
    TRow row;
    row.ProcessId = process.ProcessId;
    row.Depth = process.Depth;
    row.Root = process.Parent == nullptr;
    row.ExeFile = process.ExeFile;
    row.Data = static_cast<LPARAM>(process.ProcessId);
    row.Window = process.Window;
    row.CreationTime = process.CreationTime;
    if (process.CreationTime) {
        FILETIME created = {static_cast<DWORD>(process.CreationTime),
                            static_cast<DWORD>(process.CreationTime >> 32)};
        double local = FileTimeToLocalDateTime(created);
        row.Age = ProcessAge(local != 0, now, local);
    }
    const TProcess* parent = Enumerator->FindById(process.ParentProcessId);
    row.Icon = -1; // chosen once every path of the reload is known
    row.Cells =
        ProcessSubItems(process, parent ? parent->ExeFile : std::string(), AgeText(row.Age), caption, path);
    return row;
}

void TProcessesTab::Refresh() {
    if (!Gathering()) ReloadProcesses();
}

// A reload asked for now (Ctrl+R, after ending a process) must not show an older gathering.
void TProcessesTab::ReloadProcesses() {
    std::unordered_set<std::string> known;
    for (const auto& entry : iconOfPath)
        known.insert(entry.first);
    TIconSource iconSource = IconSource;
    Gatherer.Start(ListView->Handle(), [iconSource, known](const std::atomic<bool>& cancelled) {
        return GatherProcesses(iconSource, known, cancelled);
    });
}

void TProcessesTab::ShowGathered(WPARAM request) {
    std::optional<TProcessGathering> gathered = Gatherer.Take(request);
    if (!gathered || !gathered->Enumerator || !ListView) return;
    // A cancelled gathering has fewer paths than records.
    if (static_cast<int>(gathered->Paths.size()) != gathered->Enumerator->Count()) return;
    ShowProcesses(*gathered);
}

// The selection follows its process, or stays at its position when the process has gone; the view keeps
// its scroll position because rows are rewritten in place and only where they differ.
void TProcessesTab::ShowProcesses(TProcessGathering& gathered) {
    HWND list = ListView->Handle();
    const int top = ListView_GetTopIndex(list);
    const TRow* selected = SelectedRow();
    int selectedIndex = selected ? ListView->SelectedIndex() : 0;
    bool anySelected = selected != nullptr;
    uint32_t selectedId = selected ? selected->ProcessId : 0;

    std::vector<TRow> fresh;
    Enumerator = std::move(gathered.Enumerator);
    IconsExtracted += gathered.Extracted;
    const double now = LocalNow();
    fresh.reserve(static_cast<size_t>(Enumerator->Count()));
    for (int i = 0; i < Enumerator->Count(); ++i)
        fresh.push_back(MakeRow(Enumerator->Item(i), gathered.Paths[static_cast<size_t>(i)],
                                gathered.Captions[static_cast<size_t>(i)], now));
    for (TRow& row : fresh)
        row.Icon = ProcessIcon(row.Cells.back(), &gathered);
    DropUnusedIcons(fresh);
    // Indexes may have moved down: ask the cache again.
    for (TRow& row : fresh) {
        const std::string& path = row.Cells.back();
        auto found = iconOfPath.find(path);
        row.Icon = found != iconOfPath.end() ? found->second : ProcessIcon(path, nullptr);
    }
    ShowRows(std::move(fresh));

    std::vector<uint32_t> ids;
    ids.reserve(rows.size());
    for (const TRow& row : rows)
        ids.push_back(row.ProcessId);
    // A row not yet in the list is selected once it is; meanwhile nothing is, so that no command acts on
    // the process that happens to be at the old position.
    const int select = RowToSelectAfterReload(ids, anySelected, selectedId, selectedIndex);
    const bool listed = select < ListView->RowCount();
    SelectQuietly(listed ? select : -1);
    pendingSelect = listed ? -1 : select;
    fillTop = top;
    if (!filling) RestoreTop(top);

    std::string caption = FormatText("Processes (%d)", Enumerator->Count());
    if (caption != Caption) SetCaption(caption);
}

// Rows added or removed at the end can make the list scroll on its own: back to the same top row.
void TProcessesTab::RestoreTop(int top) {
    const int topNow = ListView_GetTopIndex(ListView->Handle());
    if (topNow != top) ListView_Scroll(ListView->Handle(), 0, (top - topNow) * ListView->ItemHeight);
}

// What the list itself keeps of a row: the first column, the process identifier and the icon.
LVITEMA TProcessesTab::ListItemOf(const TRow& row, int index) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.ExeFile.c_str());
    item.lParam = row.Data;
    item.iImage = row.Icon;
    return item;
}

// Rows kept are rewritten in place at once; rows to add or remove follow a share at a time. Only the rows
// on the page are repainted, and their changed cells in one region: every invalidation is a round trip to
// the window system under Wine, and rows off the page have nothing to repaint.
void TProcessesTab::ShowRows(std::vector<TRow> fresh) {
    HWND list = ListView->Handle();
    const int newCount = static_cast<int>(fresh.size());
    const int kept = std::min(ListView->RowCount(), newCount);
    const bool wholeList = filling || ListView->RowCount() != newCount; // repainted whole once filled
    const int first = ListView_GetTopIndex(list);
    const int last = first + ListView_GetCountPerPage(list); // the row shown in part too
    TGdiObject<HRGN> changed(CreateRectRgn(0, 0, 0, 0));
    bool anyChanged = false;
    auto repaint = [&changed, &anyChanged](const RECT& rect) {
        TGdiObject<HRGN> part(CreateRectRgnIndirect(&rect));
        CombineRgn(changed.Get(), changed.Get(), part.Get(), RGN_OR);
        anyChanged = true;
    };
    for (int i = 0; i < kept; ++i) {
        const TRow& row = fresh[static_cast<size_t>(i)];
        // The list may still hold rows of an older result that are not in rows yet to be removed.
        const TRow* old = i < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(i)] : nullptr;
        if (!old || old->ExeFile != row.ExeFile || old->Icon != row.Icon || old->Data != row.Data) {
            LVITEMA item = ListItemOf(row, i);
            ListView_SetItem(list, &item);
        }
        if (wholeList || i < first || i > last) continue;
        // The tint, the indent and the red marks concern the whole row; a changed text only its cell.
        RECT rect = {};
        if (!old || IsYoungProcess(old->Age) != IsYoungProcess(row.Age) || old->Depth != row.Depth ||
            old->Root != row.Root || old->Icon != row.Icon) {
            if (ListView_GetItemRect(list, i, &rect, LVIR_BOUNDS)) repaint(rect);
            continue;
        }
        for (size_t c = 0; c < row.Cells.size(); ++c)
            if (old->Cells[c] != row.Cells[c] &&
                ListView_GetSubItemRect(list, i, static_cast<int>(c + 1), LVIR_BOUNDS, &rect))
                repaint(rect);
    }
    if (anyChanged) InvalidateRgn(list, changed.Get(), FALSE);
    rows = std::move(fresh);
    if (ListView->RowCount() == newCount) return;
    if (!filling) fillRedraw.emplace(list, TRedrawOff::Repaint);
    filling = true;
    // The first share too comes in a dispatch of its own: this one has rewritten the kept rows.
    PostMessageA(list, FillShareMessage, ++fillSerial, 0);
}

bool TProcessesTab::InsertRow(int index) {
    HWND list = ListView->Handle();
    const TRow& row = rows[static_cast<size_t>(index)];
    LVITEMA item = ListItemOf(row, index);
    if (ListView_InsertItem(list, &item) < 0) return false;
    // The cells after the first are asked of the tab when drawn or read.
    for (size_t c = 0; c < row.Cells.size(); ++c)
        ListView_SetItemText(list, index, static_cast<int>(c + 1), LPSTR_TEXTCALLBACKA);
    return true;
}

void TProcessesTab::FillShare(WPARAM fill) {
    if (fill != fillSerial || !filling || !ListView) return;
    const TFillShare share(FillShareSeconds);
    HWND list = ListView->Handle();
    const int wanted = static_cast<int>(rows.size());
    bool changed = false;
    for (int count = ListView->RowCount(); count != wanted; count = ListView->RowCount()) {
        if (count > wanted)
            ListView_DeleteItem(list, count - 1);
        else if (!InsertRow(count))
            break; // a list that refuses rows ends the fill rather than asking again for ever
        changed = true;
        if (share.Spent() && ListView->RowCount() != wanted) {
            PostMessageA(list, FillShareMessage, fill, 0);
            return;
        }
    }
    if (changed && !share.RoomToFinish()) {
        PostMessageA(list, FillShareMessage, fill, 0);
        return;
    }
    FinishFill();
}

void TProcessesTab::FinishFill() {
    filling = false;
    if (pendingSelect >= 0 && ListView->SelectedIndex() < 0) SelectQuietly(pendingSelect);
    pendingSelect = -1;
    fillRedraw.reset();
    RestoreTop(fillTop);
}

void TProcessesTab::SelectQuietly(int index) {
    HWND list = ListView->Handle();
    int selected = ListView->SelectedIndex();
    int focused = ListView->FocusedIndex();
    if (selected == index && focused == index) return;
    if (selected >= 0 && selected != index) ListView_SetItemState(list, selected, 0, LVIS_SELECTED);
    if (focused >= 0 && focused != index) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
    if (index >= 0 && index < ListView->RowCount())
        ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

const TProcessesTab::TRow* TProcessesTab::SelectedRow() const {
    int index = ListView ? ListView->SelectedIndex() : -1;
    return index >= 0 && index < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(index)] : nullptr;
}

void TProcessesTab::TrackSelected() {
    const TRow* row = SelectedRow();
    if (!row || !row->Window) return;
    HWND handle = reinterpret_cast<HWND>(row->Window); // the row may go while the list is rebuilt
    PickWindow(handle);
}

// The process is held open while the question is on screen: its identifier cannot pass to another
// process meanwhile, and the reloads that the timer makes during the question cannot change the answer's
// target.
void TProcessesTab::TerminateSelected() {
    const TRow* row = SelectedRow();
    if (!row) return;
    const std::string name = row->ExeFile;
    const uint64_t created = row->CreationTime;
    TKernelHandle process(OpenProcess(TerminateAccess | QueryAccess, FALSE, row->ProcessId));
    if (!process) process = TKernelHandle(OpenProcess(TerminateAccess, FALSE, row->ProcessId));
    // The identifier already belongs to a process started after the one listed.
    if (process && created && CreationTimeOf(process.Get()) && CreationTimeOf(process.Get()) != created)
        process.Reset();
    std::string text = std::string(Question) + "\r\n\r\n\"" + name + "\"";
    if (ShowMessageBox(text, QuestionCaption, QuestionFlags, MainWindowHandle) != IDOK) return;
    if (process && TerminateProcess(process.Get(), 0)) WaitForSingleObject(process.Get(), ExitWaitMs);
    process.Reset();
    if (ListView) ReloadProcesses();
}

void TProcessesTab::BeginPaint() {
    HWND list = ListView ? ListView->Handle() : nullptr;
    if (!list) return;
    paint.Text = ListView_GetTextColor(list);
    paint.Background = ListView_GetBkColor(list);
    paint.HasFocus = GetFocus() == list;
    int height = 16;
    ImageList_GetIconSize(hIcons, &paint.IconWidth, &height);
    HWND header = ListView_GetHeader(list);
    for (int column = 0; column < ColumnCount; ++column)
        if (!header || !Header_GetItemRect(header, column, &paint.Columns[column]))
            paint.Columns[column] = RECT{};
    // Header positions become list positions by the horizontal scroll, which one cell of the list tells.
    RECT cell = {};
    int top = ListView_GetTopIndex(list);
    paint.Shift = 0;
    if (top >= 0 && top < ListView->RowCount() && ListView_GetSubItemRect(list, top, 1, LVIR_BOUNDS, &cell))
        paint.Shift = cell.left - paint.Columns[1].left;
}

void TProcessesTab::DrawRow(const DRAWITEMSTRUCT& draw) {
    const int index = static_cast<int>(draw.itemID);
    if (index < 0 || index >= static_cast<int>(rows.size())) return;
    const TRow& row = rows[static_cast<size_t>(index)];
    HDC dc = draw.hDC;
    const bool hasFocus = paint.HasFocus;
    const bool focusMark = hasFocus && (draw.itemState & ODS_FOCUS);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const int iconWidth = paint.IconWidth;

    RECT rect = draw.rcItem;
    const int rowHeight = rect.bottom - rect.top;
    const int x = IconLeft(rect.left, iconWidth, row.Depth);
    if (row.Icon >= 0)
        ImageList_Draw(hIcons, row.Icon, dc, x, rect.top + (rowHeight - iconWidth) / 2, ILD_TRANSPARENT);
    rect.left = x + iconWidth + IconTextGap;

    COLORREF textColour = paint.Text;
    if (selected) {
        FillRect(dc, &rect, GetSysColorBrush(hasFocus ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        textColour = GetSysColor(focusMark ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    }
    SetBkMode(dc, TRANSPARENT);
    // A refresh invalidates only its changed cells; the cells outside them would be drawn only to be clipped.
    RECT clip = draw.rcItem;
    if (GetClipBox(dc, &clip) == ERROR) clip = draw.rcItem;
    for (int column = 0; column < ColumnCount; ++column) {
        const RECT& extent = paint.Columns[column];
        RECT cell = {extent.left + paint.Shift, rect.top, extent.right + paint.Shift, rect.bottom};
        if (column == 0) cell.left = rect.left - 1;
        if (cell.right <= cell.left || cell.right <= clip.left || cell.left >= clip.right) continue;
        const size_t cellIndex = static_cast<size_t>(column - 1);
        const std::string& text =
            column == 0 ? row.ExeFile : (cellIndex < row.Cells.size() ? row.Cells[cellIndex] : std::string());
        SetTextColor(dc, IsRootMarkCell(row.Root, column, selected) ? RootMarkColour : textColour);
        DrawCell(dc, cell, text, column, row, selected);
    }
    if (focusMark) {
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &rect);
    }
}

void TProcessesTab::DrawCell(HDC dc, RECT cell, const std::string& text, int column, const TRow& row,
                             bool selected) {
    if (!selected) {
        SetDCBrushColor(dc, CellColour(row.Age, column, paint.Background));
        FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    cell.left += CellInset;
    cell.right -= CellInset;
    if (text.empty()) return;
    DrawProgramText(dc, text, &cell,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                        AlignmentFlag(Columns[column].Alignment));
}
