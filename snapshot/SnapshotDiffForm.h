// The differences window: what changed between a snapshot file and the window's state now, one row per
// added or removed window and per changed value; Ctrl+C copies them as text, a double-click tracks the
// window of a row while it still exists.
#pragma once

#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotGather.h"
#include "ui/NvActionListView.h"
#include "ui/NvClasses.h"

#include <functional>
#include <string>
#include <vector>

// Ctrl+C goes to OnCopy instead of the list's own copy of the selected cells.
class TDifferenceListView : public TNvActionListView {
  public:
    explicit TDifferenceListView(TNvWindow& owner) : TNvActionListView(owner) {}
    std::function<void()> OnCopy;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TSnapshotDiffForm : public TNvForm {
  public:
    // `now` is the state compared with the file; its handles let a row track its window.
    TSnapshotDiffForm(const std::string& fileName, TGatheredSnapshot now,
                      std::vector<TSnapshotDifference> found);
    ~TSnapshotDiffForm() override;

    TDifferenceListView* List = nullptr;
    const std::vector<TSnapshotDifference> Differences;

    // The selected differences as text, or all of them when none is selected.
    std::string CopiedText() const;
    bool CopyDifferences() const;
    // The window of a row as it is now; null for a removed window or one that has gone since.
    HWND WindowOfRow(int row) const;
    // Tracks the window of the row; false when there is none.
    bool TrackRow(int row);

  private:
    TGatheredSnapshot now;
};
