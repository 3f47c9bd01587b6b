// The Messages tab inside a real main window, sending to and posting at windows of the target program.
#include "FormFixture.h"
#include "Watchdog.h"
#include "app/WinApiEx.h"
#include "messages/TabMessages.h"
#include "messages/TypeCastForm.h"
#include "app/WindowCalls.h"
#include "tests/target/TargetAsk.h"
#include "tests/target/TargetHang.h"
#include "ui/WinHandles.h"

#include <cstring>
#include <set>

namespace {

class MessagesTab : public FormTest {
  protected:
    TTargetProcess target{"msgs"};
    TMessageTab* tab = nullptr;
    std::vector<std::string> opened; // web addresses the link asked for

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        tab = &Tab<TMessageTab>();
        tab->OpenUrl = [this](HWND, const std::string& url) { opened.push_back(url); };
        form->PageIndex->SetValue(tab->Sheet->PageIndex());
        TTypeCastForm::CloseAll();
    }
    void TearDown() override {
        TTypeCastForm::CloseAll();
        FormTest::TearDown();
    }
    void SetFilter(const std::string& pattern) { tab->FilterVar->SetValue(pattern); }
    // Picks the message by an exact filter, so that it is the first and selected entry.
    void PickMessage(const std::string& name) {
        SetFilter("^" + name + "$");
        ASSERT_GE(tab->SelectedRow(), 0) << name;
        ASSERT_EQ(tab->MessageTable.GetCell(tab->SelectedRow(), 0), name);
    }
    void Send(HWND window, const std::string& wParam, const std::string& lParam, int verb = 0) {
        TrackWindow(window, false, true);
        tab->WParamCombo->SetText(wParam);
        tab->LParamCombo->SetText(lParam);
        tab->SendOrPost(verb);
        EXPECT_TRUE(WaitForAnswer());
    }
    // Handles messages until a send to another thread's window has its answer, for at most the given time.
    bool WaitForAnswer(DWORD limitMs = 10000) {
        for (DWORD start = GetTickCount(); tab->SendWaiting() && GetTickCount() - start < limitMs;)
            PumpMessages(10);
        return !tab->SendWaiting();
    }
    // The names of the table that the pattern finds, in table order: what the list must show.
    std::vector<std::string> ExpectedNames(const std::string& pattern) {
        TRegExSimple matcher(pattern, true);
        std::vector<std::string> names;
        for (int row = 0; row < tab->MessageTable.RowCount(); ++row)
            if (pattern.empty() || matcher.Match(tab->MessageTable.GetCell(row, 0)) > 0)
                names.push_back(tab->MessageTable.GetCell(row, 0));
        return names;
    }
    std::vector<std::string> ListedNames() {
        std::vector<std::string> names;
        for (int i = 0; i < tab->MessageCombo->ItemCount(); ++i) {
            std::string text = tab->MessageCombo->ItemText(i);
            names.push_back(text.substr(0, text.find(' ')));
        }
        return names;
    }
};

TEST_F(MessagesTab, StartsOnTheFullTableWithZeroParameters) {
    EXPECT_EQ(tab->Caption, "Messages");
    ASSERT_GT(tab->MessageTable.RowCount(), 100);
    EXPECT_EQ(tab->MessageCombo->ItemCount(), tab->MessageTable.RowCount());
    EXPECT_EQ(tab->RowLabel(1)->Text(), FormatText("Window Message (%d)", tab->MessageTable.RowCount()));
    EXPECT_EQ(tab->MessageCombo->ItemIndex(), 0);
    EXPECT_EQ(tab->WParamCombo->Text(), "0");
    EXPECT_EQ(tab->LParamCombo->Text(), "0");
    EXPECT_EQ(
        tab->MessageCombo->ItemText(0),
        MessageListEntry(tab->MessageTable.GetCell(0, 0), IntFromText(tab->MessageTable.GetCell(0, 1), 0)));
    // Paneprobe tracks itself at start, so a first send goes to its own window.
    ASSERT_NE(TrackedList->Current(), nullptr);
    EXPECT_EQ(TrackedList->Current()->Handle, form->Handle());
}

TEST_F(MessagesTab, GetTextBringsTheTargetsTextIntoTheBufferAndItsViewer) {
    PickMessage("WM_GETTEXT");
    Send(target.MainWindow(), "256", "*256");
    ASSERT_NE(tab->LastMessage, nullptr);
    const char* buffer = static_cast<const char*>(tab->LastMessage->GetBuffer(1));
    ASSERT_NE(buffer, nullptr);
    EXPECT_STREQ(buffer, "Paneprobe Target msgs");
    EXPECT_EQ(tab->RowLabel(3)->Text(), "&lParam (256 bytes)");
    EXPECT_EQ(tab->RowLabel(2)->Text(), "&wParam (0 bytes)");
    EXPECT_EQ(tab->ResultEdit->Text(),
              FormatText("SendMessage(0x%x,13,256,%lld) = 21", HandleValue(target.MainWindow()),
                         static_cast<long long>(reinterpret_cast<intptr_t>(buffer))));
    EXPECT_EQ(tab->RowLabel(4)->Text(), "Result (" + tab->MessageTable.GetCell(tab->SelectedRow(), 2) + ")");
    ASSERT_EQ(TTypeCastForm::OpenCount(), 1);
    // The viewer keeps its own copy: the next send releases the buffer, the viewer still shows the text.
    Send(target.MainWindow(), "0", "0");
    EXPECT_EQ(TTypeCastForm::OpenCount(), 1);
}

TEST_F(MessagesTab, ViewerShowsTheBufferTextAfterTheCall) {
    PickMessage("WM_GETTEXT");
    Send(target.Child(TTargetProcess::KeeperId), "256", "*256");
    ASSERT_EQ(TTypeCastForm::OpenCount(), 1);
    HWND viewer = FindWindowA("TTypeCastForm", nullptr);
    ASSERT_NE(viewer, nullptr);
    auto* form = static_cast<TTypeCastForm*>(TNvWindow::FromHandle(viewer));
    ASSERT_NE(form, nullptr);
    UpdateWindow(viewer);
    EXPECT_EQ(form->ViewText(), "Text kept by the control");
    char caption[64] = {};
    GetWindowTextA(viewer, caption, sizeof caption);
    EXPECT_EQ(std::string(caption).rfind("string(0x", 0), 0u) << caption;
}

TEST_F(MessagesTab, SetTextWithATextBufferChangesTheCaption) {
    PickMessage("WM_SETTEXT");
    Send(target.MainWindow(), "0", "@\"abc\"");
    char caption[64] = {};
    GetWindowTextA(target.MainWindow(), caption, sizeof caption);
    EXPECT_STREQ(caption, "abc");
    EXPECT_EQ(tab->RowLabel(3)->Text(), "&lParam (4 bytes)");
    EXPECT_EQ(tab->LastMessage->Result, 1);
}

TEST_F(MessagesTab, BufferDescriptionsGiveTheirBuffersAndLabels) {
    PickMessage("WM_NULL");
    const struct {
        const char* WParam;
        const char* LParam;
        size_t WSize, LSize;
        int Viewers;
    } cases[] = {
        {"@\"abc\"", "0", 4, 0, 1}, {"0", "@123", 0, 4, 1},   {"0", "@x", 0, 0, 0},
        {"0", "*0", 0, 0, 0},       {"*-8", "*16", 0, 16, 1}, {"*8", "@\"open", 8, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.WParam) + " " + c.LParam);
        TTypeCastForm::CloseAll();
        Send(target.MainWindow(), c.WParam, c.LParam);
        TWindowMessage& message = *tab->LastMessage;
        EXPECT_EQ(message.GetBufferSize(0), c.WSize);
        EXPECT_EQ(message.GetBufferSize(1), c.LSize);
        EXPECT_EQ(message.WParam, reinterpret_cast<WPARAM>(message.GetBuffer(0)));
        EXPECT_EQ(message.LParam, reinterpret_cast<LPARAM>(message.GetBuffer(1)));
        EXPECT_EQ(tab->RowLabel(2)->Text(), FormatText("&wParam (%d bytes)", static_cast<int>(c.WSize)));
        EXPECT_EQ(tab->RowLabel(3)->Text(), FormatText("&lParam (%d bytes)", static_cast<int>(c.LSize)));
        EXPECT_EQ(TTypeCastForm::OpenCount(), c.Viewers);
    }
    Send(target.MainWindow(), "0", "@123");
    ASSERT_NE(tab->LastMessage->GetBuffer(1), nullptr);
    EXPECT_EQ(*static_cast<const int32_t*>(tab->LastMessage->GetBuffer(1)), 123);
}

TEST_F(MessagesTab, ATypedNumberIsSentAsItIsWithAnEmptyDescription) {
    tab->MessageCombo->SetText("0x10");
    EXPECT_EQ(tab->SelectedRow(), -1);
    Send(target.Probe(), "0", "0");
    EXPECT_EQ(tab->LastMessage->Msg, 16u);
    // The probe refuses WM_CLOSE and counts it.
    EXPECT_EQ(target.ProbeCount("PaneprobeCloses"), 1u);
    EXPECT_EQ(tab->RowLabel(4)->Text(), "Result ()");
    EXPECT_EQ(tab->ResultEdit->Text(),
              FormatText("SendMessage(0x%x,16,0,0) = 0", HandleValue(target.Probe())));
}

TEST_F(MessagesTab, PostingShowsTheQueueingResult) {
    PickMessage("WM_NULL");
    Send(target.MainWindow(), "1", "-1", 1);
    EXPECT_EQ(tab->ResultEdit->Text(),
              FormatText("PostMessage(0x%x,0,1,-1) = 1", HandleValue(target.MainWindow())));
}

TEST_F(MessagesTab, NothingHappensWithoutALiveTrackedWindow) {
    HWND doomed =
        CreateWindowExA(0, "STATIC", "doomed", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    TrackWindow(doomed, false, true);
    DestroyWindow(doomed);
    tab->SendOrPost(0);
    EXPECT_EQ(tab->LastMessage, nullptr);
    EXPECT_EQ(tab->ResultEdit->Text(), "");
}

TEST_F(MessagesTab, FilterKeepsMatchingNamesAndMarksBadPatterns) {
    const int all = tab->MessageTable.RowCount();
    SetFilter("^wm_set");
    std::vector<std::string> names = ListedNames();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_EQ(name.rfind("WM_SET", 0), 0u) << name;
    EXPECT_EQ(tab->RowLabel(1)->Text(), FormatText("Window Message (%d)", static_cast<int>(names.size())));

    SetFilter("text$");
    names = ListedNames();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_EQ(name.substr(name.size() - 4), "TEXT") << name;
    EXPECT_EQ(tab->FilterCombo->Color(), CLR_DEFAULT);

    // However the list gets from one filter to the next, it shows exactly the matching names.
    for (const char* pattern :
         {"", "l", "lb_", "lb_get", "lb_", "", "wm_set", "wm_", "text$", "b", "", "^cb_"}) {
        SetFilter(pattern);
        EXPECT_EQ(ListedNames(), ExpectedNames(pattern)) << pattern;
    }
    SetFilter("text$");
    names = ListedNames();

    SetFilter("(");
    EXPECT_EQ(tab->FilterCombo->Color(), TMessageTab::BadPatternColor);
    EXPECT_EQ(ListedNames(), names);
    EXPECT_EQ(tab->FilterCombo->Text(), "(");
    // The edit part is painted pink.
    HDC dc = GetDC(tab->FilterCombo->EditHandle());
    SendMessageA(tab->FilterCombo->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(tab->FilterCombo->EditHandle()));
    EXPECT_EQ(GetBkColor(dc), TMessageTab::BadPatternColor);
    ReleaseDC(tab->FilterCombo->EditHandle(), dc);

    SetFilter("no message has this name");
    EXPECT_EQ(tab->MessageCombo->ItemCount(), 0);
    EXPECT_EQ(tab->RowLabel(1)->Text(), "Window Message (0)");
    EXPECT_EQ(tab->SelectedRow(), -1);

    // Escape in the filter box clears the filter and brings back the whole table.
    PressKey(tab->FilterCombo->EditHandle(), VK_ESCAPE, ssNone);
    EXPECT_EQ(tab->FilterVar->Value, "");
    EXPECT_EQ(tab->FilterCombo->Text(), "");
    EXPECT_EQ(tab->MessageCombo->ItemCount(), all);
}

TEST_F(MessagesTab, TypingInTheFilterBoxFiltersAndTheFilterIsKeptInTheSettings) {
    SetFocus(tab->FilterCombo->EditHandle());
    for (char c : std::string("gettext")) {
        PostMessageA(tab->FilterCombo->EditHandle(), WM_CHAR, static_cast<WPARAM>(c), 1);
        PumpMessages();
    }
    EXPECT_EQ(tab->FilterVar->Value, "gettext");
    std::set<std::string> names;
    for (const std::string& name : ListedNames())
        names.insert(name);
    EXPECT_EQ(names.count("WM_GETTEXT"), 1u);
    EXPECT_EQ(names.count("WM_SETTEXT"), 0u);
    form.reset();
    char stored[64] = {};
    GetPrivateProfileStringA("tabs.messages", "filter", "", stored, sizeof stored, SettingsPath().c_str());
    EXPECT_STREQ(stored, "gettext");
    // A new main window starts on the stored filter.
    form = std::make_unique<TPaneprobeForm>();
    form->ScanAtMouse->SetValue(false);
    TMessageTab& again = Tab<TMessageTab>();
    EXPECT_EQ(again.FilterCombo->Text(), "gettext");
    EXPECT_LT(again.MessageCombo->ItemCount(), again.MessageTable.RowCount());
}

TEST_F(MessagesTab, LinkAndItsAcceleratorSearchForTheSelectedMessage) {
    PickMessage("WM_PAINT");
    SetFocus(tab->WParamCombo->EditHandle());
    PressKey(tab->WParamCombo->EditHandle(), 'G', ssAlt);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://www.google.com/search?hl=en&q=WM_PAINT&btnI=I%27m+Feeling+Lucky");
    // The focus stayed where it was: the accelerator ran the search instead.
    EXPECT_EQ(GetFocus(), tab->WParamCombo->EditHandle());
    SendMessageA(tab->Panel->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(tab->SearchLink->Handle()), STN_CLICKED),
                 reinterpret_cast<LPARAM>(tab->SearchLink->Handle()));
    EXPECT_EQ(opened.size(), 2u);
    // With no entry selected there is nothing to search for.
    tab->MessageCombo->SetText("0x10");
    PressKey(tab->WParamCombo->EditHandle(), 'G', ssAlt);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(MessagesTab, LabelAcceleratorsFocusTheirBoxesAndButtonsClick) {
    PressKey(tab->ResultEdit->Handle(), 'L', ssAlt);
    EXPECT_EQ(GetFocus(), tab->LParamCombo->EditHandle());
    PressKey(tab->LParamCombo->EditHandle(), 'M', ssAlt);
    EXPECT_EQ(GetFocus(), tab->FilterCombo->EditHandle());
    PickMessage("WM_NULL");
    TrackWindow(target.MainWindow(), false, true);
    PressKey(tab->FilterCombo->EditHandle(), 'P', ssAlt);
    ASSERT_NE(tab->LastMessage, nullptr);
    EXPECT_EQ(tab->ResultEdit->Text().rfind("PostMessage(", 0), 0u);
    // Enter in a box sends.
    PressKey(tab->WParamCombo->EditHandle(), VK_RETURN, ssNone);
    EXPECT_TRUE(WaitForAnswer());
    EXPECT_EQ(tab->ResultEdit->Text().rfind("SendMessage(", 0), 0u);
}

TEST_F(MessagesTab, TypecastOpensAViewerOnTheResult) {
    tab->OpenTypecast();
    EXPECT_EQ(TTypeCastForm::OpenCount(), 0);
    PickMessage("WM_GETFONT");
    Send(form->Handle(), "0", "0");
    tab->OpenTypecast();
    ASSERT_EQ(TTypeCastForm::OpenCount(), 1);
    HWND viewer = FindWindowA("TTypeCastForm", nullptr);
    auto* view = static_cast<TTypeCastForm*>(TNvWindow::FromHandle(viewer));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Value, static_cast<uintptr_t>(tab->LastMessage->Result));
    // The main window's font is a font handle, which the viewer reads as one.
    ASSERT_NE(tab->LastMessage->Result, 0);
    EXPECT_EQ(view->Kind, tkFont);
}

TEST_F(MessagesTab, SendingToAHungWindowComesBackAndSaysSo) {
    TTargetProcess hung("hung", true);
    ASSERT_NE(hung.MainWindow(), nullptr);
    TWatchdog watchdog(30000, [processId = hung.ProcessId()] { EndProcessById(processId); });
    hung.Hang();
    Sleep(200);
    tab->SendTimeoutMs = 2000;
    PickMessage("WM_GETTEXT");
    Send(hung.MainWindow(), "256", "*256");
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_NE(tab->LastMessage, nullptr);
    EXPECT_FALSE(tab->LastMessage->Returned());
    EXPECT_NE(tab->ResultEdit->Text().find("did not return"), std::string::npos) << tab->ResultEdit->Text();
    // The buffer stays until the next send.
    EXPECT_NE(tab->LastMessage->GetBuffer(1), nullptr);
}

// The program's own windows are windows like any other to the tab. Sent to one of its Unicode common
// controls, a message whose ANSI conversion happens in the sender and reads the data the parameter points at,
// sent without that data, is answered with 0, and the program goes on.
TEST_F(MessagesTab, AConvertedMessageWithoutItsDataToAnOwnControlIsAnswered) {
    HWND statusBar = FindWindowExA(form->Handle(), nullptr, STATUSCLASSNAMEA, nullptr);
    ASSERT_NE(statusBar, nullptr);
    ASSERT_TRUE(IsWindowUnicode(statusBar));
    for (const char* name :
         {"WM_NCCREATE", "WM_CREATE", "WM_MDICREATE", "WM_GETTEXT", "WM_ASKCBFORMATNAME", "EM_GETLINE"})
        for (const char* lParam : {"0", "1"}) {
            PickMessage(name);
            Send(statusBar, "1", lParam);
            ASSERT_NE(tab->LastMessage, nullptr);
            EXPECT_TRUE(tab->LastMessage->Returned()) << name << " " << lParam;
            EXPECT_EQ(tab->LastMessage->Result, 0) << name << " " << lParam;
        }
    // With its data the message does reach the control.
    PickMessage("WM_GETTEXT");
    Send(statusBar, "256", "*256");
    EXPECT_EQ(tab->LastMessage->Result,
              static_cast<LRESULT>(std::strlen(static_cast<const char*>(tab->LastMessage->GetBuffer(1)))));
    EXPECT_TRUE(IsWindow(statusBar));
    form->FastTick();
}

} // namespace

namespace {

LOGFONTA FontOf(HWND window) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(MessagesTab, MainFontReachesTheLabelsWhileTheBoxesKeepTheirFixedFont) {
    form->FontMain->SetValue("Arial, 12");
    LOGFONTA main = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(tab->Panel->Handle(), WM_GETFONT, 0, 0)), sizeof main,
               &main);
    ASSERT_STREQ(main.lfFaceName, "Arial");
    EXPECT_STREQ(FontOf(tab->RowLabel(0)->Handle()).lfFaceName, "Arial");
    EXPECT_EQ(FontOf(tab->RowLabel(0)->Handle()).lfWeight, FW_BOLD);
    EXPECT_STREQ(FontOf(tab->FilterCombo->Handle()).lfFaceName, "Courier New");
    EXPECT_STREQ(FontOf(tab->ResultEdit->Handle()).lfFaceName, "Courier New");
    // The link's hover font is the new font underlined, and leaving restores the new font.
    HWND link = tab->SearchLink->Handle();
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_STREQ(FontOf(link).lfFaceName, "Arial");
    EXPECT_TRUE(FontOf(link).lfUnderline);
    SendMessageA(link, WM_MOUSELEAVE, 0, 0);
    EXPECT_STREQ(FontOf(link).lfFaceName, "Arial");
    EXPECT_FALSE(FontOf(link).lfUnderline);
    EXPECT_EQ(FontOf(link).lfHeight, main.lfHeight);
    // The link stays right-aligned above the message box.
    RECT box = {}, label = {};
    GetWindowRect(tab->MessageCombo->Handle(), &box);
    GetWindowRect(link, &label);
    EXPECT_EQ(label.right, box.right);
    EXPECT_EQ(label.bottom, box.top - 3);
}

} // namespace

namespace {

// The target's asking window and the answer the test gives it; the watchdog answers in its place, so that a
// send that waits on the user-interface thread fails the test instead of hanging it.
struct TAskingTarget {
    TTargetProcess Process{"asks ask"};
    TKernelHandle AnswerEvent{
        CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Answer", Process.ProcessId()).c_str())};
    TWatchdog Watchdog{20000, [event = AnswerEvent.Get()] { SetEvent(event); }};

    HWND Window() const { return FindWindowA(AskerClass, "Paneprobe Target asks asker"); }
    void Answer() const { SetEvent(AnswerEvent.Get()); }
};

TEST_F(MessagesTab, ASendThatWaitsForItsAnswerLeavesTheTabFreeAndShowsTheAnswerWhenItComes) {
    TAskingTarget asking;
    HWND asker = asking.Window();
    ASSERT_NE(asker, nullptr);
    PickMessage("WM_CLOSE");
    TrackWindow(asker, false, true);
    tab->SendOrPost(0);
    // Back before the window has answered, and saying so while it handles its messages.
    const std::string waiting = MessageWaitingLine(HandleValue(asker), WM_CLOSE, 0, 0);
    EXPECT_EQ(tab->ResultEdit->Text(), waiting);
    PumpMessages(300);
    ASSERT_TRUE(tab->SendWaiting());
    EXPECT_EQ(tab->ResultEdit->Text(), waiting);
    EXPECT_FALSE(IsWindowEnabled(tab->SendButton->Handle()));
    EXPECT_FALSE(IsWindowEnabled(tab->PostButton->Handle()));
    // Neither Enter nor another call starts a second one meanwhile.
    PressKey(tab->WParamCombo->EditHandle(), VK_RETURN, ssNone);
    tab->SendOrPost(1);
    EXPECT_EQ(tab->ResultEdit->Text(), waiting);
    EXPECT_TRUE(tab->SendWaiting());

    asking.Answer();
    EXPECT_TRUE(WaitForAnswer());
    EXPECT_FALSE(asking.Watchdog.Fired());
    EXPECT_EQ(tab->ResultEdit->Text(),
              MessageResultLine("Send", HandleValue(asker), WM_CLOSE, 0, 0, AskerAnswer));
    ASSERT_NE(tab->LastMessage, nullptr);
    EXPECT_EQ(tab->LastMessage->Result, AskerAnswer);
    EXPECT_TRUE(IsWindowEnabled(tab->SendButton->Handle()));
    EXPECT_TRUE(IsWindowEnabled(tab->PostButton->Handle()));
}

TEST_F(MessagesTab, ClosingTheProgramWhileASendWaitsNeitherHangsNorCrashes) {
    TAskingTarget asking;
    ASSERT_NE(asking.Window(), nullptr);
    const int workersBefore = WindowCallWorkers();
    PickMessage("WM_CLOSE");
    TrackWindow(asking.Window(), false, true);
    tab->WParamCombo->SetText("*64");
    tab->LParamCombo->SetText("@\"buffer kept by the waiting send\"");
    tab->SendOrPost(0);
    ASSERT_TRUE(tab->SendWaiting());
    form.reset();
    asking.Answer();
    // The worker comes back to a tab that is gone, and ends.
    SettleWindowCalls({asking.Window()});
    EXPECT_LE(WindowCallWorkers(), workersBefore);
    EXPECT_FALSE(asking.Watchdog.Fired());
    EXPECT_TRUE(IsWindow(asking.Window()));
}

template <DWORD Error> LRESULT WINAPI FailingSend(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR) {
    SetLastError(Error);
    return 0;
}

// The platform's reasons for a send without a result, each told apart: a window of a program with higher
// rights refuses the messages of this one, which no window here can show, so a stand-in gives that answer.
TEST_F(MessagesTab, ASendWithoutAResultSaysWhy) {
    const struct {
        TWindowMessage::TTimedSend TimedSend;
        TSendOutcome Outcome;
    } cases[] = {
        {FailingSend<ERROR_ACCESS_DENIED>, TSendOutcome::Refused},
        {FailingSend<ERROR_TIMEOUT>, TSendOutcome::TimedOut},
        {FailingSend<ERROR_SUCCESS>, TSendOutcome::NotResponding},
    };
    PickMessage("WM_NULL");
    for (const auto& c : cases) {
        tab->TimedSend = c.TimedSend;
        Send(target.MainWindow(), "7", "0");
        ASSERT_NE(tab->LastMessage, nullptr);
        EXPECT_EQ(tab->LastMessage->Outcome, c.Outcome);
        EXPECT_EQ(tab->ResultEdit->Text(), MessageUnansweredLine(HandleValue(target.MainWindow()), WM_NULL, 7,
                                                                 0, tab->SendTimeoutMs, c.Outcome));
    }
}

} // namespace
