// The "Enum" tab: windows gathered by one of seven enumeration modes in a sortable list.
#pragma once

#include "app/BackgroundWork.h"
#include "app/Shared.h"
#include "tabs/EnumRows.h"
#include "tabs/HandleScan.h"
#include "tabs/TopPanelLayout.h"
#include "ui/NvActionListView.h"
#include "ui/WinHandles.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TConfigVarBool;
struct THandleScanJob;

// The editable drop-down of find texts; Enter in it runs OnEnter, as a dialog's default button would.
class TEnumFindBox : public TNvWindow {
  public:
    explicit TEnumFindBox(TNvWindow& owner);
    std::function<void(TEnumFindBox&)> OnEnter;
    HWND EditHandle() const;

  private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
};

enum TEnumMode : int {
    emTopLevel = 0,
    emDesktopChildren = 1,
    emCurrentChildren = 2,
    emParentChildren = 3,
    emThreadWindows = 4,
    emFind = 5,
    emAllHandles = 6,
};

enum TEnumPopupCommand : uint16_t {
    cmdEnumSelectAll = 1,
    cmdEnumVisibleOnly = 2,
    cmdEnumMonitor = 3,
    cmdEnumClearFilter = 4,
};

class TEnumTab : public TPaneprobeTab {
  public:
    explicit TEnumTab(TNvTabSheet* sheet);
    ~TEnumTab() override;

    TTopPanelLayout Panels;
    TNvButton* EnumButton = nullptr;
    TNvComboBox* ModeBox = nullptr;
    TEnumFindBox* FindBox = nullptr;
    TNvActionListView* ListView = nullptr;
    TConfigVarBool* VisibleOnly = nullptr;
    // The enumeration's own records; never the tracked list.
    TWindowList Windows;
    // The probes and the way of the last full handle scan.
    THandleScanResult LastScan;

    void ConfigChanged(TConfigVar& variable) override;

    int Mode() const;
    void SetMode(int mode); // selects the mode without enumerating
    std::string FindText() const;
    void SetFindText(const std::string& text);

    // Fills the list by the chosen mode; the full handle scan runs on a thread of its own and fills it when
    // it has finished.
    void Enumerate();
    // Whether a full handle scan is still running; its result replaces the list when it arrives.
    bool Scanning() const;
    // Whether any gathering (the first three modes or the full handle scan) is still running; the list
    // shows the previous result until the new one arrives.
    bool Gathering() const { return Scanning() || Gatherer.Running() || Filling(); }
    // Whether the list is still being filled, a share at a time between messages.
    bool Filling() const { return filling; }
    // The rows' sort values and order, by record index, for the sort column and direction they were made for.
    struct TRowOrder {
        std::vector<TEnumRowValues> Values;
        std::vector<size_t> Order;
        int Column = 0;
        bool Descending = false;
    };
    // The records that a worker gathered for the first three modes, already put in order there: on a large
    // desktop the order alone would keep the window from answering.
    struct TGathered {
        std::vector<std::unique_ptr<TWindowDetails>> Records;
        TRowOrder Rows;
    };
    TBackgroundWork<TGathered> Gatherer;
    // Shows a worker's result, announced by the posted request number; a stale one is dropped.
    void ShowGathered(WPARAM request);
    void AddWindow(HWND handle, bool applyFilters);
    // Refills the list in the given order, made again if the sort has changed since; posted shares fill it
    // when the first share must not run in this dispatch.
    void RebuildList(TRowOrder rows, bool postFirstShare = false);
    // The list's comparison of the rows at two positions.
    int CompareRows(int row1, int row2) const;
    void TrackRow();
    void RunPopupCommand(int id);

  private:
    static BOOL CALLBACK AddEnumerated(HWND window, LPARAM self);
    void FindWindows(const std::string& text);
    // Empties the list, lets gather add the windows, and shows them.
    void Refill(const std::function<void()>& gather);
    void GatherWindows(); // by the chosen mode, the modes from the parent's children on
    void StartGathering();
    // Adds rows in the sorted order until the share's time is spent, then asks for the next share.
    void FillShare(WPARAM fill);
    void StartHandleScan();
    void ShowHandleScan();
    void StopHandleScan();

    TRowOrder RowOrder() const;            // of the records now held, for the list's sort
    std::vector<TEnumRowValues> rowValues; // by record index, for sorting
    std::set<DWORD> hungThreads;           // threads that did not answer during this enumeration
    std::unique_ptr<THandleScanJob> scanJob;
    std::vector<size_t> fillOrder; // record indexes in the list's order
    size_t fillNext = 0;
    bool filling = false;
    unsigned fillSerial = 0; // a newer fill drops the shares of an older one
    std::optional<TRedrawOff> fillRedraw;
};

// Every value from 1 to the limit that names a window, in ascending order, probing as few as it can.
// A set cancel flag ends the scan early.
THandleScanResult ScanWindowHandles(uint32_t limit = HandleScanLimit,
                                    const std::atomic<bool>* cancel = nullptr);
// The full handle of the window that a (possibly partial) handle value names; 0 when none is found.
uint32_t FullWindowHandle(uint32_t value);
