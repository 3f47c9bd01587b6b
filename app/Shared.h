// What every tab shares: the tab framework, the tracked-window list, and the program-wide values.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TConfigVar;
class TEasyConfig;
class TNvImageList;
class TNvTabSheet;
class TWindowList;

// Program-wide values, published by the main window for as long as it exists (null before and after).
extern TEasyConfig* ConfigStore;
extern TWindowList* TrackedList;
extern TNvImageList* SharedImageList;
extern HWND MainWindowHandle;
extern std::string HexPrefix;

// The base of every tab: tied to one page of the main window, driven through five operations.
class TPaneprobeTab {
  public:
    explicit TPaneprobeTab(TNvTabSheet* sheet) : Sheet(sheet) {}
    TPaneprobeTab(const TPaneprobeTab&) = delete;
    TPaneprobeTab& operator=(const TPaneprobeTab&) = delete;
    virtual ~TPaneprobeTab() = default;

    TNvTabSheet* const Sheet; // not owned: the page belongs to the page control
    std::string Caption;

    static const int DefaultRefreshIntervalMs = 2500;
    // How often the visible tab is refreshed while it is this one.
    virtual int RefreshIntervalMs() const { return DefaultRefreshIntervalMs; }
    // This tab became the visible one: sets the tab-refresh interval to RefreshIntervalMs().
    virtual void Activate();
    // Called for the visible tab only, on every tick of the tab-refresh timer and right after Activate.
    virtual void Refresh() {}
    // The tracked list changed while this tab is the visible one, or it changed before this tab became
    // visible (heard once, on activation, however many changes it missed).
    virtual void TrackedListChanged() {}
    // The tracked list changed while another tab is visible: only what shows outside the page (its caption)
    // may be brought up to date here.
    virtual void TrackedListChangedHidden() {}
    virtual void ConfigChanged(TConfigVar&) {}

    void SetCaption(const std::string& text);
};

// A tab class: how to construct one on a page, and whether a tab is of this class or derived from it.
struct TTabClass {
    std::unique_ptr<TPaneprobeTab> (*Create)(TNvTabSheet* sheet);
    bool (*IsInstance)(const TPaneprobeTab* tab);
};

template <class T> TTabClass TabClassOf() {
    return {[](TNvTabSheet* sheet) -> std::unique_ptr<TPaneprobeTab> { return std::make_unique<T>(sheet); },
            [](const TPaneprobeTab* tab) { return dynamic_cast<const T*>(tab) != nullptr; }};
}

// Owns the tabs in page order and passes the main window's notifications to every one of them.
class TPaneprobeTabManager {
  public:
    TPaneprobeTabManager() = default;
    TPaneprobeTabManager(const TPaneprobeTabManager&) = delete;
    TPaneprobeTabManager& operator=(const TPaneprobeTabManager&) = delete;
    ~TPaneprobeTabManager() { Clear(); }

    TPaneprobeTab& AddTab(const TTabClass& tabClass, TNvTabSheet* sheet);
    int Count() const { return static_cast<int>(Tabs.size()); }
    // The caller passes a valid index.
    TPaneprobeTab* TabAt(int index) const { return Tabs[static_cast<size_t>(index)].get(); }
    TPaneprobeTab* FindTab(const TTabClass& tabClass) const;
    // Only the visible tab does the work of a tracked change; the others catch up when they are shown.
    // Until a visible tab is set every tab hears every change.
    void BroadcastTrackedListChanged();
    void BroadcastConfigChanged(TConfigVar& variable);
    // The tab at index is now the visible one (-1: none known); it hears a change it missed.
    void SetVisibleTab(int index);
    int VisibleTab() const { return visibleTab; }
    void Clear();

  private:
    std::vector<std::unique_ptr<TPaneprobeTab>> Tabs;
    std::vector<bool> missedChange; // by index, like Tabs
    int visibleTab = -1;
};

// A snapshot of one window, refreshed on demand.
class TWindowDetails {
  public:
    explicit TWindowDetails(HWND handle) : Handle(handle) {}
    TWindowDetails(const TWindowDetails&) = delete;
    TWindowDetails& operator=(const TWindowDetails&) = delete;
    virtual ~TWindowDetails() = default;

    static const int TextSize = 260;
    static const UINT CaptionTimeoutMs = 500;

    HWND Handle = nullptr;
    HWND Parent = nullptr;
    DWORD ThreadId = 0;
    DWORD ProcessId = 0;
    DWORD Style = 0;
    char ClassName[TextSize] = {};
    char Caption[TextSize] = {};

    virtual void Refresh();
    virtual void Clear();
    void SetHandle(HWND handle);

  protected:
    // Whether Refresh may ask the window itself for its caption, a question that can wait for its thread;
    // CaptionUnanswered hears that it did not answer in time.
    virtual bool MayAskForCaption() const { return true; }
    virtual void CaptionUnanswered() {}
};

// Whether two records of a window hold the same values, all that the lists show of it.
bool SameDetails(const TWindowDetails& a, const TWindowDetails& b);

// The owning list of window records with a current index and one change listener.
class TWindowList {
  public:
    TWindowList() { Clear(); }
    TWindowList(const TWindowList&) = delete;
    TWindowList& operator=(const TWindowList&) = delete;
    // Runs the listener a last time while emptying.
    ~TWindowList() { Clear(); }

    std::function<void(TWindowList&)> OnChange;

    int Count() const { return count; }
    int ItemIndex() const { return itemIndex; }
    // Length of the record array, which grows 2, 4, 8, ...
    int Capacity() const { return static_cast<int>(Items.size()); }
    TWindowDetails* Get(int index) const;
    TWindowDetails* Current() const { return Get(itemIndex); }
    void SetItemIndex(int index);
    int Add(std::unique_ptr<TWindowDetails> record);
    void Delete(int index);
    void Clear();

  private:
    void Changed();
    std::vector<std::unique_ptr<TWindowDetails>> Items;
    int count = 0;
    int itemIndex = 0;
};

// True for a window that did not answer its last text question in time, or answered it slowly: Refresh asks
// it again only once it has answered a question that costs no wait and about a second has passed, and
// meanwhile shows its last slow answer, or keeps the caption the record had.
bool AwaitsAnswer(HWND window);

// Switches following the mouse off ("system"/"scan_window_at_mouse").
void StopFollowingMouse();
// Makes a window the tracked window: optionally switches following the mouse off, empties the list unless
// appending, and adds a fresh record of the window.
void TrackWindow(HWND handle, bool append, bool stopScanning);
// The same with a record already read.
void TrackRecord(std::unique_ptr<TWindowDetails> record, bool append, bool stopScanning);
