// The control kit: thin C++ classes over the window system's common controls, one message dispatch for all.
#pragma once

#include "ui/WinHandles.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Modifier keys as an exact set.
enum TShiftState : unsigned {
    ssNone = 0,
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
};

enum class TNvAlignment : uint8_t { Left, Right, Centre };

// One row of a column table; Width is in pixels at 96 pixels per inch.
struct TNvListColumn {
    int32_t Width;
    TNvAlignment Alignment;
    const char* Caption;
};

// One row of a menu table. ShortCut: virtual key in the low byte, plus 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
struct TNvMenuEntry {
    uint16_t Id;
    uint16_t ShortCut;
    const char* Caption; // "-" makes a separator
    uint8_t Flags;       // MenuFlagRadio, MenuFlagDisabled
    int32_t ImageIndex;
};

const uint8_t MenuFlagRadio = 1;
const uint8_t MenuFlagDisabled = 2;
const uint16_t ShortCutShift = 0x2000;
const uint16_t ShortCutCtrl = 0x4000;
const uint16_t ShortCutAlt = 0x8000;

// The text a menu shows for a shortcut: "Ctrl+P", "Alt+Q", "F5", "Ctrl+Num *"; empty for 0.
std::string ShortCutText(uint16_t shortCut);
// A key with its modifiers (TShiftState bits) in the menu tables' shortcut form.
uint16_t ShortCutOf(WORD key, unsigned shift);

// Moves a window of the given size so that edges within `distance` of the work area's edges touch them.
void SnapToArea(int& left, int& top, int width, int height, const RECT& area, int distance);

class TNvPopupMenu;

// The base of every kit window: one static procedure forwards each message to the object's HandleMessage.
// Windows of the kit's own classes keep the object in GWLP_USERDATA; common controls are subclassed.
class TNvWindow {
  public:
    TNvWindow(const TNvWindow&) = delete;
    TNvWindow& operator=(const TNvWindow&) = delete;
    virtual ~TNvWindow();

    HWND Handle() const { return hWnd; }
    // The kit object of a window of this thread, or null.
    static TNvWindow* FromHandle(HWND window);

    // Creates a control owned by this window and placed on it; it lives as long as this object.
    template <class T, class... Args> T& MakeChild(Args&&... args) {
        auto child = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& result = *child;
        Children.push_back(std::move(child));
        return result;
    }

    void SetBounds(int left, int top, int width, int height);
    RECT ClientRect() const;
    std::string Text() const;
    void SetText(const std::string& text);
    HFONT Font() const;
    // Sets the font of this window and of every window inside it that uses this window's font (a control
    // that chose a font of its own keeps it); the caller keeps the font alive.
    void SetFontAll(HFONT font);
    void Invalidate();
    // An Alt+key press that no menu took, offered to each visible, enabled control of the form in turn;
    // true when this control acted on it.
    virtual bool DialogChar(WORD key);

    // Shown by controls that support it (a right click or the menu key). While this window or one inside it
    // has the focus, its shortcuts are tried before those of the form's main menu. Owned.
    std::unique_ptr<TNvPopupMenu> PopupMenu;
    // A key that this control's own key handling acts on: it reaches the control before the form's main menu
    // could take it as a shortcut.
    virtual bool HandlesKey(WORD key, unsigned shift) const;

  protected:
    TNvWindow() = default;
    // A window of a class of the kit's own, registered on first use with the shared procedure.
    void CreateOwnWindow(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent,
                         const RECT& bounds);
    // A common control, subclassed so that its messages reach HandleMessage as well.
    void CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification that this control sent to its parent, handed back to the control's own object.
    virtual bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    static LRESULT Dispatch(TNvWindow* self, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Detach();

    HWND hWnd = nullptr;
    bool subclassed = false;
    bool created = false; // an own-class window has had its WM_CREATE
    HFONT hFont = nullptr; // own-class windows answer WM_GETFONT themselves
    std::vector<std::unique_ptr<TNvWindow>> Children;
};

class TNvMainMenu;

// A top-level form: snapping to the work area, stay-on-top, icon-title font, centring, key preview.
class TNvForm : public TNvWindow {
  public:
    explicit TNvForm(const char* className = "TNvForm");
    ~TNvForm() override;

    int SnapDistance = 16;
    bool StayOnTop = false;
    bool KeyPreview = true;

    void SetStayOnTop(bool on);
    void CenterOnScreen();
    void SetCaption(const std::string& text) { SetText(text); }
    // The form whose destruction ends the message loop.
    void SetMainForm(bool on) { mainForm = on; }
    void SetMainMenu(TNvMainMenu* menu) { mainMenu = menu; }
    TNvMainMenu* MainMenu() const { return mainMenu; }

    // Key preview: seen before the focused control. Setting key to 0 consumes the key.
    virtual void KeyDown(WORD& key, unsigned shift);
    // Sees each message of the thread that PreTranslate is given; true consumes it.
    virtual bool PreviewMessage(MSG& message);
    static unsigned ShiftStateNow();
    // The one step between taking a message from the queue and dispatching it, called by the message loop:
    // every live form previews it (keys, shortcuts, the wheel). True: the message is consumed and must be
    // neither translated nor dispatched.
    static bool PreTranslate(MSG& message);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    TFont IconTitleFont;

  private:
    bool PreviewKey(MSG& message);
    bool ControlShortCut(HWND focus, WORD key, unsigned shift, bool& ownKey);
    bool OfferDialogChar(WORD key);
    void SnapToWorkArea();

    bool mainForm = false;
    TNvMainMenu* mainMenu = nullptr;
};

// A report-style list view with a sort state, a header sort mark, column tables and a column-resized hook.
class TNvListView : public TNvWindow {
  public:
    explicit TNvListView(TNvWindow& owner, DWORD extraStyle = 0);

    int SortColumn = 0;
    bool SortDescending = false;
    // (sender, column or -1, width)
    std::function<void(TNvListView&, int, int)> OnColumnResize;
    std::function<void(TNvListView&, int)> OnColumnClick;
    // Compares the rows at two indexes; reads SortColumn and SortDescending itself.
    std::function<int(TNvListView&, int, int)> OnCompare;
    // Info tips: SetInfoTipHandler([](TNvListView&, int row, int column) { return "tip"; }); "" shows none.
    using TInfoTipHandler = std::function<std::string(TNvListView&, int, int)>;
    void SetInfoTipHandler(TInfoTipHandler handler);
    // What the list asks for when the pointer rests on a cell; "" without a handler or tip.
    std::string InfoTip(int row, int column);

    bool ColumnClick() const;
    void SetColumnClick(bool on);
    void AddColumns(const TNvListColumn* table, int lastIndex, int pixelsPerInch);
    void SetSortColumn(int index);
    int ColumnCount() const;
    HWND Header() const { return ListView_GetHeader(Handle()); }
    // Header format bits (HDF_SORTUP, HDF_SORTDOWN) of a column; 0 when it does not exist.
    int HeaderFormat(int column) const;
    void Sort();
    // What a click on a column header does: the sort state, the mark, the handler, the sort.
    virtual void ClickColumn(int column);
    std::string ColumnCaption(int column) const;
    // The full text of a cell, however long.
    std::string ItemText(int row, int column) const;
    // Ctrl+C: the column captions, then every selected row, tab-separated, to the clipboard.
    std::string SelectedRowsText() const;
    bool CopySelectedRows() const;
    // Ctrl+C is the list's own key.
    bool HandlesKey(WORD key, unsigned shift) const override;

  protected:
    virtual void ColumnResized(int column, int width);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void SetSortMark(int column, bool on);

  private:
    static int CALLBACK CompareRows(LPARAM index1, LPARAM index2, LPARAM self);
    void HeaderNotify(const NMHEADERA& header);
    template <class TInfoTip> void AnswerInfoTip(TInfoTip& request);
    TInfoTipHandler onInfoTip;
};

// An owner-drawn list view asks for its row height only when its size changes: this makes it ask now.
void AskForItemHeight(HWND list);

// A list view whose owner draws every row, with a fixed row height.
class TNvOwnerDrawListView : public TNvListView {
  public:
    explicit TNvOwnerDrawListView(TNvWindow& owner, DWORD extraStyle = 0);

    int ItemHeight = 16; // -1 keeps the system's height
    // Makes the list take a changed ItemHeight.
    void ApplyItemHeight();
    std::function<void(TNvOwnerDrawListView&, const DRAWITEMSTRUCT&)> OnDrawItem;

    void ClickColumn(int column) override;

  protected:
    void ColumnResized(int column, int width) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A read-only tree view whose selection stays visible and which selects on right-click.
class TNvTreeView : public TNvWindow {
  public:
    explicit TNvTreeView(TNvWindow& owner);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A status bar with panels from a width table; the SpringPanel takes the width left over.
class TNvStatusBar : public TNvWindow {
  public:
    explicit TNvStatusBar(TNvWindow& owner);
    static const int Height = 19;

    int SpringPanel = 0;
    int Total = 0;
    // (sender, panel, device context, panel rectangle) for owner-drawn panels
    std::function<void(TNvStatusBar&, int, HDC, const RECT&)> OnDrawPanel;

    int AddPanels(const int* widths, int lastIndex);
    int PanelCount() const { return static_cast<int>(Panels.size()); }
    int PanelWidth(int index) const;
    const std::string& PanelText(int index) const;
    void SetPanelText(int index, const std::string& text);
    // Draws the bar now, without waiting for a paint message.
    void RepaintNow();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    struct TPanel {
        int Width;
        bool OwnerDraw;
        bool Centred;
        std::string Text;
    };
    void ApplyParts();
    void PaintInto(HDC dc);
    void PaintBuffered(HDC screen);
    std::vector<TPanel> Panels;
    TBackBuffer backBuffer;
    bool settingText = false;
};

class TNvEdit : public TNvWindow {
  public:
    explicit TNvEdit(TNvWindow& owner, DWORD extraStyle = 0);
};

class TNvButton : public TNvWindow {
  public:
    explicit TNvButton(TNvWindow& owner, const std::string& caption = "");
    std::function<void(TNvButton&)> OnClick;
    // The caption's accelerator clicks the button.
    bool DialogChar(WORD key) override;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A drop-down list: the user picks, cannot type.
class TNvComboBox : public TNvWindow {
  public:
    explicit TNvComboBox(TNvWindow& owner);
    std::function<void(TNvComboBox&)> OnChange;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A plain panel in its parent's colour; OnPaint draws after the panel has painted itself.
class TNvPanel : public TNvWindow {
  public:
    explicit TNvPanel(TNvWindow& owner, const char* className = "TNvPanel");
    std::function<void(TNvPanel&, HDC)> OnPaint;
    std::function<void(TNvPanel&)> OnResize; // after the panel has taken its new size

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TNvPageControl;

// One page of a page control; tabs build their controls on it.
class TNvTabSheet : public TNvPanel {
  public:
    TNvTabSheet(TNvWindow& owner, TNvPageControl& pageControl);
    TNvPageControl& PageControl;
    int PageIndex() const;
    void SetCaption(const std::string& caption);
};

// A tab control with pages that remembers the page that was active before the last change.
class TNvPageControl : public TNvWindow {
  public:
    explicit TNvPageControl(TNvWindow& owner);

    int PreviousPageIndex = 0;
    std::function<void(TNvPageControl&)> OnChange; // the user picked another page

    TNvTabSheet& AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(Pages.size()); }
    TNvTabSheet* Page(int index) const;
    int IndexOf(const TNvTabSheet& page) const;
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    void SetPageCaption(int index, const std::string& caption);
    // The tab scroller, shown when the tabs do not all fit; null otherwise.
    HWND Scroller() const;
    void ScrollTabs(int positions);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void LayoutPages();
    void ShowActivePage();
    void PaintBuffered();
    std::vector<TNvTabSheet*> Pages; // owned as children of this control
    TBackBuffer backBuffer;
    bool addingPage = false;
};

// An image list filled from consecutive bitmap resources.
class TNvImageList {
  public:
    TNvImageList(int width, int height);
    ~TNvImageList();
    TNvImageList(const TNvImageList&) = delete;
    TNvImageList& operator=(const TNvImageList&) = delete;

    HIMAGELIST Handle() const { return hList; }
    int Count() const { return ImageList_GetImageCount(hList); }
    // Loads bitmaps first, first + 1, ... until one is missing; returns how many were added.
    int LoadBitmaps(int firstId);

  private:
    HIMAGELIST hList;
    int Width;
    int Height;
};

class TNvMenuItem;
using TNvMenuClick = std::function<void(TNvMenuItem&)>;

// One menu item: made from a table entry (Entry set) or from a plain tag (a command index, -1 a separator).
class TNvMenuItem {
  public:
    const TNvMenuEntry* Entry = nullptr;
    int Tag = 0;
    std::string Caption;
    uint16_t ShortCut = 0;
    UINT CommandId = 0;
    HMENU ParentMenu = nullptr; // the menu that holds this item
    HMENU SubMenu = nullptr;    // for a top-level item of a main menu
    TNvMenuClick OnClick;       // for a top-level item: runs when its menu opens
    std::vector<std::unique_ptr<TNvMenuItem>> Items;

    bool IsSeparator() const { return Caption == "-"; }
    bool Checked() const;
    void SetChecked(bool on);
    void SetEnabled(bool on);
};

// What both menu classes share: items, command ids, shortcuts, lookup by entry id.
class TNvMenu {
  public:
    TNvMenu(const TNvMenu&) = delete;
    TNvMenu& operator=(const TNvMenu&) = delete;
    virtual ~TNvMenu();

    HMENU Handle() const { return hMenu; }
    int Count() const { return static_cast<int>(Items.size()); }
    TNvMenuItem* Item(int index) const;
    // The first item whose entry has this id, searching each top-level item and then its sub-items.
    TNvMenuItem* FindMenuItem(uint16_t id) const;
    TNvMenuItem* FindCommand(UINT commandId) const;
    // Adds an item under parent (or at the top level when parent is null).
    TNvMenuItem& AddItem(TNvMenuItem* parent, const std::string& caption, uint16_t shortCut, int tag,
                         TNvMenuClick onClick, const TNvMenuEntry* entry = nullptr);
    void AddEntries(TNvMenuItem* parent, const TNvMenuEntry* table, int lastIndex,
                    const TNvMenuClick& onClick);
    // Runs the click handler of the item with this command id; false when it is not one of this menu's.
    bool RunCommand(UINT commandId);
    // Runs the enabled item with this shortcut; false when there is none.
    bool RunShortCut(uint16_t shortCut);
    // Runs the open handler of the top-level item whose menu is opening.
    bool MenuOpening(HMENU menu);
    // The menu's shortcuts as an accelerator table, rebuilt after items change.
    HACCEL Accelerators();

  protected:
    explicit TNvMenu(HMENU menu) : hMenu(menu) {}
    HMENU hMenu;
    std::vector<std::unique_ptr<TNvMenuItem>> Items;

  private:
    struct TAccelDeleter {
        void operator()(HACCEL accel) const { DestroyAcceleratorTable(accel); }
    };
    std::unique_ptr<std::remove_pointer_t<HACCEL>, TAccelDeleter> accelerators;
    bool acceleratorsStale = true;
    UINT nextCommandId = 0x100;
};

class TNvMainMenu : public TNvMenu {
  public:
    explicit TNvMainMenu(TNvForm& owner);
    ~TNvMainMenu() override;
    // A top-level menu with one sub-item per entry 0..lastIndex (none for -1).
    TNvMenuItem& AddMenu(const std::string& caption, const TNvMenuEntry* table, int lastIndex,
                         const TNvMenuClick& onClick);

  private:
    TNvForm& Owner;
};

class TNvPopupMenu : public TNvMenu {
  public:
    TNvPopupMenu(TNvWindow& owner, const TNvMenuClick& onClick, const TNvMenuEntry* table, int lastIndex);
    // Shows the menu at a screen point and runs the chosen item's handler.
    void Popup(int x, int y);

  private:
    TNvWindow& Owner;
};
