// The "Properties" tab: the three property groups of the tracked window in one sortable list.
#pragma once

#include "app/Shared.h"
#include "tabs/Properties.h"
#include "ui/NvActionListView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPropertiesTab : public TPaneprobeTab {
  public:
    explicit TPropertiesTab(TNvTabSheet* sheet);

    static const int UpdateIntervalMs = 100;
    static const int FirstImage = 6; // green, yellow, orange for the first three groups
    static const int ImageCount = 5; // the shared images from FirstImage on, taken in turn by the groups
    static int ImageOf(int group) { return FirstImage + group % ImageCount; }

    TNvActionListView* ListView = nullptr;
    std::vector<std::unique_ptr<TPropertyGroup>> Groups;

    int RefreshIntervalMs() const override { return UpdateIntervalMs; }
    void Refresh() override { RefreshValues(); }
    void RefreshValues();

    // A row's data: the group in the low 16 bits, the property in the high 16 bits.
    static LPARAM RowKey(int group, int property) { return group + property * 65536; }
    // The style names of the "Style" and "Extended Style" rows, whichever cell the pointer rests on.
    std::string InfoTip(int row) const;

    // A value that changed on the same tracked window stays marked for MarkPeriodMs, so that the user sees
    // what an action in the other program changed; Clock says when (the tests turn it by hand).
    static const DWORD DefaultMarkPeriodMs = 3000;
    DWORD MarkPeriodMs = DefaultMarkPeriodMs;
    std::function<DWORD()> Clock = [] { return GetTickCount(); };
    bool IsMarked(LPARAM key) const;

  private:
    void BuildRows();
    int CompareRows(LPARAM a, LPARAM b) const;
    bool ValidKey(LPARAM key) const;
    const std::string& CellOf(LPARAM key, int column) const;
    bool RowsChanged() const;
    void ShowValue(HWND list, int group, int property, const std::string& value);
    void ExpireMarks(DWORD now, bool all);
    void ClearMarks();
    // The descriptions the rows were built with, by group.
    std::vector<std::vector<std::string>> built;
    // What each Value cell shows, by group and property; only changed cells are written.
    std::vector<std::vector<std::string>> shown;
    // When each Value cell last changed on the window shown, 0 for not marked; by group and property.
    std::vector<std::vector<DWORD>> changedAt;
    int markCount = 0;
    HWND shownWindow = nullptr; // the window the Value cells were last read from
};
