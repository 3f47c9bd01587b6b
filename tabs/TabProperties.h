// The "Properties" tab: the three property groups of the tracked window in one sortable list.
#pragma once

#include "app/Shared.h"
#include "tabs/Properties.h"
#include "ui/NvActionListView.h"

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

  private:
    void BuildRows();
    int CompareRows(LPARAM a, LPARAM b) const;
    const std::string& CellOf(LPARAM key, int column) const;
    bool RowsChanged() const;
    // The descriptions the rows were built with, by group.
    std::vector<std::vector<std::string>> built;
    // What each Value cell shows, by group and property; only changed cells are written.
    std::vector<std::vector<std::string>> shown;
};
