// The "Processes" tab: every running process as a tree, refreshed every 1.5 seconds; track a process's
// window or end the process.
#pragma once

#include "app/BackgroundWork.h"
#include "app/Shared.h"
#include "processes/ProcessEnumerator.h"
#include "ui/NvActionListView.h"
#include "ui/WinHandles.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// An action list whose owner draws every row at a fixed height.
class TProcessListView : public TNvActionListView {
  public:
    explicit TProcessListView(TNvWindow& owner);

    int ItemHeight = 16;
    std::function<void(TProcessListView&, const DRAWITEMSTRUCT&)> OnDrawItem;
    // A paint begins: the rows that follow are drawn with what the list looks like now.
    std::function<void(TProcessListView&)> OnPaintBegin;
    // The text of a cell after the first: the list keeps none itself, so a changed value costs no message.
    std::function<std::string(int row, int column)> OnCellText;
    // The worker's word that a reload has been gathered, with its request number.
    std::function<void(WPARAM)> OnGathered;
    // The word to add or remove the next share of rows, with the fill's number.
    std::function<void(WPARAM)> OnFillShare;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ColumnResized(int column, int width) override;
    bool HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void ApplyItemHeight();
    template <class TDispInfo> void AnswerCellText(TDispInfo& request);
};

// What a worker gathers for one reload. The icons it took from files come with it: their owner is this
// record until the tab adds them to its image list.
struct TProcessGathering {
    TProcessGathering() = default;
    TProcessGathering(TProcessGathering&&) = default;
    TProcessGathering& operator=(TProcessGathering&&) = default;
    ~TProcessGathering();

    std::unique_ptr<TProcessEnumerator> Enumerator;
    std::vector<std::string> Paths;               // by record of the enumerator
    std::vector<std::string> Captions;            // by record: the caption of its window
    std::unordered_map<std::string, HICON> Icons; // by path; null where the file gave none
    int Extracted = 0;
};

class TProcessesTab : public TPaneprobeTab {
  public:
    explicit TProcessesTab(TNvTabSheet* sheet);
    ~TProcessesTab() override;

    static const int UpdateIntervalMs = 1500;
    static const int ColumnCount = 10;

    TProcessListView* ListView = nullptr;
    std::unique_ptr<TProcessEnumerator> Enumerator;

    int RefreshIntervalMs() const override { return UpdateIntervalMs; }
    // The timer's refresh waits for a reload still being gathered or filled in.
    void Refresh() override;
    // Gathers on a worker; the list shows the previous result until the new one arrives.
    void ReloadProcesses();
    // A small icon of an executable; a file on an unreachable share may take long, so it runs on the worker.
    using TIconSource = std::function<HICON(const std::string& path)>;
    TIconSource IconSource;
    TBackgroundWork<TProcessGathering> Gatherer;
    // Shows a worker's result, announced by the posted request number; a stale one is dropped.
    void ShowGathered(WPARAM request);
    // Rows still being added to or removed from the list, a share at a time, after a result was shown.
    bool Filling() const { return filling; }
    bool Gathering() const { return Gatherer.Running() || filling; }
    double FillShareSeconds = TFillShare::DefaultSeconds; // tests fill a row a share
    // Double-click and Enter: the selected process's window becomes the tracked window.
    void TrackSelected();
    // Delete: asks, then ends the selected process and reloads.
    void TerminateSelected();

    // What a row shows; kept apart from the enumerator's records, which every reload replaces.
    struct TRow {
        uint32_t ProcessId = 0;
        uintptr_t Window = 0;
        uint64_t CreationTime = 0;
        int Depth = 0;
        bool Root = true;
        int64_t Age = 0;
        int Icon = -1;
        std::string ExeFile;
        std::vector<std::string> Cells; // the nine columns after the first
        LPARAM Data = 0;                // the row's data: the process identifier
        bool operator==(const TRow& other) const;
    };
    const std::vector<TRow>& Rows() const { return rows; }
    // The selected row, or null.
    const TRow* SelectedRow() const;
    HIMAGELIST Icons() const { return hIcons; }
    int IconCount() const;
    // Icons taken from executables since the tab was created; a path keeps its icon across reloads.
    int IconsExtracted = 0;

  private:
    TRow MakeRow(TProcess& process, const std::string& path, const std::string& caption, double now);
    void ShowProcesses(TProcessGathering& gathered);
    int ProcessIcon(const std::string& path, TProcessGathering* gathered);
    int StockIcon();
    void DropUnusedIcons(const std::vector<TRow>& fresh);
    void ShowRows(std::vector<TRow> fresh);
    static LVITEMA ListItemOf(const TRow& row, int index);
    bool InsertRow(int index);
    void FillShare(WPARAM fill);
    void FinishFill();
    void RestoreTop(int top);
    void SelectQuietly(int index);
    void DrawRow(const DRAWITEMSTRUCT& draw);
    void DrawCell(HDC dc, RECT cell, const std::string& text, int column, const TRow& row, bool selected);

    // What every row of one paint shares; each question to the list is a message, costly under Wine.
    struct TPaintState {
        COLORREF Text = 0;
        COLORREF Background = 0;
        bool HasFocus = false;
        int IconWidth = 16;
        RECT Columns[ColumnCount] = {}; // header item rectangles: the cells' horizontal extents
        int Shift = 0;                  // from header to list positions
    };
    void BeginPaint();
    TPaintState paint;

    std::vector<TRow> rows;
    // While filling, the list has fewer or more rows than rows; those it has are already current.
    bool filling = false;
    WPARAM fillSerial = 0;
    std::optional<TRedrawOff> fillRedraw;
    int fillTop = 0;        // the top row to scroll back to once filled
    int pendingSelect = -1; // the row to select once it is in the list
    HIMAGELIST hIcons = nullptr;
    std::unordered_map<std::string, int> iconOfPath; // "" holds the stock application icon
};
