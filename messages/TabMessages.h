// The "Messages" tab: send or post any message to the tracked window, with typed parameters and buffers.
#pragma once

#include "app/Shared.h"
#include "messages/CsvFile.h"
#include "messages/RegExSimple.h"
#include "messages/WindowMessage.h"
#include "ui/HotTrackLabel.h"
#include "ui/NvEditComboBox.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TConfigVarStr;

class TMessageTab : public TPaneprobeTab {
  public:
    explicit TMessageTab(TNvTabSheet* sheet);
    ~TMessageTab() override;

    TCsvFile MessageTable{',', '#'};
    TNvPanel* Panel = nullptr;
    TNvEditComboBox* FilterCombo = nullptr;
    TNvEditComboBox* MessageCombo = nullptr;
    TNvEditComboBox* WParamCombo = nullptr;
    TNvEditComboBox* LParamCombo = nullptr;
    TNvEdit* ResultEdit = nullptr;
    TNvButton* SendButton = nullptr;
    TNvButton* PostButton = nullptr;
    TNvButton* TypecastButton = nullptr;
    TLinkLabel* SearchLink = nullptr;
    TRegExSimple Filter{"", true};
    std::unique_ptr<TWindowMessage> LastMessage;
    TConfigVarStr* FilterVar = nullptr;
    // Opens a web address; the shell's default browser unless replaced (the tests replace it).
    std::function<void(HWND owner, const std::string& url)> OpenUrl;

    // The label written above each box, in row order: filter, message, wParam, lParam, result.
    TStaticLabel* RowLabel(int row) const { return rows[static_cast<size_t>(row)].Label; }
    static constexpr COLORREF BadPatternColor = RGB(255, 192, 203);
    static const char* const SendVerbs[2];

    void ConfigChanged(TConfigVar& variable) override;
    // Reads a message table (the one beside the executable at start) and fills the list.
    void LoadMessageTable(const std::string& fileName);
    void FillMessageList();
    // The table row of the list entry the message box shows, or -1 when the user typed a text of their own.
    int SelectedRow() const;
    // 0 sends, 1 posts.
    void SendOrPost(int verb);
    void OpenTypecast();
    void SearchSelected();

  private:
    struct TRow {
        TStaticLabel* Label;
        TNvWindow* Box;
    };
    struct TTableEntry {
        std::string Name;
        std::string Text;
    };
    void BuildControls();
    void Layout();
    void ApplyFonts();
    static LRESULT CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    void ComboKey(TNvEditComboBox& combo, WORD& key, unsigned shift);
    void UpdateList(const std::vector<int>& matching, const std::vector<std::string>& texts);

    std::vector<TRow> rows;
    std::vector<TTableEntry> entries; // one per table row
    std::vector<int> shownRows;       // the table row of each list entry
    // Messages whose receiver in this process may still use their buffers after a send that did not return.
    std::vector<std::unique_ptr<TWindowMessage>> abandoned;
    TFont BoxFont;
    TFont LabelFont;
    TFont LinkHotFont;
};
