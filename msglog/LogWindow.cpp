// TMessageLogForm: the log window's controls, its drain timer, filters, scope, copying and saving.
#include "msglog/LogWindow.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "messages/CsvFile.h"
#include "ui/HotTrackLabel.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

const TNvListColumn LogColumns[LogColumnCount] = {
    {70, TNvAlignment::Right, "#"},       {80, TNvAlignment::Right, "Time"},
    {40, TNvAlignment::Centre, "Kind"},   {90, TNvAlignment::Left, "Handle"},
    {170, TNvAlignment::Left, "Message"}, {90, TNvAlignment::Left, "wParam"},
    {90, TNvAlignment::Left, "lParam"},   {90, TNvAlignment::Left, "Result"},
    {260, TNvAlignment::Left, "Details"}};
const int BarHeight = 30;
const int Gap = 6;
const int ButtonWidth = 72;
const int ControlHeight = 23;
const int EditWidth = 130;
const int ComboWidth = 130;
const int LabelWidth = 50;
const int StatusPanels[] = {280, 400};
const int DefaultWidth = 900;
const int DefaultHeight = 480;

std::string ExecutableFolder() {
    std::string name = ModuleFileName(nullptr);
    return name.substr(0, name.find_last_of("\\/") + 1);
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<int> WidthsFromText(const std::string& text) {
    std::vector<int> widths;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        widths.push_back(IntFromText(item, -1));
    return widths;
}

} // namespace

const char* const TMessageLogForm::ScopeNames[3] = {"Window", "With descendants", "Whole thread"};

TLogListView::TLogListView(TNvWindow& owner) : TNvListView(owner, LVS_OWNERDATA) {}

bool TLogListView::HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(lParam)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            std::string text = CellText ? CellText(item.iItem, item.iSubItem) : std::string();
            size_t length =
                text.size() < static_cast<size_t>(item.cchTextMax) ? text.size() : item.cchTextMax - 1;
            std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
        }
        result = 0;
        return true;
    }
    return TNvListView::HandleNotify(message, wParam, lParam, result);
}

bool TLogEdit::HandleNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    if (OnChange) OnChange(*this);
    result = 0;
    return true;
}

TMessageLogForm::TMessageLogForm(TLogHookHost& host, const TLogSettings& logSettings, HWND window,
                                 uint32_t capacity)
    : TNvForm("TMessageLogForm"), settings(logSettings), target(window) {
    // Marks the window as a log's before any hook could see it: a log of Paneprobe's own thread skips it.
    SetPropA(Handle(), LogWindowProperty, reinterpret_cast<HANDLE>(1));
    TCsvFile table(',', '#');
    if (table.LoadFromFile(ExecutableFolder() + "WindowMessages.csv")) Names.Load(table);
    if (settings.Scope) scope = static_cast<TLogScope>(Clamp(settings.Scope->Value, lsWindow, lsThread));
    SetCaption(FormatText("Message Log - 0x%.8X %s",
                          static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(window)),
                          WindowClass(window).c_str()));
    BuildControls();
    ApplySettings();
    Channel = std::make_unique<TLogChannel>(host, window, scope, capacity);
    context = {&Names, Channel->StartTime(), Channel->Frequency()};
    if (!Channel->Ok()) SetState(Channel->Error());
    SetTimer(Handle(), DrainTimerId, DrainIntervalMs, nullptr);
    UpdateStatus();
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

TMessageLogForm::~TMessageLogForm() {
    if (Handle()) {
        KillTimer(Handle(), DrainTimerId);
        RemovePropA(Handle(), LogWindowProperty);
        DestroyWindow(Handle());
    }
}

void TMessageLogForm::BuildControls() {
    PauseButton = &MakeChild<TNvButton>("&Pause");
    PauseButton->OnClick = [this](TNvButton&) { SetPaused(!paused); };
    ClearButton = &MakeChild<TNvButton>("&Clear");
    ClearButton->OnClick = [this](TNvButton&) { Clear(); };
    SaveButton = &MakeChild<TNvButton>("&Save...");
    SaveButton->OnClick = [this](TNvButton&) { Save(); };
    labels.push_back(&MakeChild<TStaticLabel>("&Include"));
    IncludeEdit = &MakeChild<TLogEdit>();
    labels.push_back(&MakeChild<TStaticLabel>("E&xclude"));
    ExcludeEdit = &MakeChild<TLogEdit>();
    labels.push_back(&MakeChild<TStaticLabel>("Sc&ope"));
    ScopeCombo = &MakeChild<TNvComboBox>();
    for (const char* name : ScopeNames)
        SendMessageA(ScopeCombo->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(ScopeCombo->Handle(), CB_SETCURSEL, scope, 0);
    ScopeCombo->OnChange = [this](TNvComboBox& combo) {
        LRESULT index = SendMessageA(combo.Handle(), CB_GETCURSEL, 0, 0);
        if (index >= 0) SetScope(static_cast<TLogScope>(index));
    };
    List = &MakeChild<TLogListView>();
    List->SetColumnClick(false);
    List->AddColumns(LogColumns, LogColumnCount - 1, 96);
    List->CellText = [this](int row, int column) { return CellText(static_cast<size_t>(row), column); };
    List->OnColumnResize = [this](TNvListView&, int, int) { SaveColumnWidths(); };
    StatusBar = &MakeChild<TNvStatusBar>();
    // The spring first: adding panels lays them out, and the spring panel's width is what is left over.
    StatusBar->SpringPanel = 1;
    StatusBar->AddPanels(StatusPanels, 1);
    TNvWindow* boxes[] = {IncludeEdit, ExcludeEdit, ScopeCombo};
    for (size_t i = 0; i < labels.size(); ++i)
        static_cast<TStaticLabel*>(labels[i])->FocusControl = boxes[i]->Handle();
    IncludeEdit->OnChange = [this](TLogEdit& edit) { SetInclude(edit.Text()); };
    ExcludeEdit->OnChange = [this](TLogEdit& edit) { SetExclude(edit.Text()); };
    SetFontAll(IconTitleFont.Get());
}

void TMessageLogForm::ApplySettings() {
    int left = 80, top = 80, width = DefaultWidth, height = DefaultHeight;
    if (settings.Width) {
        left = settings.Left->Value;
        top = settings.Top->Value;
        width = settings.Width->Value > 200 ? settings.Width->Value : DefaultWidth;
        height = settings.Height->Value > 150 ? settings.Height->Value : DefaultHeight;
    }
    SetBounds(left, top, width, height);
    if (settings.ColumnWidths) {
        std::vector<int> widths = WidthsFromText(settings.ColumnWidths->Value);
        for (size_t column = 0; column < widths.size() && column < LogColumnCount; ++column)
            if (widths[column] > 0)
                ListView_SetColumnWidth(List->Handle(), static_cast<int>(column), widths[column]);
    }
    // The edits' change handlers apply the stored patterns.
    if (settings.Include) IncludeEdit->SetText(settings.Include->Value);
    if (settings.Exclude) ExcludeEdit->SetText(settings.Exclude->Value);
    Layout();
}

void TMessageLogForm::Layout() {
    if (!StatusBar) return;
    RECT client = ClientRect();
    int x = Gap, y = (BarHeight - ControlHeight) / 2;
    for (TNvButton* button : {PauseButton, ClearButton, SaveButton}) {
        button->SetBounds(x, y, ButtonWidth, ControlHeight);
        x += ButtonWidth + Gap;
    }
    TNvWindow* boxes[] = {IncludeEdit, ExcludeEdit, ScopeCombo};
    for (size_t i = 0; i < labels.size(); ++i) {
        labels[i]->SetBounds(x + Gap, y + 4, LabelWidth, ControlHeight - 4);
        x += Gap + LabelWidth;
        int width = i == 2 ? ComboWidth : EditWidth;
        boxes[i]->SetBounds(x, y, width, i == 2 ? ControlHeight * 6 : ControlHeight);
        x += width;
    }
    StatusBar->SetBounds(0, client.bottom - TNvStatusBar::Height, client.right, TNvStatusBar::Height);
    List->SetBounds(0, BarHeight, client.right, client.bottom - BarHeight - TNvStatusBar::Height);
}

LRESULT TMessageLogForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == DrainTimerId) {
            if (DrainOnTimer) DrainOnTick();
            return 0;
        }
        break;
    case FollowMessage:
        if (followFrom >= 0) FollowNewest(followFrom);
        return 0;
    case WM_SIZE:
        Layout();
        break;
    case WM_EXITSIZEMOVE: {
        LRESULT result = TNvForm::HandleMessage(message, wParam, lParam);
        SaveBounds();
        return result;
    }
    case WM_DESTROY:
        // The hooks and the ring go with the window, not later with the object.
        KillTimer(Handle(), DrainTimerId);
        Channel.reset();
        break;
    default:
        break;
    }
    return TNvForm::HandleMessage(message, wParam, lParam);
}

void TMessageLogForm::SaveBounds() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!settings.Width || !GetWindowPlacement(Handle(), &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    settings.Left->SetValue(r.left);
    settings.Top->SetValue(r.top);
    settings.Width->SetValue(r.right - r.left);
    settings.Height->SetValue(r.bottom - r.top);
}

void TMessageLogForm::SaveColumnWidths() {
    if (!settings.ColumnWidths || !List) return;
    std::string text;
    for (int column = 0; column < List->ColumnCount(); ++column)
        text += (column ? "," : "") + std::to_string(ListView_GetColumnWidth(List->Handle(), column));
    settings.ColumnWidths->SetValue(text);
}

void TMessageLogForm::SetPaused(bool on) {
    paused = on;
    if (Channel) Channel->SetPaused(on);
    PauseButton->SetText(on ? "&Resume" : "&Pause");
    UpdateStatus();
}

void TMessageLogForm::Clear() {
    Rows.Clear();
    ShowRows(false, false);
}

void TMessageLogForm::SetInclude(const std::string& pattern) {
    try {
        Rows.Filter.SetInclude(pattern);
    } catch (const std::exception&) {
        SetState("The include pattern is not valid: the filter before it stays.");
        return;
    }
    if (IncludeEdit->Text() != pattern) IncludeEdit->SetText(pattern);
    if (settings.Include) settings.Include->SetValue(pattern);
    SetState(ended ? state : std::string());
    Rows.Refilter();
    ShowRows(true, false);
}

void TMessageLogForm::SetExclude(const std::string& pattern) {
    try {
        Rows.Filter.SetExclude(pattern);
    } catch (const std::exception&) {
        SetState("The exclude pattern is not valid: the filter before it stays.");
        return;
    }
    if (ExcludeEdit->Text() != pattern) ExcludeEdit->SetText(pattern);
    if (settings.Exclude) settings.Exclude->SetValue(pattern);
    SetState(ended ? state : std::string());
    Rows.Refilter();
    ShowRows(true, false);
}

void TMessageLogForm::SetScope(TLogScope newScope) {
    scope = newScope;
    if (Channel) Channel->SetScope(scope);
    if (SendMessageA(ScopeCombo->Handle(), CB_GETCURSEL, 0, 0) != static_cast<LRESULT>(scope))
        SendMessageA(ScopeCombo->Handle(), CB_SETCURSEL, scope, 0);
    if (settings.Scope) settings.Scope->SetValue(scope);
}

size_t TMessageLogForm::TakeRecords() {
    if (!Channel || !Channel->Ok()) return 0;
    std::string hookError = Channel->HookError();
    if (!hookError.empty() && state != hookError) SetState(hookError);
    // Asked before the ring is read, so that what the target wrote before it ended is still taken.
    if (!ended && Channel->TargetEnded()) {
        ended = true;
        SetState("The window's program has ended; the log keeps its rows.");
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const int64_t deadline = now.QuadPart + Channel->Frequency() * DrainBudgetMs / 1000;
    const size_t batch = 4096;
    size_t taken = 0;
    while (taken < DrainBudget) {
        drained.clear();
        size_t read = Channel->Drain(drained, std::min(batch, DrainBudget - taken));
        if (read == 0) break;
        Rows.Append(drained);
        taken += read;
        QueryPerformanceCounter(&now);
        if (now.QuadPart >= deadline) break;
    }
    if (ended && Channel->Waiting() == 0) KillTimer(Handle(), DrainTimerId);
    return taken;
}

void TMessageLogForm::Drain() {
    if (!Channel || !Channel->Ok()) return;
    if (TakeRecords() > 0 || rowsWaiting) ShowRows(true, true);
    UpdateStatus();
}

void TMessageLogForm::DrainOnTick() {
    if (!Channel || !Channel->Ok()) return;
    if (TakeRecords() > 0) rowsWaiting = true;
    const DWORD now = GetTickCount();
    if (now - lastShown < ShowIntervalMs) return;
    if (rowsWaiting)
        ShowRows(true, true, true);
    else
        UpdateStatus();
    lastShown = now;
}

void TMessageLogForm::ShowRows(bool followNewest, bool appended, bool scrollLater) {
    HWND list = List->Handle();
    int before = ListView_GetItemCount(list);
    // The newest row stays in view unless the user scrolled up to read older ones.
    bool atEnd = before == 0 || ListView_GetTopIndex(list) + ListView_GetCountPerPage(list) >= before;
    int count = static_cast<int>(Rows.ShownCount());
    rowsWaiting = false;
    ListView_SetItemCountEx(list, count,
                            appended ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : LVSICF_NOSCROLL);
    if (appended) RedrawNewRows(before);
    UpdateStatus();
    if (!followNewest || !atEnd || count == 0) return;
    if (!scrollLater) {
        FollowNewest(appended ? before : count);
    } else if (followFrom < 0) {
        followFrom = before; // a scroll already posted keeps the older start
        PostMessageA(Handle(), FollowMessage, 0, 0);
    }
}

void TMessageLogForm::FollowNewest(int before) {
    followFrom = -1;
    HWND list = List->Handle();
    const int count = ListView_GetItemCount(list);
    if (count > 0) ListView_EnsureVisible(list, count - 1, FALSE);
    RedrawNewRows(before);
}

// The count changed without invalidating the list: the new rows on the page were drawn empty (or, after the
// scroll, as copies of older ones) and are drawn again; a page at most, whatever came in.
void TMessageLogForm::RedrawNewRows(int before) {
    HWND list = List->Handle();
    const int count = ListView_GetItemCount(list);
    if (count <= before) return;
    const int top = ListView_GetTopIndex(list);
    const int last = std::min(count - 1, top + ListView_GetCountPerPage(list));
    if (last >= std::max(before, top)) ListView_RedrawItems(list, std::max(before, top), last);
}

std::string TMessageLogForm::CellText(size_t row, int column) const {
    if (row >= Rows.ShownCount()) return std::string();
    return LogCellText(Rows.Shown(row), column, context);
}

std::string TMessageLogForm::CountsText() const {
    return FormatText("Recorded %llu, shown %llu, dropped %u",
                      static_cast<unsigned long long>(Rows.RecordedCount()),
                      static_cast<unsigned long long>(Rows.ShownCount()), Channel ? Channel->Dropped() : 0u);
}

void TMessageLogForm::SetState(const std::string& text) {
    state = text;
    UpdateStatus();
}

void TMessageLogForm::UpdateStatus() {
    if (!StatusBar) return;
    std::string counts = CountsText() + (paused ? " (paused)" : "");
    if (StatusBar->PanelText(0) == counts && StatusBar->PanelText(1) == state) return;
    StatusBar->SetPanelText(0, counts);
    StatusBar->SetPanelText(1, state);
    // Setting a text leaves the bar to be drawn whole.
    StatusBar->Invalidate();
}

bool TMessageLogForm::SaveCsv(const std::string& fileName) const {
    std::vector<std::string> captions(LogColumnCaptions, LogColumnCaptions + LogColumnCount);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(Rows.ShownCount());
    for (size_t row = 0; row < Rows.ShownCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < LogColumnCount; ++column)
            cells.push_back(CellText(row, column));
        rows.push_back(std::move(cells));
    }
    std::string text = CsvRows(captions, rows);
    FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

void TMessageLogForm::Save() {
    char path[MAX_PATH] = "messages.csv";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = "CSV files (*.csv)\0*.csv\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = "csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return;
    if (!SaveCsv(path))
        MessageBoxA(Handle(), "The log could not be written to the file.", "Save Log", MB_ICONERROR);
}
