// The "Config" tab: every setting with its value and type; edit, flip or reset one.
#pragma once

#include "app/Shared.h"
#include "ui/NvActionListView.h"

class TConfigTab : public TPaneprobeTab {
  public:
    explicit TConfigTab(TNvTabSheet* sheet);

    TNvActionListView* ListView = nullptr;

    // While another page is shown a change only marks the list as behind; it is filled again when shown.
    void ConfigChanged(TConfigVar& variable) override;
    void Activate() override;
    void Fill();
    // Double-click and Enter: flips a boolean, asks for any other value.
    void EditSelected();
    // Delete: the selected variable takes its default (and counts as modified).
    void ResetSelected();
    TConfigVar* SelectedVariable() const;

  private:
    int CompareRows(LPARAM data1, LPARAM data2);
    bool filling = false;
    bool behind = false; // a setting changed while another page was shown
};
