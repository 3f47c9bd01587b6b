// The "Tracked" tab: every tracked window in a list; and the "&Commands" menu of window commands.
#pragma once

#include "app/Shared.h"
#include "ui/NvActionListView.h"

#include <string>
#include <vector>

class TWindowsTab : public TPaneprobeTab {
  public:
    explicit TWindowsTab(TNvTabSheet* sheet);

    TNvActionListView* ListView = nullptr;

    void TrackedListChanged() override { RebuildList(); }
    // The page's caption counts the tracked windows and shows on every page.
    void TrackedListChangedHidden() override { UpdateCaption(); }
    void RebuildList();

    // The tracked-list position of the selected row, or -1.
    int SelectedRecord() const;
    // Double-click and Enter: the selected row's window becomes the current one, outlined on the screen.
    void MakeSelectedCurrent();
    void DeleteSelected();
    // The popup commands: 1 copies the class name, 2 the caption (line breaks included).
    void CopySelected(int command);

  private:
    void UpdateCaption();
    // What one row of the list shows: its cells, the record's position in the tracked list, its icon.
    struct TShownRow {
        std::vector<std::string> Cells;
        int Position;
        int Image;
        bool operator==(const TShownRow& other) const {
            return Position == other.Position && Image == other.Image && Cells == other.Cells;
        }
    };
    std::vector<TShownRow> shownRows;
    void UpdateRow(int index, const TShownRow& row, const TShownRow& shown);
};

enum TWindowsPopupCommand : uint16_t { cmdCopyClassName = 1, cmdCopyCaption = 2 };

// Builds the "&Commands" menu: the twenty commands with separators, check marks refreshed on opening.
void FillWindowCommandsMenu(TNvMainMenu& menu, TNvMenuItem& commandsMenu);
// Sets the check marks from the current tracked window, if it is still a window; otherwise leaves them.
void UpdateCommandChecks(TNvMenuItem& commandsMenu);
