// The message log window: one target's messages in a virtual list, with pause, clear, filters, scope,
// copying, saving as CSV and a status line of the rows recorded, shown and dropped.
#pragma once

#include "msglog/LogChannel.h"
#include "msglog/LogRows.h"
#include "ui/NvClasses.h"

#include <memory>
#include <string>
#include <vector>

class TConfigVarInt;
class TConfigVarStr;

// The "log" settings that every log window reads when it opens and writes when the user changes them.
struct TLogSettings {
    TConfigVarStr* Include = nullptr;
    TConfigVarStr* Exclude = nullptr;
    TConfigVarInt* Scope = nullptr;
    TConfigVarStr* ColumnWidths = nullptr;
    TConfigVarInt* Left = nullptr;
    TConfigVarInt* Top = nullptr;
    TConfigVarInt* Width = nullptr;
    TConfigVarInt* Height = nullptr;
};

// A list view with LVS_OWNERDATA: it keeps no rows, it asks for each cell as it draws.
class TLogListView : public TNvListView {
  public:
    explicit TLogListView(TNvWindow& owner);
    std::function<std::string(int row, int column)> CellText;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// An edit that says when its text changes.
class TLogEdit : public TNvEdit {
  public:
    explicit TLogEdit(TNvWindow& owner) : TNvEdit(owner) {}
    std::function<void(TLogEdit&)> OnChange;

  protected:
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TMessageLogForm : public TNvForm {
  public:
    static const UINT_PTR DrainTimerId = 1;
    static const UINT DrainIntervalMs = 30;
    // Setting the list's count and scrolling it cost tens of milliseconds each under Wine, whatever the
    // row count: the timer shows new rows at most this often, and scrolls in a dispatch of its own.
    static const UINT ShowIntervalMs = 200;
    static const UINT FollowMessage = WM_APP + 1;
    static const char* const ScopeNames[3];

    // Opens the log on the target at once; the window shows and says so when the target cannot be logged.
    TMessageLogForm(TLogHookHost& host, const TLogSettings& settings, HWND target,
                    uint32_t capacity = TLogChannel::DefaultCapacity);
    ~TMessageLogForm() override;

    TLogMessageNames Names;
    TLogRows Rows{Names};
    std::unique_ptr<TLogChannel> Channel;
    TLogListView* List = nullptr;
    TNvButton* PauseButton = nullptr;
    TNvButton* ClearButton = nullptr;
    TNvButton* SaveButton = nullptr;
    TLogEdit* IncludeEdit = nullptr;
    TLogEdit* ExcludeEdit = nullptr;
    TNvComboBox* ScopeCombo = nullptr;
    TNvStatusBar* StatusBar = nullptr;
    // False stops taking records from the ring: the target then fills it and its writer drops.
    bool DrainOnTimer = true;
    // The most records one drain takes: a flood waits in the ring for the next tick instead of stalling
    // the window. A drain also stops after DrainBudgetMs.
    size_t DrainBudget = 65536;
    static const int DrainBudgetMs = 12;

    HWND TargetWindow() const { return target; }
    bool Paused() const { return paused; }
    void SetPaused(bool on);
    void Clear();
    // A bad pattern colours its box and keeps the filter that was in force.
    void SetInclude(const std::string& pattern);
    void SetExclude(const std::string& pattern);
    TLogScope Scope() const { return scope; }
    void SetScope(TLogScope newScope);
    // Takes what waits in the ring into the rows and shows them in the list at once.
    void Drain();
    // The shown rows as CSV, with the column captions first; false when the file cannot be written.
    bool SaveCsv(const std::string& fileName) const;
    // Asks for a file name and saves.
    void Save();
    bool CopySelectedRows() const { return List->CopySelectedRows(); }
    std::string CellText(size_t row, int column) const;
    // "Recorded 12, shown 10, dropped 0".
    std::string CountsText() const;
    // What the log says of its target: empty while all is well.
    const std::string& StateText() const { return state; }
    bool TargetEnded() const { return ended; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void BuildControls();
    void Layout();
    void ApplySettings();
    void SaveBounds();
    void SaveColumnWidths();
    // After new rows at the end only the rows that came into view are drawn; a clear or a refilter
    // changes every row.
    void ShowRows(bool followNewest, bool appended, bool scrollLater = false);
    // Scrolls to the newest row and draws the rows that came into view from `before` on.
    void FollowNewest(int before);
    void RedrawNewRows(int before);
    // Reads the ring within the drain's budget; the number of records taken.
    size_t TakeRecords();
    void DrainOnTick();
    void UpdateStatus();
    void SetState(const std::string& text);

    TLogSettings settings;
    HWND target;
    TLogScope scope = lsWindow;
    bool paused = false;
    bool ended = false;
    std::string state;
    DWORD lastShown = 0;
    bool rowsWaiting = false;        // taken into the rows but not yet counted in the list
    int followFrom = -1;             // a scroll posted for FollowMessage, from this row on; -1 when none
    std::vector<TLogRecord> drained; // kept between drains, so that a drain allocates only as rows grow
    TLogTextContext context;
    std::vector<TNvWindow*> labels;
};
