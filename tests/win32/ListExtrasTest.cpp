// What every kit list adds: Ctrl+C copies the selected rows, and info tips come from the list's owner
// (the Tracked tab names the style bits of its "Style" cells).
#include "FormFixture.h"
#include "WorkerWait.h"
#include "app/WinApiEx.h"
#include "config/TabConfig.h"
#include "processes/TabProcesses.h"
#include "tabs/StyleNames.h"
#include "tabs/TabEnum.h"
#include "tabs/TabProperties.h"
#include "tabs/TabWindows.h"
#include "tabs/WndFuncs.h"

#include <memory>

namespace {

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void AddTracked(HWND handle) {
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackedList->Add(std::move(record));
}

int RowOfHandle(TNvActionListView& list, HWND handle) {
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.CellText(row, 1) == FormatText("0x%.8x", HandleValue(handle))) return row;
    return -1;
}

std::string RowLine(TNvActionListView& list, int row, int columns) {
    std::string line;
    for (int column = 0; column < columns; ++column)
        line += (column ? "\t" : "") + list.CellText(row, column);
    return line + "\r\n";
}

const TNvListColumn KitColumns[] = {
    {100, TNvAlignment::Left, "Name"},
    {60, TNvAlignment::Right, "Size"},
    {80, TNvAlignment::Centre, "Kind"},
};

TEST(ListCopy, CtrlCCopiesTheSelectedRowsUnderTheirCaptions) {
    TNvForm host;
    TNvActionListView& list = host.MakeChild<TNvActionListView>();
    list.AddColumns(KitColumns, 2, 96);
    const std::string longName(3000, 'x');
    list.AddRow({"alpha", "1", "file"}, 0, 0);
    list.AddRow({longName, "22", "folder\twith tab"}, 1, 0);
    list.AddRow({"gamma", "", "link"}, 2, 0);
    list.AddRow({"delta", "4", "file"}, 3, 0);
    ListView_SetItemState(list.Handle(), 1, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list.Handle(), 2, LVIS_SELECTED, LVIS_SELECTED);

    const struct {
        std::initializer_list<int> Keys;
        WORD Key;
        bool Copies;
    } presses[] = {
        {{}, 'C', false},
        {{VK_CONTROL, VK_SHIFT}, 'C', false},
        {{VK_MENU, VK_CONTROL}, 'C', false},
        {{VK_CONTROL}, 'X', false},
        {{VK_CONTROL}, 'C', true},
    };
    for (const auto& press : presses) {
        ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
        HoldKeys(press.Keys);
        SendMessageA(list.Handle(), WM_KEYDOWN, press.Key, 0);
        HoldKeys({});
        EXPECT_EQ(ClipboardText(), press.Copies ? "Name\tSize\tKind\r\n" + longName +
                                                      "\t22\tfolder with tab\r\ngamma\t\tlink\r\n"
                                                : "before")
            << press.Key << " with " << press.Keys.size() << " modifiers";
    }

    // Nothing selected: the clipboard keeps what it had.
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
    ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
    HoldKeys({VK_CONTROL});
    SendMessageA(list.Handle(), WM_KEYDOWN, 'C', 0);
    HoldKeys({});
    EXPECT_EQ(ClipboardText(), "before");
}

class ListExtras : public FormTest {
  protected:
    TTargetProcess target{"extras"};
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
    }
};

// Pressed as the user would: through the main window's key preview and shortcuts to the focused list.
TEST_F(ListExtras, CtrlCInTheTrackedListCopiesTheRowPastTheShortcuts) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(button);
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    int row = RowOfHandle(list, button);
    ASSERT_GE(row, 0);
    list.SelectRow(row);
    SetFocus(list.Handle());
    ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
    const int pageBefore = form->PageControl->ActivePageIndex();
    PressKey(list.Handle(), 'C', ssCtrl);
    EXPECT_EQ(ClipboardText(), "Class\tHandle\tCaption\tParent\tPID\tTID\tStyle\r\n" + RowLine(list, row, 7));
    EXPECT_EQ(list.CellText(row, 0), "Button");
    EXPECT_EQ(TrackedList->Count(), 2) << "nothing else happened";
    EXPECT_EQ(TrackedList->Current()->Handle, target.MainWindow());
    EXPECT_EQ(form->PageControl->ActivePageIndex(), pageBefore);

    // The shortcuts still reach the main window from the list.
    PressKey(list.Handle(), 'E', ssCtrl);
    SettleWindowCalls({target.MainWindow()}); // the command does not wait for the other program
    EXPECT_FALSE(IsWindowEnabled(target.MainWindow())) << "Ctrl+E: Enable";
    EnableWindow(target.MainWindow(), TRUE);
}

TEST_F(ListExtras, NoShortcutOfTheMainWindowTakesCtrlC) {
    HACCEL accelerators = form->Menu->Accelerators();
    ASSERT_NE(accelerators, nullptr);
    int count = CopyAcceleratorTableA(accelerators, nullptr, 0);
    ASSERT_GT(count, 10);
    std::vector<ACCEL> table(static_cast<size_t>(count));
    CopyAcceleratorTableA(accelerators, table.data(), count);
    for (const ACCEL& accel : table)
        EXPECT_FALSE((accel.fVirt & FCONTROL) && accel.key == 'C') << "command " << accel.cmd;
}

TEST_F(ListExtras, CtrlCInTheConfigListCopiesTheSettingRow) {
    TConfigTab& tab = Tab<TConfigTab>();
    form->PageIndex->SetValue(tab.Sheet->PageIndex());
    TNvActionListView& list = *tab.ListView;
    int row = -1;
    for (int r = 0; r < list.RowCount(); ++r)
        if (list.CellText(r, 0).rfind("gui.flash_picked_window ", 0) == 0) row = r;
    ASSERT_GE(row, 0) << "the outline setting is listed";
    list.SelectRow(row);
    HoldKeys({VK_CONTROL});
    SendMessageA(list.Handle(), WM_KEYDOWN, 'C', 0);
    HoldKeys({});
    EXPECT_EQ(ClipboardText(), "Variable Name\tValue\tType\r\ngui.flash_picked_window \t" +
                                   form->FlashPicked->AsText() + "\tboolean\r\n");
    EXPECT_TRUE(form->FlashPicked->Value) << "on by default";
}

// The request a list view sends its parent when the pointer rests on a row, answered by the kit.
template <class TRequest, class TChar>
std::basic_string<TChar> AskInfoTip(TNvListView& list, int row, int column, UINT code, const TChar* shown) {
    TChar buffer[1024] = {};
    for (size_t i = 0; shown[i] && i + 1 < std::size(buffer); ++i)
        buffer[i] = shown[i];
    TRequest request = {};
    request.hdr.hwndFrom = list.Handle();
    request.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
    request.hdr.code = code;
    request.pszText = buffer;
    request.cchTextMax = static_cast<int>(std::size(buffer));
    request.iItem = row;
    request.iSubItem = column;
    SendMessageA(GetParent(list.Handle()), WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
    return buffer;
}

TEST_F(ListExtras, TheStyleCellOfATargetButtonNamesItsBits) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(button);
    AddTracked(target.Probe());
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    ASSERT_TRUE(ListView_GetExtendedListViewStyle(list.Handle()) & LVS_EX_INFOTIP);
    const int buttonRow = RowOfHandle(list, button), probeRow = RowOfHandle(list, target.Probe());
    ASSERT_GE(buttonRow, 0);
    ASSERT_EQ(list.CellText(buttonRow, 6), "0x50000000") << "a visible push button";
    const std::string buttonTip = "WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON";
    const std::string probeTip = "WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | "
                                 "WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX";

    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, buttonRow, 6, LVN_GETINFOTIPA, "0x50000000")),
              buttonTip);
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, probeRow, 6, LVN_GETINFOTIPA, "")), probeTip);
    const std::wstring wide(buttonTip.begin(), buttonTip.end());
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPW, wchar_t>(list, buttonRow, 6, LVN_GETINFOTIPW, L"")), wide);
    // Other cells keep what the list itself would show.
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, buttonRow, 2, LVN_GETINFOTIPA, "Target Button")),
              "Target Button");

    // A request for the row alone: the column is the one under the pointer.
    // The cell must lie inside the list's client area, and the pointer must have arrived there.
    form->Width->SetValue(1000);
    PumpMessages(50);
    auto pointAt = [&](int column) {
        RECT cell = {};
        ListView_GetSubItemRect(list.Handle(), buttonRow, column, LVIR_BOUNDS, &cell);
        RECT client = list.ClientRect();
        ASSERT_LE(cell.right, client.right) << "the window is wide enough for every column";
        POINT point = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ClientToScreen(list.Handle(), &point);
        // Wine answers GetCursorPos from its own record for a moment after SetCursorPos and then from the
        // display, which may not have moved the pointer yet: wait until both agree.
        POINT now = {};
        for (int attempt = 0; attempt < 20; ++attempt) {
            SetCursorPos(point.x, point.y);
            PumpMessages(150);
            if (GetCursorPos(&now) && now.x == point.x && now.y == point.y) break;
        }
        ASSERT_EQ(now.x, point.x);
        ASSERT_EQ(now.y, point.y);
        LVHITTESTINFO hit = {};
        hit.pt = now;
        ScreenToClient(list.Handle(), &hit.pt);
        ListView_SubItemHitTest(list.Handle(), &hit);
        ASSERT_EQ(hit.iItem, buttonRow) << hit.pt.x << "," << hit.pt.y;
        ASSERT_EQ(hit.iSubItem, column) << hit.pt.x << "," << hit.pt.y;
    };
    pointAt(6);
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, buttonRow, 0, LVN_GETINFOTIPA, "Button")), buttonTip);
    pointAt(1);
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, buttonRow, 0, LVN_GETINFOTIPA, "Button")), "Button");
    // A tip never reads past the end of a short buffer.
    char small[8] = "";
    NMLVGETINFOTIPA request = {};
    request.hdr = {list.Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle())), LVN_GETINFOTIPA};
    request.pszText = small;
    request.cchTextMax = sizeof small;
    request.iItem = buttonRow;
    request.iSubItem = 6;
    SendMessageA(GetParent(list.Handle()), WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(std::string(small), buttonTip.substr(0, 7));
}

// The Enum list names the bits of its own records, and keeps every other cell's text.
TEST_F(ListExtras, TheEnumStyleCellOfATargetButtonNamesItsBits) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(target.MainWindow(), false, true);
    TEnumTab& tab = Tab<TEnumTab>();
    tab.SetMode(emCurrentChildren);
    tab.SetFindText("");
    tab.Enumerate();
    ASSERT_TRUE(WaitForWorker([&tab] { return tab.Gathering(); }));
    TNvActionListView& list = *tab.ListView;
    ASSERT_TRUE(ListView_GetExtendedListViewStyle(list.Handle()) & LVS_EX_INFOTIP);
    const int row = RowOfHandle(list, button);
    ASSERT_GE(row, 0);
    ASSERT_EQ(list.CellText(row, 6), "0x50000000");
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, row, 6, LVN_GETINFOTIPA, "0x50000000")),
              "WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON");
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, row, 0, LVN_GETINFOTIPA, "Button")), "Button");
    // Sorted the other way, the tip still follows its row's record.
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
    list.SortColumn = 1;
    list.SortDescending = !list.SortDescending;
    list.Sort();
    const int sorted = RowOfHandle(list, button);
    ASSERT_GE(sorted, 0);
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, sorted, 6, LVN_GETINFOTIPA, "")),
              "WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON");
    for (int other = 0; other < list.RowCount(); ++other) {
        if (other == sorted) continue;
        EXPECT_NE((AskInfoTip<NMLVGETINFOTIPA, char>(list, other, 6, LVN_GETINFOTIPA, "")),
                  "WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON")
            << "row " << other;
    }
}

// The Style rows name the value they show with the tracked window's class; other rows keep their text.
TEST_F(ListExtras, ThePropertiesStyleRowsNameTheirValue) {
    TPropertiesTab& tab = Tab<TPropertiesTab>();
    TNvActionListView& list = *tab.ListView;
    auto rowOf = [&](const std::string& description) {
        for (int row = 0; row < list.RowCount(); ++row)
            if (list.CellText(row, 0) == description) return row;
        return -1;
    };
    ASSERT_GE(rowOf("Style"), 0);
    EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, rowOf("Style"), 1, LVN_GETINFOTIPA, "")), "")
        << "nothing tracked, nothing to name";
    const auto probeExStyle = static_cast<uint32_t>(GetWindowLongA(target.Probe(), GWL_EXSTYLE));
    ASSERT_NE(probeExStyle, 0u);
    const struct {
        HWND Window;
        std::string StyleTip;
        std::string ExtendedTip;
    } cases[] = {
        {target.Child(TTargetProcess::ButtonId), "WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON", ""},
        {target.Probe(),
         "WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | "
         "WS_MINIMIZEBOX | WS_MAXIMIZEBOX",
         ExtendedStyleText(probeExStyle)},
    };
    for (const auto& c : cases) {
        TrackWindow(c.Window, false, true);
        tab.RefreshValues();
        // A window with another number of property-list entries or extra bytes rebuilds the rows.
        const int style = rowOf("Style"), extended = rowOf("Extended Style");
        ASSERT_GE(style, 0);
        ASSERT_GE(extended, 0);
        const int other = style == 0 || extended == 0 ? (style == 1 || extended == 1 ? 2 : 1) : 0;
        EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, style, 1, LVN_GETINFOTIPA, "")), c.StyleTip);
        EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, style, 0, LVN_GETINFOTIPA, "Style")), c.StyleTip)
            << "the whole row";
        EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, extended, 1, LVN_GETINFOTIPA, "")), c.ExtendedTip);
        const std::string shown = list.CellText(other, 1);
        EXPECT_EQ((AskInfoTip<NMLVGETINFOTIPA, char>(list, other, 1, LVN_GETINFOTIPA, shown.c_str())), shown);
    }
}

// Ctrl+C in the Enum list: the captions, then the two selected rows as the list shows them.
TEST_F(ListExtras, CtrlCOnTwoEnumRowsCopiesThemUnderTheHeader) {
    TEnumTab& tab = Tab<TEnumTab>();
    tab.SetMode(emTopLevel);
    tab.SetFindText("Paneprobe Target");
    tab.Enumerate();
    ASSERT_TRUE(WaitForWorker([&tab] { return tab.Gathering(); }));
    TNvActionListView& list = *tab.ListView;
    ASSERT_GE(list.RowCount(), 3);
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list.Handle(), 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list.Handle(), 2, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(list.Handle());
    ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
    const int trackedBefore = TrackedList->Count();
    PressKey(list.Handle(), 'C', ssCtrl);
    EXPECT_EQ(ClipboardText(), "Class\tHandle\tCaption\tParent\tPID\tTID\tStyle\r\n" + RowLine(list, 0, 7) +
                                   RowLine(list, 2, 7));
    EXPECT_EQ(TrackedList->Count(), trackedBefore) << "no pick";
}

// The Properties list and the Processes list (a list class of its own) copy their selected row too, and
// their own keys still work.
TEST_F(ListExtras, CtrlCInThePropertiesAndProcessesListsCopiesTheSelectedRow) {
    TrackWindow(target.Child(TTargetProcess::ButtonId), false, true);
    TPropertiesTab& properties = Tab<TPropertiesTab>();
    properties.RefreshValues();
    TNvActionListView& propertyList = *properties.ListView;
    int styleRow = -1;
    for (int row = 0; row < propertyList.RowCount(); ++row)
        if (propertyList.CellText(row, 0) == "Style") styleRow = row;
    ASSERT_GE(styleRow, 0);
    propertyList.SelectRow(styleRow);

    TProcessesTab& processes = Tab<TProcessesTab>();
    form->PageIndex->SetValue(processes.Sheet->PageIndex());
    PumpMessages(20);
    ASSERT_TRUE(WaitForWorker([&processes] { return processes.Gathering(); }));
    int processRow = -1;
    for (size_t i = 0; i < processes.Rows().size(); ++i)
        if (processes.Rows()[i].ProcessId == target.ProcessId()) processRow = static_cast<int>(i);
    ASSERT_GE(processRow, 0);
    TNvActionListView& processList = *processes.ListView;
    processList.SelectRow(processRow);

    const struct {
        TNvActionListView& List;
        std::string Expected;
    } lists[] = {
        {propertyList, "Description\tValue\tGroup\r\nStyle\t" + HexPrefix + "50000000\tStyle\r\n"},
        {processList,
         "Filename\tPID\tP-PID\tParent\tCreated\tThreads\tPriority\tWindow\tWindow Caption\tPath\r\n" +
             RowLine(processList, processRow, 10)},
    };
    for (const auto& entry : lists) {
        SetFocus(entry.List.Handle());
        ASSERT_TRUE(CopyTextToClipboard(nullptr, "before"));
        PressKey(entry.List.Handle(), 'C', ssCtrl);
        EXPECT_EQ(ClipboardText(), entry.Expected);
    }
    EXPECT_NE(ClipboardText().find("\t" + std::to_string(target.ProcessId()) + "\t"), std::string::npos)
        << "the target's row";
    EXPECT_EQ(TrackedList->Current()->Handle, target.Child(TTargetProcess::ButtonId)) << "no pick";
}

// A tip longer than the room the list gives is cut between characters, never inside one: a UTF-8
// sequence in the 8-bit form, a surrogate pair in the Unicode form.
TEST_F(ListExtras, AnInfoTipCutToItsRoomKeepsWholeCharacters) {
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    const std::string tip = "a\xD0\x9F\xD1\x80 \xF0\x9F\x98\x80!"; // "aПр 😀!"
    list.SetInfoTipHandler([&](TNvListView&, int, int) { return tip; });
    ASSERT_GT(list.RowCount(), 0);
    const struct {
        int Room;
        std::string Narrow;
        std::wstring Wide;
    } cases[] = {
        {5, "a\xD0\x9F", L"a\u041f\u0440 "},
        {6, "a\xD0\x9F\xD1\x80", L"a\u041f\u0440 "},
        {7, "a\xD0\x9F\xD1\x80 ", L"a\u041f\u0440 \U0001F600"},
        {8, "a\xD0\x9F\xD1\x80 ", L"a\u041f\u0440 \U0001F600!"},
        {64, tip, L"a\u041f\u0440 \U0001F600!"},
    };
    for (const auto& c : cases) {
        char narrow[64] = {};
        wchar_t wide[64] = {};
        NMLVGETINFOTIPA a = {{list.Handle(), 0, LVN_GETINFOTIPA}, 0, narrow, c.Room, 0, 0, 0};
        NMLVGETINFOTIPW w = {{list.Handle(), 0, LVN_GETINFOTIPW}, 0, wide, c.Room, 0, 0, 0};
        for (NMHDR* request : {&a.hdr, &w.hdr})
            SendMessageA(GetParent(list.Handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(request));
        EXPECT_EQ(std::string(narrow), c.Narrow) << c.Room;
        EXPECT_EQ(std::wstring(wide), c.Wide) << c.Room;
    }
}

} // namespace
