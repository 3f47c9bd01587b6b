// TMessageTab: the filtered message list, the parameter boxes, sending and posting, viewers and the search.
#include "messages/TabMessages.h"

#include "app/WinApiEx.h"
#include "app/WindowCalls.h"
#include "config/EasyConfig.h"
#include "messages/TypeCastForm.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <stdexcept>

namespace {

const UINT_PTR SheetSubclassId = 0x4E764D54; // "NvMT"
// Posted to the sheet by the worker of a send once the answer is there.
const UINT SendDoneMessage = WM_APP + 3;
const int Margin = 12;
const int RowStep = 30;
const int ButtonWidth = 104;
const int ButtonHeight = 24;
const int LinkGap = 3;
const COLORREF LinkColor = RGB(0, 0, 128);
const COLORREF LinkHotColor = RGB(0, 0, 255);
const char* const RowNames[] = {"Message Filtering RegEx", "Window Message", "wParam", "lParam", "Result"};
enum TRowIndex { rowFilter, rowMessage, rowWParam, rowLParam, rowResult };

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    std::string name(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return name.substr(0, name.find_last_of("\\/") + 1);
}

HFONT DerivedFont(HFONT base, bool bold, bool underline) {
    LOGFONTA font = {};
    if (!base || GetObjectA(base, sizeof font, &font) != sizeof font) {
        if (!GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return nullptr;
    }
    if (bold) font.lfWeight = FW_BOLD;
    if (underline) font.lfUnderline = TRUE;
    return CreateFontIndirectA(&font);
}

int64_t SignedValue(uintptr_t value) {
    return static_cast<int64_t>(static_cast<intptr_t>(value));
}

} // namespace

// A message sent to another thread's window, in the hands of the worker until Finished: then the tab may take
// it. The worker owns it, buffers and all, for as long as it waits, even when the tab is gone meanwhile.
struct TPendingSend {
    std::unique_ptr<TWindowMessage> Message;
    int Row = -1;
    std::atomic<bool> Finished{false};
};

const char* const TMessageTab::SendVerbs[2] = {"Send", "Post"};

TMessageTab::TMessageTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Messages");
    OpenUrl = [](HWND owner, const std::string& url) {
        ShellExecuteA(owner, nullptr, url.c_str(), "", "", SW_SHOWNORMAL);
    };
    BuildControls();
    FilterVar = &TConfigVarStr::Get(ConfigStore, "tabs.messages", "filter", "");
    LoadMessageTable(ExecutableFolder() + "WindowMessages.csv");
    WParamCombo->SetText("0");
    LParamCombo->SetText("0");
}

TMessageTab::~TMessageTab() {
    if (Sheet && Sheet->Handle()) RemoveWindowSubclass(Sheet->Handle(), SheetProc, SheetSubclassId);
    // The viewers belong to the program's run, which ends with the tabs.
    TTypeCastForm::CloseAll();
}

void TMessageTab::BuildControls() {
    Panel = &Sheet->MakeChild<TNvPanel>();
    Panel->OnPaint = [](TNvPanel& panel, HDC dc) {
        RECT client = panel.ClientRect();
        DrawEdge(dc, &client, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    };
    for (int row = 0; row <= rowResult; ++row) {
        TStaticLabel& label = Panel->MakeChild<TStaticLabel>(std::string("&") + RowNames[row]);
        TNvWindow* box = nullptr;
        if (row == rowResult) {
            ResultEdit = &Panel->MakeChild<TNvEdit>(ES_READONLY);
            box = ResultEdit;
        } else {
            TNvEditComboBox& combo = Panel->MakeChild<TNvEditComboBox>();
            combo.OnKeyDown = [this](TNvEditComboBox& sender, WORD& key, unsigned shift) {
                ComboKey(sender, key, shift);
            };
            box = &combo;
        }
        label.FocusControl = box->Handle();
        rows.push_back({&label, box});
    }
    FilterCombo = static_cast<TNvEditComboBox*>(rows[rowFilter].Box);
    MessageCombo = static_cast<TNvEditComboBox*>(rows[rowMessage].Box);
    WParamCombo = static_cast<TNvEditComboBox*>(rows[rowWParam].Box);
    LParamCombo = static_cast<TNvEditComboBox*>(rows[rowLParam].Box);
    FilterCombo->OnEditChange = [this](TNvEditComboBox& combo) {
        if (FilterVar) FilterVar->SetValue(combo.Text());
    };

    TNvButton* buttons[2] = {};
    for (int verb = 0; verb < 2; ++verb) {
        buttons[verb] = &Panel->MakeChild<TNvButton>(std::string("&") + SendVerbs[verb] + "Message");
        buttons[verb]->OnClick = [this, verb](TNvButton&) { SendOrPost(verb); };
    }
    SendButton = buttons[0];
    PostButton = buttons[1];
    // Enter in the boxes sends; the style shows it.
    SetWindowLongPtrA(SendButton->Handle(), GWL_STYLE,
                      GetWindowLongPtrA(SendButton->Handle(), GWL_STYLE) | BS_DEFPUSHBUTTON);
    TypecastButton = &Panel->MakeChild<TNvButton>("&Typecast");
    TypecastButton->OnClick = [this](TNvButton&) { OpenTypecast(); };

    SearchLink = &Panel->MakeChild<TLinkLabel>("&Google Message Name");
    SearchLink->Color = LinkColor;
    SearchLink->HotColor = LinkHotColor;
    SearchLink->OnClick = [this](THotTrackLabel&) { SearchSelected(); };

    ApplyFonts();
    SetWindowSubclass(Sheet->Handle(), SheetProc, SheetSubclassId, reinterpret_cast<DWORD_PTR>(this));
    Layout();
}

// Labels take the panel's font (bold, or blue and underlined while the link is hot); the boxes a
// fixed-pitch one, so that the list's padded names line up.
void TMessageTab::ApplyFonts() {
    HFONT panelFont = Panel->Font();
    if (!BoxFont) BoxFont.Reset(FontFromText("\"Courier New\" 10"));
    LabelFont.Reset(DerivedFont(panelFont, true, false));
    LinkHotFont.Reset(DerivedFont(panelFont, false, true));
    for (const TRow& row : rows) {
        if (LabelFont)
            SendMessageA(row.Label->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont.Get()), TRUE);
        if (BoxFont)
            SendMessageA(row.Box->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(BoxFont.Get()), TRUE);
    }
    SendMessageA(SearchLink->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(panelFont), TRUE);
    SearchLink->SetHotFont(LinkHotFont.Get());
}

LRESULT CALLBACK TMessageTab::SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR selfData) {
    if (message == WM_SIZE) reinterpret_cast<TMessageTab*>(selfData)->Layout();
    if (message == SendDoneMessage) {
        reinterpret_cast<TMessageTab*>(selfData)->ShowSendAnswer();
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, SheetProc, SheetSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Every position follows from the sheet's size, so a new size gives the anchored layout at once.
void TMessageTab::Layout() {
    if (!Panel || !Panel->Handle()) return;
    RECT sheet = Sheet->ClientRect();
    // The sizes above are at 96 DPI; the text extents and the box height are the font's already.
    const int inset = Sheet->Scaled(4), margin = Sheet->Scaled(Margin), rowStep = Sheet->Scaled(RowStep);
    const int buttonWidth = Sheet->Scaled(ButtonWidth), buttonHeight = Sheet->Scaled(ButtonHeight);
    Panel->SetBounds(inset, inset, sheet.right - 2 * inset, sheet.bottom - 2 * inset);
    RECT panel = Panel->ClientRect();
    int boxWidth = panel.right - 2 * margin;
    RECT closed = {};
    GetWindowRect(MessageCombo->Handle(), &closed);
    int boxHeight = closed.bottom - closed.top;
    int y = margin;
    for (const TRow& row : rows) {
        SIZE extent = row.Label->TextExtent();
        row.Label->SetBounds(margin, y, extent.cx, extent.cy);
        y += extent.cy + Sheet->Scaled(2);
        bool combo = row.Box != ResultEdit;
        // A combo box's height includes its drop-down list.
        row.Box->SetBounds(margin, y, boxWidth, combo ? Sheet->Scaled(300) : boxHeight);
        y += rowStep;
    }
    int buttonTop = panel.bottom - buttonHeight - margin;
    SendButton->SetBounds(margin, buttonTop, buttonWidth, buttonHeight);
    PostButton->SetBounds(margin + buttonWidth + margin, buttonTop, buttonWidth, buttonHeight);
    TypecastButton->SetBounds(panel.right - buttonWidth - margin, buttonTop, buttonWidth, buttonHeight);
    RECT box = {};
    GetWindowRect(MessageCombo->Handle(), &box);
    MapWindowPoints(nullptr, Panel->Handle(), reinterpret_cast<POINT*>(&box), 2);
    SIZE link = SearchLink->TextExtent();
    SearchLink->SetBounds(box.right - link.cx, box.top - link.cy - Sheet->Scaled(LinkGap), link.cx, link.cy);
}

void TMessageTab::LoadMessageTable(const std::string& fileName) {
    MessageTable.Clear();
    MessageTable.LoadFromFile(fileName);
    entries.clear();
    entries.reserve(static_cast<size_t>(MessageTable.RowCount()));
    // The list texts are made once: a keystroke in the filter box only matches names.
    for (int row = 0; row < MessageTable.RowCount(); ++row) {
        std::string name = MessageTable.GetCell(row, 0);
        uint32_t number = static_cast<uint32_t>(IntFromText(MessageTable.GetCell(row, 1), 0));
        entries.push_back({name, MessageListEntry(name, number)});
    }
    shownRows.clear();
    FillMessageList();
}

void TMessageTab::FillMessageList() {
    std::string filter = FilterCombo->Text();
    std::vector<int> matching;
    std::vector<std::string> texts;
    for (size_t row = 0; row < entries.size(); ++row) {
        if (!filter.empty() && Filter.Match(entries[row].Name) <= 0) continue;
        matching.push_back(static_cast<int>(row));
        texts.push_back(entries[row].Text);
    }
    // After a new table the list still holds the old entries: only a whole refill is right then.
    if (MessageCombo->ItemCount() != static_cast<int>(shownRows.size())) {
        MessageCombo->SetItems(texts);
        shownRows = std::move(matching);
    } else if (matching != shownRows) {
        UpdateList(matching, texts);
        shownRows = std::move(matching);
    }
    rows[rowMessage].Label->SetCaption(FormatText("Window Message (%d)", static_cast<int>(shownRows.size())));
    MessageCombo->SetItemIndex(shownRows.empty() ? -1 : 0);
}

// Each entry added or removed is a message to the list, which under Wine costs tens of microseconds: the
// list changes by the entries that differ when that is fewer than writing the whole new list.
void TMessageTab::UpdateList(const std::vector<int>& matching, const std::vector<std::string>& texts) {
    std::vector<int> common;
    std::set_intersection(shownRows.begin(), shownRows.end(), matching.begin(), matching.end(),
                          std::back_inserter(common));
    size_t changes = (shownRows.size() - common.size()) + (matching.size() - common.size());
    if (changes >= matching.size() + 1) {
        MessageCombo->SetItems(texts);
        return;
    }
    TRedrawOff redraw(MessageCombo->Handle(), TRedrawOff::RepaintErased);
    // Both lists follow the table's order, so removing from the end keeps the earlier positions valid.
    for (size_t i = shownRows.size(); i-- > 0;)
        if (!std::binary_search(matching.begin(), matching.end(), shownRows[i]))
            MessageCombo->DeleteItem(static_cast<int>(i));
    for (size_t i = 0; i < matching.size(); ++i)
        if (!std::binary_search(shownRows.begin(), shownRows.end(), matching[i]))
            MessageCombo->InsertItem(static_cast<int>(i), texts[i]);
}

int TMessageTab::SelectedRow() const {
    int index = MessageCombo->ItemIndex();
    if (index < 0 || index >= static_cast<int>(shownRows.size())) return -1;
    int row = shownRows[static_cast<size_t>(index)];
    // A text typed over the picked entry is the user's own.
    return MessageCombo->Text() == entries[static_cast<size_t>(row)].Text ? row : -1;
}

void TMessageTab::ConfigChanged(TConfigVar& variable) {
    if (&variable == FilterVar) {
        const std::string& pattern = FilterVar->Value;
        // Writing the same text back would put the caret at the start while the user types.
        if (FilterCombo->Text() != pattern) FilterCombo->SetText(pattern);
        try {
            Filter.SetPattern(pattern);
        } catch (const std::exception&) {
            FilterCombo->SetColor(BadPatternColor);
            return;
        }
        FilterCombo->SetColor(CLR_DEFAULT);
        FillMessageList();
    } else if (variable.Namespace == "gui" && variable.Name == "font_main") {
        ApplyFonts();
        Layout();
    }
}

void TMessageTab::ComboKey(TNvEditComboBox& combo, WORD& key, unsigned shift) {
    if (shift != ssNone || combo.DroppedDown()) return;
    if (key == VK_ESCAPE && &combo == FilterCombo) {
        if (FilterVar && !FilterVar->Value.empty()) FilterVar->SetValue("");
        key = 0;
    } else if (key == VK_RETURN) {
        key = 0;
        SendOrPost(0);
    }
}

void TMessageTab::SendOrPost(int verb) {
    // The result line and the buffers belong to the waiting send until its answer is shown.
    if (pendingSend) return;
    const TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
    if (!current || !IsWindow(current->Handle)) return;
    HWND target = current->Handle;
    int row = SelectedRow();
    UINT number =
        static_cast<UINT>(IntFromText(row < 0 ? MessageCombo->Text() : MessageTable.GetCell(row, 1), 0));
    if (LastMessage && LastMessage->MayStillBeRead()) abandoned.push_back(std::move(LastMessage));
    LastMessage.reset();
    auto message = std::make_unique<TWindowMessage>(target, number, WParamCombo->Text(), LParamCombo->Text());
    if (verb == 0 && !IsOwnThreadWindow(target)) {
        StartSend(std::move(message), row);
        return;
    }
    // This thread's windows get the message directly: it may read or fill the buffers only here.
    LastMessage = std::move(message);
    if (verb == 0)
        LastMessage->Send(SendTimeoutMs, TimedSend);
    else
        LastMessage->Post();
    // The message may have closed this very tab's window; then there is nothing left to show.
    if (!ResultEdit->Handle()) return;
    ShowCall(*LastMessage, verb, row, false);
}

void TMessageTab::StartSend(std::unique_ptr<TWindowMessage> message, int row) {
    auto job = std::make_shared<TPendingSend>();
    job->Message = std::move(message);
    job->Row = row;
    pendingSend = job;
    ShowCall(*job->Message, 0, row, true);
    EnableSending(false);
    HWND notify = Sheet->Handle();
    UINT timeoutMs = SendTimeoutMs;
    TWindowMessage::TTimedSend timedSend = TimedSend;
    // The worker touches nothing of the tab: it posts its word to the sheet, which may be gone by then.
    bool queued = CallWithoutWaiting(job->Message->Wnd, [job, notify, timeoutMs, timedSend] {
        job->Message->Send(timeoutMs, timedSend);
        job->Finished = true;
        PostMessageA(notify, SendDoneMessage, 0, 0);
    });
    if (!queued) {
        job->Message->Outcome = TSendOutcome::NotSent;
        job->Finished = true;
    }
    // A window that went meanwhile was answered at once, here.
    if (job->Finished) ShowSendAnswer();
}

// Also reached by a stray word: only a finished send is shown.
void TMessageTab::ShowSendAnswer() {
    if (!pendingSend || !pendingSend->Finished) return;
    std::shared_ptr<TPendingSend> job = std::move(pendingSend);
    pendingSend.reset();
    LastMessage = std::move(job->Message);
    EnableSending(true);
    ShowCall(*LastMessage, 0, job->Row, false);
}

void TMessageTab::ShowCall(const TWindowMessage& message, int verb, int row, bool waiting) {
    uint32_t handle = HandleValue(message.Wnd);
    int64_t wParam = SignedValue(message.WParam);
    int64_t lParam = SignedValue(static_cast<uintptr_t>(message.LParam));
    if (waiting)
        ResultEdit->SetText(MessageWaitingLine(handle, message.Msg, wParam, lParam));
    else if (message.Returned())
        ResultEdit->SetText(MessageResultLine(SendVerbs[verb], handle, message.Msg, wParam, lParam,
                                              SignedValue(static_cast<uintptr_t>(message.Result))));
    else
        ResultEdit->SetText(
            MessageUnansweredLine(handle, message.Msg, wParam, lParam, SendTimeoutMs, message.Outcome));
    rows[rowResult].Label->SetCaption("Result (" + (row < 0 ? std::string() : MessageTable.GetCell(row, 2)) +
                                      ")");
    rows[rowWParam].Label->SetCaption(
        FormatText("&wParam (%d bytes)", static_cast<int>(message.GetBufferSize(0))));
    rows[rowLParam].Label->SetCaption(
        FormatText("&lParam (%d bytes)", static_cast<int>(message.GetBufferSize(1))));
    Layout();
    if (waiting) return;
    for (int index = 0; index < 2; ++index) {
        if (void* buffer = message.GetBuffer(index))
            TTypeCastForm::Open(nullptr, reinterpret_cast<uintptr_t>(buffer), buffer,
                                message.GetBufferSize(index));
    }
}

void TMessageTab::EnableSending(bool enable) {
    HWND focus = GetFocus();
    for (TNvButton* button : {SendButton, PostButton}) {
        // A disabled button cannot keep the keyboard focus, which would then be nowhere.
        if (!enable && focus == button->Handle()) SetFocus(MessageCombo->EditHandle());
        EnableWindow(button->Handle(), enable);
    }
}

void TMessageTab::OpenTypecast() {
    if (LastMessage) TTypeCastForm::Open(nullptr, static_cast<uintptr_t>(LastMessage->Result));
}

void TMessageTab::SearchSelected() {
    int row = SelectedRow();
    if (row < 0 || !OpenUrl) return;
    OpenUrl(Sheet->Handle(), MessageSearchUrl(MessageTable.GetCell(row, 0)));
}
