// TEnumTab: seven ways to gather windows, a filter, and a list to pick the tracked window from.
#include "tabs/TabEnum.h"

#include "app/PickWindow.h"
#include "app/WinApiEx.h"
#include "app/WorkerDetails.h"
#include "config/EasyConfig.h"
#include "tabs/WindowRows.h"
#include "ui/EditMargins.h"
#include "ui/NvMessagePanel.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

namespace {

const TNvMenuEntry PopupEntries[] = {
    {cmdEnumMonitor, VK_RETURN, "&Monitor Selected", 0, 0},
    {0, 0, "-", 0, 0},
    {cmdEnumSelectAll, ShortCutCtrl | 'A', "&Select All", 0, 0},
    {0, 0, "-", 0, 0},
    {cmdEnumClearFilter, VK_ESCAPE, "Clear &Filter", 0, 0},
    {cmdEnumVisibleOnly, ShortCutCtrl | 'S', "Enum &Visible Only", 0, 0},
};
const char* const FindTexts[] = {"MozillaWindowClass", "Winamp v1.x", "TNvListView"};

const int ModeWidth = 170;
const UINT_PTR FindEditSubclassId = 0x46696E64;

const UINT ScanDoneMessage = WM_APP + 2;
const UINT GatherDoneMessage = WM_APP + 3;
const UINT FillShareMessage = WM_APP + 4;

BOOL CALLBACK CollectHandle(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Read on the worker: the platform's lists first, so that the callbacks do no slow work.
std::vector<HWND> HandlesOfMode(int mode, HWND current) {
    std::vector<HWND> handles;
    LPARAM list = reinterpret_cast<LPARAM>(&handles);
    if (mode == emTopLevel) EnumWindows(CollectHandle, list);
    if (mode == emDesktopChildren) EnumChildWindows(GetDesktopWindow(), CollectHandle, list);
    if (mode == emCurrentChildren && current && IsWindow(current))
        EnumChildWindows(current, CollectHandle, list);
    return handles;
}

// Gone before it could be read, hidden by the filter, or hidden when only visible windows are shown.
bool KeepsRecord(const TWindowDetails& record, const std::string& filter, bool visibleOnly) {
    if (record.ThreadId == 0 && record.ProcessId == 0) return false;
    if (!EnumFilterKeeps(record.ClassName, record.Caption, filter, UpperCaseLocale)) return false;
    return !visibleOnly || (record.Style & WS_VISIBLE) != 0;
}

HWND WindowOfValue(uint32_t value) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

// A record whose caption request is skipped for a thread that has already let one time out in this
// enumeration: a hung program with many windows costs the time-out once, not once per window.
class TEnumDetails : public TWindowDetails {
  public:
    TEnumDetails(HWND handle, std::set<DWORD>& hung) : TWindowDetails(handle), hungThreads(hung) {}

  protected:
    bool MayAskForCaption() const override { return ThreadId != 0 && hungThreads.count(ThreadId) == 0; }
    void CaptionUnanswered() override {
        if (IsWindow(Handle)) hungThreads.insert(ThreadId);
    }

  private:
    std::set<DWORD>& hungThreads;
};

TEnumRowValues RowValuesOf(const TWindowDetails& record) {
    TEnumRowValues values;
    values.ClassName = record.ClassName;
    values.Caption = record.Caption;
    values.Handle = HandleValue(record.Handle);
    values.Parent = HandleValue(record.Parent);
    values.ProcessId = record.ProcessId;
    values.ThreadId = record.ThreadId;
    values.Style = record.Style;
    return values;
}

TEnumTab::TRowOrder OrderRows(std::vector<TEnumRowValues> values, int column, bool descending) {
    TEnumTab::TRowOrder rows;
    rows.Column = column;
    rows.Descending = descending;
    rows.Order.resize(values.size());
    for (size_t i = 0; i < rows.Order.size(); ++i)
        rows.Order[i] = i;
    std::stable_sort(rows.Order.begin(), rows.Order.end(), [&values, column, descending](size_t a, size_t b) {
        return CompareEnumRowsForSort(values[a], values[b], column, descending) < 0;
    });
    rows.Values = std::move(values);
    return rows;
}

} // namespace

// The full handle scan probes some 65,000 values; where each probe is a call to another process (Wine) that
// takes seconds, which the window must not spend unanswering. The scan only asks, never sends a message, so
// a cancelled one ends at once and can be waited for.
struct THandleScanJob {
    std::thread Worker;
    std::atomic<bool> Cancel{false};
    std::atomic<bool> Finished{false};
    THandleScanResult Result;
};

TEnumFindBox::TEnumFindBox(TNvWindow& owner) {
    CreateControl("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                  owner.Handle());
    if (HWND edit = EditHandle()) {
        SetWindowSubclass(edit, EditProc, FindEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
        RefuseUndrawableMargins(edit);
    }
}

HWND TEnumFindBox::EditHandle() const {
    return Handle() ? FindWindowExA(Handle(), nullptr, "EDIT", nullptr) : nullptr;
}

LRESULT CALLBACK TEnumFindBox::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR selfData) {
    auto self = reinterpret_cast<TEnumFindBox*>(selfData);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && self->OnEnter) {
            try {
                self->OnEnter(*self);
            } catch (...) {
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r') return 0; // no beep: the key has been handled
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, EditProc, FindEditSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

TEnumTab::TEnumTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet), Panels(*sheet), Gatherer(GatherDoneMessage) {
    SetCaption("Enum");
    EnumButton = &Panels.AddToRow<TNvButton>(Panels.ButtonWidth, Panels.ButtonHeight, "&Enum");
    EnumButton->OnClick = [this](TNvButton&) { Enumerate(); };
    ModeBox = &Panels.AddToRow<TNvComboBox>(ModeWidth, Panels.DropHeight);
    const std::string modes[] = {"Top Level Windows",
                                 "Children of Desktop",
                                 "Children of Current Window",
                                 "Children of Parent Window",
                                 "Assigned to Window Thread",
                                 "Find by Handle, Class or Title",
                                 FormatText("Handles <= 0x%x", HandleScanLimit)};
    for (const std::string& mode : modes)
        SendMessageA(ModeBox->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode.c_str()));
    SendMessageA(ModeBox->Handle(), CB_SETCURSEL, 0, 0);
    ModeBox->OnChange = [this](TNvComboBox&) { Enumerate(); };
    FindBox = &Panels.AddStretched<TEnumFindBox>(Panels.DropHeight);
    for (const char* text : FindTexts)
        SendMessageA(FindBox->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    FindBox->OnEnter = [this](TEnumFindBox&) { Enumerate(); };

    auto& body = Panels.MakeBody<TNvMessagePanel>();
    body.On(ScanDoneMessage, [this](WPARAM) { ShowHandleScan(); });
    body.On(GatherDoneMessage, [this](WPARAM request) { ShowGathered(request); });
    body.On(FillShareMessage, [this](WPARAM fill) { FillShare(fill); });
    ListView = &body.MakeChild<TNvActionListView>();
    SetUpWindowRows(*ListView, [this](int position) { return Windows.Get(position); });
    ListView->OnCompare = [this](TNvListView&, int a, int b) { return CompareRows(a, b); };
    ListView->PopupMenu = std::make_unique<TNvPopupMenu>(
        *ListView, [this](TNvMenuItem& item) { RunPopupCommand(item.Entry ? item.Entry->Id : 0); },
        PopupEntries, static_cast<int>(std::size(PopupEntries)) - 1);
    ListView->OnDblClick = [this](TNvActionListView&) { TrackRow(); };
    Panels.Layout();

    VisibleOnly = &TConfigVarBool::Get(ConfigStore, "tabs.enum", "show_visible_only", false);
    if (TNvMenuItem* item = ListView->PopupMenu->FindMenuItem(cmdEnumVisibleOnly))
        item->SetChecked(VisibleOnly->Value);
    Enumerate();
}

TEnumTab::~TEnumTab() {
    StopHandleScan();
}

int TEnumTab::Mode() const {
    return static_cast<int>(SendMessageA(ModeBox->Handle(), CB_GETCURSEL, 0, 0));
}

void TEnumTab::SetMode(int mode) {
    SendMessageA(ModeBox->Handle(), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
}

std::string TEnumTab::FindText() const {
    return FindBox->Text();
}

void TEnumTab::SetFindText(const std::string& text) {
    FindBox->SetText(text);
}

void TEnumTab::ConfigChanged(TConfigVar& variable) {
    if (&variable != VisibleOnly) return;
    if (TNvMenuItem* item = ListView->PopupMenu->FindMenuItem(cmdEnumVisibleOnly))
        item->SetChecked(VisibleOnly->Value);
    Enumerate();
}

BOOL CALLBACK TEnumTab::AddEnumerated(HWND window, LPARAM self) {
    reinterpret_cast<TEnumTab*>(self)->AddWindow(window, true);
    return TRUE;
}

void TEnumTab::Enumerate() {
    if (Mode() == emAllHandles) {
        Gatherer.Abandon();
        StartHandleScan();
        return;
    }
    // A scan for a mode no longer chosen: its result must not replace this one.
    StopHandleScan();
    if (Mode() <= emCurrentChildren) {
        StartGathering();
        return;
    }
    Gatherer.Abandon();
    Refill([this] { GatherWindows(); });
}

// Captions may wait for other programs' threads, and a large desktop has tens of thousands of windows:
// the worker gathers with copies of the choices made now.
void TEnumTab::StartGathering() {
    const TWindowDetails* tracked = TrackedList ? TrackedList->Current() : nullptr;
    const int mode = Mode();
    HWND current = tracked ? tracked->Handle : nullptr;
    const std::string filter = FindText();
    const bool visibleOnly = VisibleOnly && VisibleOnly->Value;
    const int column = ListView->SortColumn;
    const bool descending = ListView->SortDescending;
    Gatherer.Start(Panels.Body->Handle(), [mode, current, filter, visibleOnly, column,
                                           descending](const std::atomic<bool>& cancelled) {
        TGathered found;
        std::set<DWORD> hung;
        std::vector<TEnumRowValues> values;
        for (HWND handle : HandlesOfMode(mode, current)) {
            if (cancelled) break;
            auto record = std::make_unique<TWorkerDetails>(handle);
            record->Read(hung);
            if (!KeepsRecord(*record, filter, visibleOnly)) continue;
            values.push_back(RowValuesOf(*record));
            found.Records.push_back(std::move(record));
        }
        found.Rows = OrderRows(std::move(values), column, descending);
        return found;
    });
}

void TEnumTab::ShowGathered(WPARAM request) {
    std::optional<TGathered> found = Gatherer.Take(request);
    if (!found) return;
    Windows.Clear();
    hungThreads.clear();
    for (auto& record : found->Records)
        Windows.Add(std::move(record));
    RebuildList(std::move(found->Rows), true);
}

TEnumTab::TRowOrder TEnumTab::RowOrder() const {
    std::vector<TEnumRowValues> values;
    values.reserve(static_cast<size_t>(Windows.Count()));
    for (int i = 0; i < Windows.Count(); ++i)
        values.push_back(RowValuesOf(*Windows.Get(i)));
    return OrderRows(std::move(values), ListView->SortColumn, ListView->SortDescending);
}

void TEnumTab::Refill(const std::function<void()>& gather) {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    Windows.Clear();
    hungThreads.clear();
    gather();
    RebuildList(RowOrder());
    SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
}

void TEnumTab::GatherWindows() {
    const TWindowDetails* tracked = TrackedList ? TrackedList->Current() : nullptr;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    switch (Mode()) {
    case emParentChildren:
        if (tracked && IsWindow(tracked->Parent)) EnumChildWindows(tracked->Parent, AddEnumerated, self);
        break;
    case emThreadWindows:
        if (tracked) EnumThreadWindows(tracked->ThreadId, AddEnumerated, self);
        break;
    case emFind:
        FindWindows(FindText());
        break;
    default:
        break;
    }
}

bool TEnumTab::Scanning() const {
    return scanJob != nullptr;
}

void TEnumTab::StartHandleScan() {
    if (scanJob && !scanJob->Finished) return; // its result is on the way
    StopHandleScan();
    scanJob = std::make_unique<THandleScanJob>();
    auto scan = [job = scanJob.get()] {
        job->Result = ScanWindowHandles(HandleScanLimit, &job->Cancel);
        job->Finished = true;
    };
    HWND notify = Panels.Body->Handle();
    try {
        scanJob->Worker = std::thread([scan, notify] {
            scan();
            PostMessageA(notify, ScanDoneMessage, 0, 0);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the scan runs here after all.
        scan();
        ShowHandleScan();
    }
}

// Also reached by a stray message from outside: only a finished scan is shown.
void TEnumTab::ShowHandleScan() {
    if (!scanJob || !scanJob->Finished) return;
    if (scanJob->Worker.joinable()) scanJob->Worker.join();
    LastScan = std::move(scanJob->Result);
    scanJob.reset();
    if (Mode() != emAllHandles) return;
    Refill([this] {
        for (uint32_t value : LastScan.Handles)
            AddWindow(WindowOfValue(value), true);
    });
}

void TEnumTab::StopHandleScan() {
    if (!scanJob) return;
    scanJob->Cancel = true;
    if (scanJob->Worker.joinable()) scanJob->Worker.join();
    scanJob.reset();
}

// The three lookups are independent: a text that is both a window's class and its title lists it twice.
void TEnumTab::FindWindows(const std::string& text) {
    if (text.empty()) return;
    uint32_t value = FindTextHandleValue(text);
    HWND byNumber = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
    if (value != 0 && IsWindow(byNumber)) AddWindow(byNumber, false);
    HWND byClass = FindWindowA(text.c_str(), nullptr);
    if (byClass && IsWindow(byClass)) AddWindow(byClass, false);
    HWND byTitle = FindWindowA(nullptr, text.c_str());
    if (byTitle && IsWindow(byTitle)) AddWindow(byTitle, false);
}

void TEnumTab::AddWindow(HWND handle, bool applyFilters) {
    auto record = std::make_unique<TEnumDetails>(handle, hungThreads);
    record->Refresh();
    const TEnumDetails& added = *record;
    Windows.Add(std::move(record));
    bool keep = applyFilters ? KeepsRecord(added, FindText(), VisibleOnly && VisibleOnly->Value)
                             : added.ThreadId != 0 || added.ProcessId != 0;
    if (!keep) Windows.Delete(Windows.Count() - 1);
}

// Sorted here rather than by the list: the list's sort asks it for each compared row's data.
void TEnumTab::RebuildList(TRowOrder rows, bool postFirstShare) {
    if (rows.Column != ListView->SortColumn || rows.Descending != ListView->SortDescending)
        rows = OrderRows(std::move(rows.Values), ListView->SortColumn, ListView->SortDescending);
    fillRedraw.reset();
    fillRedraw.emplace(ListView->Handle());
    rowValues = std::move(rows.Values);
    fillOrder = std::move(rows.Order);
    fillNext = 0;
    filling = true;
    if (postFirstShare)
        PostMessageA(Panels.Body->Handle(), FillShareMessage, ++fillSerial, 0);
    else
        FillShare(++fillSerial);
}

void TEnumTab::FillShare(WPARAM fill) {
    if (fill != fillSerial || !filling) return;
    const TFillShare share;
    // The old rows go first, also a share at a time: the list tells of each row it deletes.
    HWND list = ListView->Handle();
    for (int count = ListView->RowCount(); fillNext == 0 && count > 0; --count) {
        ListView_DeleteItem(list, count - 1);
        if (share.Spent()) {
            PostMessageA(Panels.Body->Handle(), FillShareMessage, fill, 0);
            return;
        }
    }
    const size_t first = fillNext;
    while (fillNext < fillOrder.size()) {
        const int index = static_cast<int>(fillOrder[fillNext++]);
        const TWindowDetails& record = *Windows.Get(index);
        ListView->AddRow(WindowRowCells(record), index, WindowRowImage(record));
        if (share.Spent()) break;
    }
    if (fillNext < fillOrder.size() || (fillNext > first && !share.RoomToFinish())) {
        PostMessageA(Panels.Body->Handle(), FillShareMessage, fill, 0);
        return;
    }
    fillOrder.clear();
    fillNext = 0;
    filling = false;
    fillRedraw.reset();
    SetCaption(FormatText("Enum (%d)", Windows.Count()));
}

int TEnumTab::CompareRows(int row1, int row2) const {
    auto index1 = static_cast<size_t>(ListView->RowData(row1));
    auto index2 = static_cast<size_t>(ListView->RowData(row2));
    if (index1 >= rowValues.size() || index2 >= rowValues.size()) return 0;
    return CompareEnumRowsForSort(rowValues[index1], rowValues[index2], ListView->SortColumn,
                                  ListView->SortDescending);
}

void TEnumTab::TrackRow() {
    if (Filling()) return; // rows of the old result name records of the new one
    int row = ListView->SelectedIndex();
    const TWindowDetails* record = row < 0 ? nullptr : Windows.Get(static_cast<int>(ListView->RowData(row)));
    if (!record) return;
    PickWindow(record->Handle); // a copy: the tracked list's listeners may enumerate again
}

void TEnumTab::RunPopupCommand(int id) {
    switch (id) {
    case cmdEnumSelectAll:
        ListView_SetItemState(ListView->Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
        break;
    case cmdEnumVisibleOnly:
        if (VisibleOnly) VisibleOnly->SetValue(!VisibleOnly->Value);
        break;
    case cmdEnumMonitor: {
        if (Filling()) break;
        // Copied first: the tracked list's listeners run between the additions.
        std::vector<HWND> selected;
        for (int row = ListView_GetNextItem(ListView->Handle(), -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(ListView->Handle(), row, LVNI_SELECTED))
            if (const TWindowDetails* record = Windows.Get(static_cast<int>(ListView->RowData(row))))
                selected.push_back(record->Handle);
        PickWindows(selected, GetKeyState(VK_SHIFT) < 0);
        break;
    }
    case cmdEnumClearFilter:
        if (!FindText().empty()) {
            SetFindText("");
            Enumerate();
        }
        break;
    default:
        break;
    }
}

uint32_t FullWindowHandle(uint32_t value) {
    HWND window = WindowOfValue(value);
    uint32_t low = value & 0xFFFF;
    uint32_t twin = 0;
    // An exact low word is this window; a twin's is this window only where the platform has twins, so it is
    // kept in reserve while the other ways may still give the exact one.
    auto consider = [&](HWND candidate) {
        uint32_t full = HandleValue(candidate);
        if (!candidate) return false;
        if ((full & 0xFFFF) == low) return true;
        if ((full & 0xFFFF) == (low ^ 1) && twin == 0) twin = full;
        return false;
    };
    HWND root = GetAncestor(window, GA_ROOT);
    if (consider(root)) return HandleValue(root);
    if (HWND next = GetWindow(window, GW_HWNDNEXT)) {
        HWND back = GetWindow(next, GW_HWNDPREV);
        if (consider(back)) return HandleValue(back);
    }
    if (HWND previous = GetWindow(window, GW_HWNDPREV)) {
        HWND back = GetWindow(previous, GW_HWNDNEXT);
        if (consider(back)) return HandleValue(back);
    }
    if (HWND child = GetWindow(window, GW_CHILD)) {
        HWND back = GetAncestor(child, GA_PARENT);
        if (consider(back)) return HandleValue(back);
    }
    if (HWND parent = GetAncestor(window, GA_PARENT)) {
        HWND first = GetWindow(parent, GW_CHILD);
        if (consider(first)) return HandleValue(first);
    }
    return twin;
}

THandleScanResult ScanWindowHandles(uint32_t limit, const std::atomic<bool>* cancel) {
    THandleScanPlatform platform;
    if (cancel) platform.Cancelled = [cancel] { return cancel->load(); };
    platform.IsWindow = [](uint32_t value) { return IsWindow(WindowOfValue(value)) != FALSE; };
    platform.FullHandle = FullWindowHandle;
    // A window that certainly exists: a stale main window handle would send the scan to the plain loop.
    HWND own = MainWindowHandle && IsWindow(MainWindowHandle) ? MainWindowHandle : GetDesktopWindow();
    platform.OwnHandle = HandleValue(own);
    return ScanHandles(platform, limit);
}
