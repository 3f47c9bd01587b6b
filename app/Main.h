// The main window of Paneprobe: owner of the settings, the tracked-window list, the tabs and the refresh
// loop.
#pragma once

#include "app/Shared.h"
#include "ui/NvClasses.h"
#include "ui/NvFinder.h"

#include <memory>
#include <vector>

class TConfigVarBool;
class TConfigVarInt;
class TConfigVarStr;
class TEasyConfigIni;
class TPickOutline;
class TMessageLogs;
class TSnapshots;

// The tabs in page order: page i belongs to row i. Later tabs add their row here.
const std::vector<TTabClass>& PaneprobeTabClasses();
// The tab that F2 shows; null while the program has none.
const TTabClass* ConfigTabClass();
// Fills the "&Commands" menu: the window-command table adds its items and sets the menu's open handler.
void FillCommandsMenu(TNvMainMenu& menu, TNvMenuItem& commandsMenu);
// Shows the about box owned by the main window.
void ShowAboutBox(HWND owner, uint32_t packedVersion, const char* productName);

const uint32_t PaneprobeVersion = 0x10061C;

// Timer, command and layout constants of the main window.
const UINT_PTR FastTimerId = 1;
const UINT_PTR TabTimerId = 2;
enum TMainCommand : uint16_t {
    cmdAbout = 1,
    cmdQuit = 2,
    cmdDesktopWindow = 3,
    cmdClipboardOwner = 4,
    cmdClipboardViewer = 5,
    cmdOpenClipboardWindow = 6,
    cmdObtainParent = 7,
    cmdScanAtMouse = 8,
    cmdLogMessages = 9,
    cmdSaveSnapshot = 10,
    cmdCompareSnapshot = 11,
};
const int MainDefaultWidth = 720;
const int MainDefaultHeight = 533;
const COLORREF PanelVanished = 0xBDBDE6;
const COLORREF PanelScanning = 0xE3E6E6;
const COLORREF PanelTracking = 0xCFE6CF;
const COLORREF PanelCaption = 0x906040;

class TPaneprobeForm : public TNvForm {
  public:
    explicit TPaneprobeForm(const std::vector<TTabClass>& tabClasses = PaneprobeTabClasses(),
                            const TTabClass* configTabClass = ConfigTabClass());
    ~TPaneprobeForm() override;

    std::unique_ptr<TPaneprobeTabManager> TabManager;
    TNvPageControl* PageControl = nullptr;
    TNvStatusBar* StatusBar = nullptr;
    TNvFinder* Finder = nullptr; // at the right of the status bar
    std::unique_ptr<TNvMainMenu> Menu;
    TNvMenuItem* CommandsMenu = nullptr;
    // The message log windows opened from "&Tools".
    std::unique_ptr<TMessageLogs> Logs;
    // The snapshot commands of "&Tools" and their differences windows.
    std::unique_ptr<TSnapshots> Snapshots;

    // The main window's settings, in declaration order.
    TConfigVarBool* StayOnTop = nullptr;
    TConfigVarInt* UpdateInterval = nullptr;
    TConfigVarBool* ScanAtMouse = nullptr;
    TConfigVarInt* PageIndex = nullptr;
    TConfigVarInt* TabInterval = nullptr;
    TConfigVarStr* FontMain = nullptr;
    TConfigVarInt* Width = nullptr;
    TConfigVarInt* Height = nullptr;
    TConfigVarInt* Left = nullptr;
    TConfigVarInt* Top = nullptr;
    TConfigVarBool* Maxed = nullptr;
    TConfigVarBool* FlashPicked = nullptr; // "gui"/"flash_picked_window": outline explicitly picked windows

    void OnConfigChange(TConfigVar& variable);
    void OnTrackedListChange(TWindowList& list);
    void UpdateStatusBar();
    void RefreshActiveTab();
    void RunMenuCommand(int id);
    // One tick of the fast timer: follow the mouse or re-read the tracked window, then the status bar.
    void FastTick();
    void KeyDown(WORD& key, unsigned shift) override;
    bool PreviewMessage(MSG& message) override;
    // Draws the owner-drawn status panels 0 and 1.
    void DrawStatusPanel(int panel, HDC dc, const RECT& rect);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool HandleShortcutKey(WORD key, unsigned shift);
    bool RedirectMouseWheel(const MSG& message);
    void DeclareSettings();
    void BuildControls();
    void LayoutControls();
    void ActivateTab(int index);
    void RestartTimer(UINT_PTR id, int interval);
    void ApplyBound(const TConfigVarInt& variable);
    void KeepOnMonitor();
    int DefaultExtent(int extent96, bool horizontal) const;
    int DefaultWidth() const { return DefaultExtent(MainDefaultWidth, true); }
    int DefaultHeight() const { return DefaultExtent(MainDefaultHeight, false); }
    void ApplyMaxed(bool maxed);
    void MeasureWorkspaceOffset();
    RECT RestoredBoundsOnScreen();
    void SetRestoredBoundsOnScreen(const RECT& bounds);
    void ApplyFont(const std::string& text);
    void TrackQuietly(HWND handle, bool stopScanning);
    COLORREF Panel0Colour() const;
    std::vector<std::string> PanelStates(const TWindowDetails& current) const;
    // What the status bar shows: the finder's window while a drag lasts, the tracked window otherwise.
    TWindowDetails* ShownRecord() const;
    void FinderHover(HWND window);
    void FinderDone(HWND picked, bool add);

    std::unique_ptr<TEasyConfigIni> Store;
    std::unique_ptr<TWindowList> List;
    std::unique_ptr<TNvImageList> Images;
    TFont MainFont;
    const TTabClass* ConfigTab;
    bool shown = false;
    // True while the form replaces the tracked window itself; the list's notifications wait for the end.
    bool replacingTracked = false;
    bool trackedChangePending = false;
    bool trackedAlive = false;
    bool parentAlive = false;
    std::vector<std::string>
        paintedState;               // what each panel last showed; an unchanged one is not painted again
    POINT workspaceOffset = {0, 0}; // screen minus placement coordinates, see MeasureWorkspaceOffset
    std::unique_ptr<TWindowDetails> finderRecord; // the window under the finder while it is dragged
    std::unique_ptr<TPickOutline> finderOutline;
};
