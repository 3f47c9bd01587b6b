// The main window: start-up and shut-down, settings and their effects, refresh loop, menus, keys, status bar.
#include "app/Main.h"

#include "app/PickOutline.h"
#include "app/PickWindow.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "config/IniFile.h"
#include "config/TabConfig.h"
#include "messages/TabMessages.h"
#include "msglog/MessageLogs.h"
#include "snapshot/Snapshots.h"
#include "tabs/TabBranch.h"
#include "tabs/TabEnum.h"
#include "tabs/TabMenus.h"
#include "tabs/TabPlacement.h"
#include "tabs/TabWindows.h"
#include "tabs/TabProperties.h"
#include "processes/TabProcesses.h"
#include "ui/Dpi.h"
#include "ui/Monitors.h"
#include "ui/QrAboutBox.h"

#include <windowsx.h>

namespace {

const TNvMenuEntry MainMenuEntries[] = {
    {cmdAbout, VK_F1, "&About...", 0, 0},
    {0, 0, "-", 0, 0},
    {cmdQuit, ShortCutAlt | 'Q', "&Quit", 0, 0},
};
const TNvMenuEntry WindowsMenuEntries[] = {
    {cmdDesktopWindow, 0, "GetDesktopWindow()", 0, 0},
    {cmdClipboardOwner, 0, "GetClipboardOwner()", 0, 0},
    {cmdClipboardViewer, 0, "GetClipboardViewer()", 0, 0},
    {cmdOpenClipboardWindow, 0, "GetOpenClipboardWindow()", 0, 0},
    {0, 0, "-", 0, 0},
    {cmdObtainParent, ShortCutCtrl | 'P', "Obtain Parent Handle", 0, 0},
};
const TNvMenuEntry OptionsMenuEntries[] = {
    {cmdScanAtMouse, VK_F5, "Scan Window at Mouse", 0, 0},
};
const TNvMenuEntry ToolsMenuEntries[] = {
    {cmdLogMessages, ShortCutCtrl | 'L', "&Log Messages...", 0, 0},
    {cmdSaveSnapshot, 0, "Save &Snapshot...", 0, 0},
    {cmdCompareSnapshot, 0, "&Compare with Snapshot...", 0, 0},
};
template <class T, size_t N> int LastIndex(const T (&)[N]) {
    return static_cast<int>(N) - 1;
}

// Two owner-drawn panels, then the tracked index, the handle and the rectangle.
const int StatusPanelWidths[] = {-1, -32, 64, 86, 150};
const int PageMargin = 4;
const int CaptionGap = 12;
const int PanelTextInset = 3;
const int WheelStep = 120;
// The part of the window that must lie on a monitor for the user to reach it: about its caption's height.
const int MinVisiblePart = 32;

std::string SettingsFileName() {
    return SettingsFileNameFor(ModuleFileName(nullptr));
}

const int MinTimerInterval = 10;
const int MaxTimerInterval = 60000;
const int MaxWindowExtent = 32767;

void LimitSetting(TConfigVarInt& variable, int min, int max) {
    variable.Min = min;
    variable.Max = max;
}

void FillPanel(HDC dc, const RECT& rect, COLORREF colour) {
    TBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Get());
}

} // namespace

const std::vector<TTabClass>& PaneprobeTabClasses() {
    static const std::vector<TTabClass> tabs = {
        TabClassOf<TWindowsTab>(),    // Tracked
        TabClassOf<TPlacementTab>(),  // Placement
        TabClassOf<TEnumTab>(),       // Enum
        TabClassOf<TBranchTab>(),     // Branch
        TabClassOf<TMessageTab>(),    // Messages
        TabClassOf<TMenusTab>(),      // Menus
        TabClassOf<TPropertiesTab>(), // Properties
        TabClassOf<TProcessesTab>(),  // Processes
        TabClassOf<TConfigTab>(),     // Config
    };
    return tabs;
}

const TTabClass* ConfigTabClass() {
    static const TTabClass configTab = TabClassOf<TConfigTab>();
    return &configTab;
}

void FillCommandsMenu(TNvMainMenu& menu, TNvMenuItem& commandsMenu) {
    FillWindowCommandsMenu(menu, commandsMenu);
}

void ShowAboutBox(HWND owner, uint32_t packedVersion, const char* productName) {
    AboutBox(owner, packedVersion, productName, nullptr);
}

TPaneprobeForm::TPaneprobeForm(const std::vector<TTabClass>& tabClasses, const TTabClass* configTabClass)
    : TNvForm("TPaneprobeForm"), ConfigTab(configTabClass) {
    SetCaption("Quorvel Paneprobe " + VersionText(PaneprobeVersion, true));
    HexPrefix = "0x";

    SetFileAttributeKeeper(KeepFileAttributes);
    Store = std::make_unique<TEasyConfigIni>(SettingsFileName());
    char separator[4] = ".";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        Store->DecimalSeparator = separator[0];
    Store->OnChange = [this](TConfigVar& variable) { OnConfigChange(variable); };
    ConfigStore = Store.get();

    List = std::make_unique<TWindowList>();
    List->OnChange = [this](TWindowList& list) { OnTrackedListChange(list); };
    TrackedList = List.get();

    TabManager = std::make_unique<TPaneprobeTabManager>();

    Images = std::make_unique<TNvImageList>(16, 16);
    Images->LoadBitmaps(256);
    SharedImageList = Images.get();

    DeclareSettings();
    Logs = std::make_unique<TMessageLogs>(Store.get());
    Snapshots = std::make_unique<TSnapshots>();
    BuildControls();

    for (const TTabClass& tabClass : tabClasses) {
        TNvTabSheet& sheet = PageControl->AddPage("");
        TabManager->AddTab(tabClass, &sheet);
    }

    Store->Load();
    Store->AutoLoad = true;
    KeepOnMonitor();

    shown = true;
    ShowWindow(Handle(), Maxed->Value ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(Handle());
    TrackQuietly(Handle(), true);
    MainWindowHandle = Handle();
}

// Shut-down: timers, tracked list, tabs, then the modified settings are saved and the store goes.
TPaneprobeForm::~TPaneprobeForm() {
    finderOutline.reset();
    finderRecord.reset();
    Snapshots.reset();
    Logs.reset(); // their hooks go while the program still runs
    if (Handle()) {
        KillTimer(Handle(), FastTimerId);
        KillTimer(Handle(), TabTimerId);
        // As when the user closes it: the windows go first, so that no control calls into a tab that is gone.
        DestroyWindow(Handle());
    }
    List.reset();
    TrackedList = nullptr;
    TabManager.reset();
    Store->Save(true);
    Store.reset();
    ConfigStore = nullptr;
    Menu.reset();
    SharedImageList = nullptr;
}

void TPaneprobeForm::DeclareSettings() {
    TEasyConfig* store = Store.get();
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Stored in pixels as shown; only the defaults follow the display scale.
    const int defaultWidth = DefaultWidth(), defaultHeight = DefaultHeight();
    StayOnTop = &TConfigVarBool::Get(store, "system", "stay_on_top", false);
    UpdateInterval = &TConfigVarInt::Get(store, "system", "update_interval_ms", 33);
    ScanAtMouse = &TConfigVarBool::Get(store, "system", "scan_window_at_mouse", true);
    PageIndex = &TConfigVarInt::Get(store, "tabs", "page_index", 0);
    TabInterval =
        &TConfigVarInt::Get(store, "tabs", "update_interval_ms", TPaneprobeTab::DefaultRefreshIntervalMs);
    TabInterval->Stored = false;
    FontMain = &TConfigVarStr::Get(store, "gui", "font_main", "");
    Width = &TConfigVarInt::Get(store, "window", "width", defaultWidth);
    Height = &TConfigVarInt::Get(store, "window", "height", defaultHeight);
    Left = &TConfigVarInt::Get(store, "window", "left", (screenWidth - defaultWidth) / 2);
    Top = &TConfigVarInt::Get(store, "window", "top", (screenHeight - defaultHeight) / 2);
    Maxed = &TConfigVarBool::Get(store, "window", "maxed", false);
    FlashPicked = &TConfigVarBool::Get(store, "gui", "flash_picked_window", true);
    // An interval of 0 would stop a timer for good; the tabs' page index is a position among the program's
    // tabs, shown as the last one when this window has fewer.
    LimitSetting(*UpdateInterval, MinTimerInterval, MaxTimerInterval);
    LimitSetting(*TabInterval, MinTimerInterval, MaxTimerInterval);
    LimitSetting(*PageIndex, 0, static_cast<int>(PaneprobeTabClasses().size()) - 1);
    LimitSetting(*Width, GetSystemMetrics(SM_CXMINTRACK), MaxWindowExtent);
    LimitSetting(*Height, GetSystemMetrics(SM_CYMINTRACK), MaxWindowExtent);
}

void TPaneprobeForm::BuildControls() {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - DefaultWidth()) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - DefaultHeight()) / 2, DefaultWidth(), DefaultHeight());

    Menu = std::make_unique<TNvMainMenu>(*this);
    TNvMenuClick run = [this](TNvMenuItem& item) { RunMenuCommand(item.Entry ? item.Entry->Id : 0); };
    Menu->AddMenu("&Main", MainMenuEntries, LastIndex(MainMenuEntries), run);
    Menu->AddMenu("&Windows", WindowsMenuEntries, LastIndex(WindowsMenuEntries), run);
    Menu->AddMenu("&Options", OptionsMenuEntries, LastIndex(OptionsMenuEntries), run);
    CommandsMenu = &Menu->AddMenu("&Commands", nullptr, -1, nullptr);
    FillCommandsMenu(*Menu, *CommandsMenu);
    Menu->AddMenu("&Tools", ToolsMenuEntries, LastIndex(ToolsMenuEntries), run);

    StatusBar = &MakeChild<TNvStatusBar>();
    StatusBar->AddPanels(StatusPanelWidths, LastIndex(StatusPanelWidths));
    StatusBar->OnDrawPanel = [this](TNvStatusBar&, int panel, HDC dc, const RECT& rect) {
        DrawStatusPanel(panel, dc, rect);
    };

    Finder = &MakeChild<TNvFinder>();
    Finder->OnHover = [this](HWND window) { FinderHover(window); };
    Finder->OnPick = [this](HWND window, bool add) { FinderDone(window, add); };
    Finder->OnCancel = [this] { FinderDone(nullptr, false); };

    PageControl = &MakeChild<TNvPageControl>();
    PageControl->OnChange = [this](TNvPageControl& pages) { PageIndex->SetValue(pages.ActivePageIndex()); };
    LayoutControls();
    MeasureWorkspaceOffset();
}

// The page control keeps a margin of 4 on every side above the status bar, which spans the bottom.
void TPaneprobeForm::LayoutControls() {
    if (!StatusBar || !PageControl) return;
    RECT client = ClientRect();
    int width = client.right, height = client.bottom;
    const int barHeight = Scaled(TNvStatusBar::Height), margin = Scaled(PageMargin);
    const int finderWidth = Finder ? Scaled(TNvFinder::Size) : 0;
    StatusBar->SetBounds(0, height - barHeight, width - finderWidth, barHeight);
    if (Finder) Finder->SetBounds(width - finderWidth, height - barHeight, finderWidth, barHeight);
    PageControl->SetBounds(margin, margin, width - 2 * margin, height - barHeight - 2 * margin);
}

void TPaneprobeForm::OnConfigChange(TConfigVar& variable) {
    TConfigVar* v = &variable;
    if (v == UpdateInterval)
        RestartTimer(FastTimerId, UpdateInterval->Value);
    else if (v == TabInterval)
        RestartTimer(TabTimerId, TabInterval->Value);
    else if (v == ScanAtMouse) {
        if (TNvMenuItem* item = Menu ? Menu->FindMenuItem(cmdScanAtMouse) : nullptr)
            item->SetChecked(ScanAtMouse->Value);
        UpdateStatusBar(); // panel 0 shows scanning in its colour
    } else if (v == StayOnTop)
        SetStayOnTop(StayOnTop->Value);
    else if (v == FontMain)
        ApplyFont(FontMain->Value);
    else if (v == PageIndex)
        ActivateTab(PageIndex->Value);
    else if (v == Width || v == Height || v == Left || v == Top)
        ApplyBound(static_cast<TConfigVarInt&>(variable));
    else if (v == Maxed)
        ApplyMaxed(Maxed->Value);
    if (TabManager) TabManager->BroadcastConfigChanged(variable);
}

void TPaneprobeForm::RestartTimer(UINT_PTR id, int interval) {
    KillTimer(Handle(), id);
    if (interval > 0) SetTimer(Handle(), id, static_cast<UINT>(interval), nullptr);
}

// The restored rectangle that GetWindowPlacement gives is in workspace coordinates on Windows: relative to
// the work area, so a taskbar at the left or the top shifts it against the screen. Some platforms give
// screen coordinates instead. In the normal state GetWindowRect gives the same rectangle on the screen, so
// the offset between the two is measured there and used while the window is maximized or minimized.
void TPaneprobeForm::MeasureWorkspaceOffset() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    RECT rect = {};
    if (IsZoomed(Handle()) || IsIconic(Handle()) || !GetWindowPlacement(Handle(), &placement) ||
        !GetWindowRect(Handle(), &rect))
        return;
    workspaceOffset = {rect.left - placement.rcNormalPosition.left,
                       rect.top - placement.rcNormalPosition.top};
}

RECT TPaneprobeForm::RestoredBoundsOnScreen() {
    RECT rect = {};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if ((IsZoomed(Handle()) || IsIconic(Handle())) && GetWindowPlacement(Handle(), &placement)) {
        rect = placement.rcNormalPosition;
        OffsetRect(&rect, workspaceOffset.x, workspaceOffset.y);
        return rect;
    }
    GetWindowRect(Handle(), &rect);
    MeasureWorkspaceOffset();
    return rect;
}

// While maximized or minimized the restored rectangle changes, so that restoring shows the new geometry.
void TPaneprobeForm::SetRestoredBoundsOnScreen(const RECT& bounds) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (shown && (IsZoomed(Handle()) || IsIconic(Handle())) && GetWindowPlacement(Handle(), &placement)) {
        placement.rcNormalPosition = bounds;
        OffsetRect(&placement.rcNormalPosition, -workspaceOffset.x, -workspaceOffset.y);
        SetWindowPlacement(Handle(), &placement);
        return;
    }
    SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    MeasureWorkspaceOffset();
}

// A position stored before a monitor went (undocking) would open the window where nobody sees it: it is
// moved onto the work area of the monitor nearest to it. Only the window moves; the settings keep what
// the user chose until the window is moved.
void TPaneprobeForm::KeepOnMonitor() {
    const RECT rect = RestoredBoundsOnScreen();
    std::vector<TMonitorArea> monitors = DisplayMonitors();
    if (VisibleOnMonitor(monitors, ToIntRect(rect), Scaled(MinVisiblePart))) return;
    const int nearest = NearestMonitor(monitors, ToIntRect(rect));
    SetRestoredBoundsOnScreen(
        ToRect(FitIntoArea(ToIntRect(rect), monitors[static_cast<size_t>(nearest)].WorkArea)));
}

// The 96-DPI default at the window's scale, but never larger than the primary work area, where the window
// opens first: at 200% the default would not fit a small screen.
int TPaneprobeForm::DefaultExtent(int extent96, bool horizontal) const {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int scaled = ScaleToDpi(extent96, Handle() ? WindowDpi(Handle()) : ScreenDpi());
    return std::min(scaled, static_cast<int>(horizontal ? area.right - area.left : area.bottom - area.top));
}

void TPaneprobeForm::ApplyBound(const TConfigVarInt& variable) {
    RECT rect = RestoredBoundsOnScreen();
    int left = rect.left, top = rect.top, width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (&variable == Width) width = variable.Value;
    if (&variable == Height) height = variable.Value;
    if (&variable == Left) left = variable.Value;
    if (&variable == Top) top = variable.Value;
    SetRestoredBoundsOnScreen({left, top, left + width, top + height});
}

// Before the window is shown the state only waits for the first ShowWindow.
void TPaneprobeForm::ApplyMaxed(bool maxed) {
    if (shown) ShowWindow(Handle(), maxed ? SW_MAXIMIZE : SW_RESTORE);
}

void TPaneprobeForm::ApplyFont(const std::string& text) {
    TFont font(FontFromText(text));
    if (!font) return;
    SetFontAll(font.Get());
    MainFont = std::move(font);
    LayoutControls();
}

void TPaneprobeForm::ActivateTab(int index) {
    int count = PageControl ? PageControl->PageCount() : 0;
    if (count == 0 || TabManager->Count() == 0) return;
    index = Clamp(index, 0, count - 1);
    PageControl->SetActivePageIndex(index);
    TabManager->SetVisibleTab(index);
    if (index < TabManager->Count()) TabManager->TabAt(index)->Activate();
    RefreshActiveTab();
}

void TPaneprobeForm::RefreshActiveTab() {
    int index = PageControl ? PageControl->ActivePageIndex() : -1;
    if (index >= 0 && index < TabManager->Count()) TabManager->TabAt(index)->Refresh();
}

void TPaneprobeForm::OnTrackedListChange(TWindowList&) {
    if (replacingTracked) {
        trackedChangePending = true;
        return;
    }
    if (TabManager) TabManager->BroadcastTrackedListChanged();
    UpdateStatusBar();
}

// TrackWindow empties the list before it adds the new record. When the form itself replaces the tracked
// window (every fast tick while scanning), the tabs and the status bar hear once, about the new window:
// showing the empty moment in between would flicker and, 30 times a second, rebuild every tab twice.
void TPaneprobeForm::TrackQuietly(HWND handle, bool stopScanning) {
    // A resting pointer brings the same window 30 times a second: when nothing the tabs show of it has
    // changed, the list keeps its record and no tab is told.
    auto fresh = std::make_unique<TWindowDetails>(handle);
    fresh->Refresh();
    const TWindowDetails* current =
        !stopScanning && TrackedList && TrackedList->Count() == 1 ? TrackedList->Current() : nullptr;
    if (current && SameDetails(*current, *fresh)) {
        UpdateStatusBar();
        return;
    }
    replacingTracked = true;
    trackedChangePending = false;
    try {
        TrackRecord(std::move(fresh), false, stopScanning);
    } catch (...) {
        replacingTracked = false;
        throw;
    }
    replacingTracked = false;
    if (trackedChangePending && TabManager) TabManager->BroadcastTrackedListChanged();
    trackedChangePending = false;
    UpdateStatusBar();
}

// While the finder is dragged it alone chooses the window: following the mouse waits.
void TPaneprobeForm::FastTick() {
    if (Finder && Finder->Dragging()) {
        Finder->Track();
        if (finderRecord) finderRecord->Refresh();
        UpdateStatusBar();
        return;
    }
    if (ScanAtMouse->Value) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        TrackQuietly(WindowFromPoint(cursor), false);
        return;
    }
    if (TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr) current->Refresh();
    UpdateStatusBar();
}

TWindowDetails* TPaneprobeForm::ShownRecord() const {
    if (finderRecord) return finderRecord.get();
    return TrackedList ? TrackedList->Current() : nullptr;
}

// The pick outline follows the window under the finder; the status bar shows it without tracking it.
void TPaneprobeForm::FinderHover(HWND window) {
    finderOutline.reset();
    finderRecord.reset();
    RECT rect = {};
    if (window && IsWindowVisible(window) && GetWindowRect(window, &rect))
        finderOutline = std::make_unique<TPickOutline>(rect, true);
    if (window) {
        finderRecord = std::make_unique<TWindowDetails>(window);
        finderRecord->Refresh();
    }
    UpdateStatusBar();
}

void TPaneprobeForm::FinderDone(HWND picked, bool add) {
    finderOutline.reset();
    finderRecord.reset();
    if (!picked) {
        UpdateStatusBar();
        return;
    }
    if (add)
        TrackWindow(picked, true, true);
    else
        TrackQuietly(picked, true);
    UpdateStatusBar();
}

void TPaneprobeForm::UpdateStatusBar() {
    if (!StatusBar || !StatusBar->Handle()) return;
    TWindowDetails* current = ShownRecord();
    trackedAlive = current && IsWindow(current->Handle);
    parentAlive = current && current->Parent && IsWindow(current->Parent);
    if (!current) {
        for (int i = 0; i < StatusBar->PanelCount(); ++i)
            StatusBar->SetPanelText(i, "n/a");
        paintedState.clear();
        StatusBar->Invalidate();
        return;
    }
    RECT rect = {};
    GetWindowRect(current->Handle, &rect);
    if (current->Parent && (current->Style & WS_CHILD))
        MapWindowPoints(nullptr, current->Parent, reinterpret_cast<POINT*>(&rect), 2);
    StatusBar->SetPanelText(0, current->ClassName);
    StatusBar->SetPanelText(1, current->Parent ? "P" : "");
    StatusBar->SetPanelText(2, FormatText("%d / %d", TrackedList->ItemIndex() + 1, TrackedList->Count()));
    StatusBar->SetPanelText(3, FormatNonZero(HandleValue(current->Handle), "0x%.8x"));
    if (trackedAlive)
        StatusBar->SetPanelText(4, FormatText("%d x %d / %d x %d", static_cast<int>(rect.left),
                                              static_cast<int>(rect.top),
                                              static_cast<int>(rect.right - rect.left),
                                              static_cast<int>(rect.bottom - rect.top)));
    // Repaint at once, but only when something shown has changed: while the pointer rests on a window the
    // same bar would be drawn 30 times a second. Drawing directly leaves nothing invalid for a second paint.
    std::vector<std::string> state = PanelStates(*current);
    if (state == paintedState) return;
    std::vector<bool> changed(state.size(), true);
    if (paintedState.size() == state.size())
        for (size_t i = 0; i < state.size(); ++i)
            changed[i] = state[i] != paintedState[i];
    paintedState = std::move(state);
    StatusBar->RepaintPanelsNow(changed);
}

COLORREF TPaneprobeForm::Panel0Colour() const {
    if (!trackedAlive || !ShownRecord()) return PanelVanished;
    return ScanAtMouse && ScanAtMouse->Value ? PanelScanning : PanelTracking;
}

// Everything each panel shows: its text, and for the two drawn panels the caption and the colours.
std::vector<std::string> TPaneprobeForm::PanelStates(const TWindowDetails& current) const {
    std::vector<std::string> states;
    for (int i = 0; i < StatusBar->PanelCount(); ++i)
        states.push_back(StatusBar->PanelText(i));
    if (states.size() > 1) {
        states[0] += FormatText("\n%x\n", static_cast<int>(Panel0Colour())) + current.Caption;
        states[1] += parentAlive ? "\n1" : "\n0";
    }
    return states;
}

// The liveness of the tracked window and its parent is the one UpdateStatusBar has just read.
void TPaneprobeForm::DrawStatusPanel(int panel, HDC dc, const RECT& rect) {
    TWindowDetails* current = ShownRecord();
    const int inset = Scaled(PanelTextInset);
    RECT text = {rect.left + inset, rect.top, rect.right - inset, rect.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const std::string& panelText = StatusBar->PanelText(panel);
    if (panel == 0) {
        FillPanel(dc, rect, Panel0Colour());
        DrawProgramText(dc, panelText, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        if (!current) return;
        const SIZE extent = ProgramTextExtent(dc, panelText);
        RECT caption = {text.left + extent.cx + Scaled(CaptionGap), text.top, text.right, text.bottom};
        SetTextColor(dc, PanelCaption);
        DrawProgramText(dc, current->Caption, &caption, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    } else if (panel == 1) {
        FillPanel(dc, rect, current && parentAlive ? PanelTracking : GetSysColor(COLOR_BTNFACE));
        DrawProgramText(dc, panelText, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    }
}

void TPaneprobeForm::RunMenuCommand(int id) {
    auto trackQuietly = [this](HWND handle) { TrackQuietly(handle, true); };
    switch (id) {
    case cmdAbout:
        ShowAboutBox(Handle(), PaneprobeVersion, "Paneprobe");
        break;
    case cmdQuit:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        break;
    case cmdDesktopWindow:
    case cmdClipboardOwner:
    case cmdClipboardViewer:
    case cmdOpenClipboardWindow: {
        ScanAtMouse->SetValue(false);
        HWND handle = id == cmdDesktopWindow     ? GetDesktopWindow()
                      : id == cmdClipboardOwner  ? GetClipboardOwner()
                      : id == cmdClipboardViewer ? GetClipboardViewer()
                                                 : GetOpenClipboardWindow();
        if (handle) PickWindow(handle, trackQuietly);
        break;
    }
    case cmdObtainParent: {
        TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
        if (current && current->Parent) {
            HWND parent = current->Parent; // the record goes when the list is replaced
            PickWindow(parent, trackQuietly);
        }
        break;
    }
    case cmdScanAtMouse:
        ScanAtMouse->SetValue(!ScanAtMouse->Value);
        if (TNvMenuItem* item = Menu->FindMenuItem(cmdScanAtMouse)) item->SetChecked(ScanAtMouse->Value);
        break;
    case cmdLogMessages: {
        TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
        if (current && Logs) Logs->Open(current->Handle);
        break;
    }
    case cmdSaveSnapshot:
    case cmdCompareSnapshot: {
        TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
        if (!current || !Snapshots) break;
        HWND root = current->Handle; // the record may go while the dialog is open
        if (id == cmdSaveSnapshot)
            Snapshots->Save(root, Handle());
        else
            Snapshots->Compare(root, Handle());
        break;
    }
    default:
        break;
    }
}

void TPaneprobeForm::KeyDown(WORD& key, unsigned shift) {
    if (HandleShortcutKey(key, shift)) key = 0;
}

bool TPaneprobeForm::HandleShortcutKey(WORD key, unsigned shift) {
    int digit = 0;
    if (key >= '1' && key <= '9') digit = key - '0';
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD9) digit = key - VK_NUMPAD0;
    if (digit && shift == ssCtrl) {
        if (digit - 1 < PageControl->PageCount()) PageIndex->SetValue(digit - 1);
        return true;
    }
    if (key == VK_F2 && shift == ssNone) {
        TPaneprobeTab* tab = ConfigTab ? TabManager->FindTab(*ConfigTab) : nullptr;
        if (tab && tab->Sheet) PageIndex->SetValue(tab->Sheet->PageIndex());
        return true;
    }
    if (key == 'D' && shift == ssCtrl) {
        PageIndex->SetValue(PageControl->PreviousPageIndex);
        return true;
    }
    if (key >= '1' && key <= '3' && shift == ssAlt) {
        static const int percent[] = {75, 100, 125};
        int p = percent[key - '1'];
        // Through the setting, so that the next start opens restored as well.
        Maxed->SetValue(false);
        Width->SetValue(DefaultWidth() * p / 100);
        Height->SetValue(DefaultHeight() * p / 100);
        return true;
    }
    if ((key == VK_LEFT || key == VK_RIGHT) && shift == ssAlt) {
        int step = key == VK_LEFT ? -1 : 1;
        TrackedList->SetItemIndex(ClampWrap(TrackedList->ItemIndex() + step, 0, TrackedList->Count() - 1));
        return true;
    }
    return false;
}

bool TPaneprobeForm::PreviewMessage(MSG& message) {
    if (message.message == WM_MOUSEWHEEL) return RedirectMouseWheel(message);
    return TNvForm::PreviewMessage(message);
}

// The wheel acts on the program's control under the pointer, not on the one with the focus.
bool TPaneprobeForm::RedirectMouseWheel(const MSG& message) {
    POINT point = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    TNvWindow* control = nullptr;
    for (HWND window = WindowFromPoint(point); window && !control; window = GetParent(window)) {
        if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) break;
        control = FromHandle(window);
    }
    if (!control || !control->Handle()) return false;
    if (auto pages = dynamic_cast<TNvPageControl*>(control)) {
        POINT client = point;
        ScreenToClient(pages->Handle(), &client);
        TCHITTESTINFO hit = {client, 0};
        if (pages->Scroller() && TabCtrl_HitTest(pages->Handle(), &hit) != -1) {
            int delta = GET_WHEEL_DELTA_WPARAM(message.wParam);
            pages->ScrollTabs(-(delta / WheelStep));
            return true;
        }
    }
    if (control->Handle() == message.hwnd) return false;
    SendMessageA(control->Handle(), WM_MOUSEWHEEL, message.wParam, message.lParam);
    return true;
}

LRESULT TPaneprobeForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == FastTimerId)
            FastTick();
        else if (wParam == TabTimerId)
            RefreshActiveTab();
        return 0;
    case WM_SIZE: {
        LRESULT result = TNvForm::HandleMessage(message, wParam, lParam);
        LayoutControls();
        return result;
    }
    case WM_SYSCOMMAND: {
        LRESULT result = TNvForm::HandleMessage(message, wParam, lParam);
        UINT command = static_cast<UINT>(wParam & 0xFFF0);
        // A restore from the taskbar can bring a minimized window back maximized: record what it became.
        if (command == SC_MAXIMIZE)
            Maxed->SetValue(true);
        else if (command == SC_RESTORE)
            Maxed->SetValue(IsZoomed(Handle()) != FALSE);
        return result;
    }
    case WM_ENDSESSION:
        // The process ends after this message without the normal exit, which is where settings are saved.
        if (wParam) Store->Save(true);
        return 0;
    case WM_NCDESTROY:
        // A handle value is reused for a later window: nothing may take that one for Paneprobe's.
        if (MainWindowHandle == Handle()) MainWindowHandle = nullptr;
        return TNvForm::HandleMessage(message, wParam, lParam);
    case WM_EXITSIZEMOVE: {
        LRESULT result = TNvForm::HandleMessage(message, wParam, lParam);
        // Stored on the screen, where the settings apply it; copied first, since each setter re-applies.
        const RECT normal = RestoredBoundsOnScreen();
        Width->SetValue(normal.right - normal.left);
        Height->SetValue(normal.bottom - normal.top);
        Left->SetValue(normal.left);
        Top->SetValue(normal.top);
        return result;
    }
    default:
        return TNvForm::HandleMessage(message, wParam, lParam);
    }
}
