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
struct TPendingSend;

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
    // The timed send for other threads' windows (the tests stand in for answers no window here gives), and
    // how long it may wait: the tab's five seconds as always, now spent on a worker while the tab stays free.
    TWindowMessage::TTimedSend TimedSend = SendMessageTimeoutA;
    static const UINT AnswerTimeoutMs = 5000;
    UINT SendTimeoutMs = AnswerTimeoutMs;

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
    // Whether a message sent to another thread's window still waits for the answer; until it comes, the
    // tab sends and posts nothing more.
    bool SendWaiting() const { return pendingSend != nullptr; }
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
    void StartSend(std::unique_ptr<TWindowMessage> message, int row);
    void ShowSendAnswer();
    // The result line and the labels for a message of the given verb and table row; the viewers too once
    // the message is no longer waiting.
    void ShowCall(const TWindowMessage& message, int verb, int row, bool waiting);
    void EnableSending(bool enable);

    std::vector<TRow> rows;
    std::vector<TTableEntry> entries; // one per table row
    std::vector<int> shownRows;       // the table row of each list entry
    // Messages whose receiver in this process may still use their buffers after a send that did not return.
    std::vector<std::unique_ptr<TWindowMessage>> abandoned;
    // Shared with the worker that waits for the answer, which may outlive the tab.
    std::shared_ptr<TPendingSend> pendingSend;
    TFont BoxFont;
    TFont LabelFont;
    TFont LinkHotFont;
};
