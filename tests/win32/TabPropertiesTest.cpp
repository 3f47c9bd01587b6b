// The Properties tab inside a real main window, on windows of the target program and of this process.
#include "FormFixture.h"
#include "PropertyRows.h"
#include "app/WinApiEx.h"
#include "tabs/PropertyTexts.h"
#include "tabs/TabProperties.h"

#include <map>

namespace {

class PropertiesTab : public FormTest {
  protected:
    TTargetProcess target{"props"};

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
    }
    TPropertiesTab& PropTab() { return Tab<TPropertiesTab>(); }
    std::map<std::string, std::string> Values() { return PropertyValues(PropTab()); }
    void ShowTab() {
        form->PageIndex->SetValue(PropTab().Sheet->PageIndex());
        PumpMessages(20);
    }
};

std::string RectTextOf(const RECT& rect) {
    return RectText({static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top),
                     static_cast<int32_t>(rect.right), static_cast<int32_t>(rect.bottom)});
}

TEST_F(PropertiesTab, RowsSortedByGroupWithTheirIcons) {
    TNvActionListView& list = *PropTab().ListView;
    int rows = 0;
    for (const auto& group : PropTab().Groups)
        rows += group->Count();
    ASSERT_EQ(list.RowCount(), rows);
    ASSERT_GE(rows, 15);
    EXPECT_EQ(PropTab().Caption, "Properties");
    EXPECT_EQ(list.SortColumn, 2);
    EXPECT_EQ(list.HeaderFormat(2), HDF_SORTUP);
    std::map<std::string, int> perGroup;
    std::string previous;
    for (int row = 0; row < list.RowCount(); ++row) {
        std::string group = list.CellText(row, 2);
        EXPECT_LE(previous, group) << "grouped in order";
        previous = group;
        ++perGroup[group];
        EXPECT_EQ(list.CellText(row, 1), "") << "no value before the tab was ever shown";
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(list.Handle(), &item);
        int g = static_cast<int>(item.lParam & 0xFFFF);
        EXPECT_EQ(item.iImage, 6 + g % 5);
        EXPECT_EQ(PropTab().Groups[static_cast<size_t>(g)]->Name, group);
        EXPECT_EQ(
            PropTab().Groups[static_cast<size_t>(g)]->GetDescription(static_cast<int>(item.lParam >> 16)),
            list.CellText(row, 0));
    }
    EXPECT_EQ(perGroup["Process"], 9);
    EXPECT_EQ(perGroup["Rect"], 4);
    EXPECT_EQ(perGroup["Style"], 2);
    EXPECT_EQ(perGroup["Class"], 12);
    EXPECT_EQ(perGroup["Window"], 13);
    EXPECT_EQ(perGroup["Thread input"], 8);
    EXPECT_EQ(perGroup["Process, more"], 5);

    list.ClickColumn(0);
    list.ClickColumn(0);
    EXPECT_EQ(list.CellText(0, 0), "Z-Order Place") << "description, descending";
    EXPECT_EQ(list.CellText(rows - 1, 0), "Active Window");
}

TEST_F(PropertiesTab, ShowingTheTabSetsTheIntervalAndLeavingHandsItBack) {
    ShowTab();
    EXPECT_EQ(form->TabInterval->Value, 100);
    form->PageIndex->SetValue(0);
    EXPECT_EQ(form->TabInterval->Value, 2500);
    ShowTab();
    EXPECT_EQ(form->TabInterval->Value, 100);
}

TEST_F(PropertiesTab, ChildWindowOfAnotherProcess) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(button, false, true);
    ShowTab();
    auto values = Values();
    RECT window = {}, client = {};
    GetWindowRect(button, &window);
    GetClientRect(button, &client);
    EXPECT_EQ(values["Rect of Window"], RectTextOf(window));
    EXPECT_EQ(values["Rect Mapped to Parent"], "10 x 10 / 130 x 34") << "where the target put it";
    EXPECT_EQ(values["Rect of Client Area"], RectTextOf(client));
    EXPECT_EQ(values["Rect of Client Area"].substr(0, 6), "0 x 0 ");
    EXPECT_EQ(values["Width & Height"], "120 x 24");
    EXPECT_EQ(values["Style"],
              FormatText("0x%.8x", static_cast<uint32_t>(GetWindowLongA(button, GWL_STYLE))));
    EXPECT_EQ(values["Extended Style"],
              StyleText(static_cast<uint32_t>(GetWindowLongA(button, GWL_EXSTYLE)), "0x"));

    EXPECT_EQ(values["Exit Time"], "") << "running";
    EXPECT_NE(values["Start Time"].find(" - "), std::string::npos);
    EXPECT_NE(values["Start Time"].find(" / "), std::string::npos);
    EXPECT_EQ(values["Start Time"].find("wks"), std::string::npos);
    EXPECT_EQ(values["Module Name"], TestProgramFolder() + "PaneprobeTarget.exe");
    EXPECT_NE(values["Kernel Time"].find("ms"), std::string::npos);
    EXPECT_NE(values["User Time"].find("ms"), std::string::npos);
    for (const char* counter : {"GDI Objects", "User Objects", "GDI Objects PEAK", "User Objects PEAK"}) {
        int32_t number = -1;
        EXPECT_TRUE(TryIntFromText(values[counter], number)) << counter << ": " << values[counter];
    }
}

TEST_F(PropertiesTab, TopLevelWindowHasNoMappedRectangle) {
    TrackWindow(target.Probe(), false, true);
    ShowTab();
    auto values = Values();
    RECT window = {};
    GetWindowRect(target.Probe(), &window);
    EXPECT_EQ(values["Rect of Window"], RectTextOf(window));
    EXPECT_EQ(values["Rect Mapped to Parent"], "");
    EXPECT_EQ(values["Width & Height"], "300 x 200");
}

TEST_F(PropertiesTab, TrackingAnotherWindowChangesTheValuesWithinOneRefresh) {
    TrackWindow(target.Child(TTargetProcess::ButtonId), false, true);
    ShowTab();
    auto before = Values();
    // A window of this process, with another size, style and process.
    HWND own = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "own", WS_POPUP, 5, 6, 77, 33, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    TrackWindow(own, false, true);
    PropTab().Refresh();
    auto after = Values();
    DestroyWindow(own);
    EXPECT_EQ(after["Rect of Window"], "5 x 6 / 82 x 39");
    EXPECT_EQ(after["Width & Height"], "77 x 33");
    EXPECT_EQ(after["Rect Mapped to Parent"], "");
    char ownPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    EXPECT_EQ(after["Module Name"], ownPath);
    for (const char* name : {"Rect of Window", "Width & Height", "Style", "Extended Style", "Module Name",
                             "Start Time", "Rect of Client Area"})
        EXPECT_NE(before[name], after[name]) << name;
}

TEST_F(PropertiesTab, ProcessGroupEmptiesForAProcessThatCannotBeOpened) {
    TrackWindow(target.MainWindow(), false, true);
    ShowTab();
    ASSERT_NE(Values()["Module Name"], "");
    // A record whose process does not exist, right after one that did.
    TrackedList->Current()->ProcessId = 0xFFFFFFF0;
    PropTab().Refresh();
    auto values = Values();
    for (const char* name : {"Start Time", "Exit Time", "Kernel Time", "User Time", "Module Name",
                             "GDI Objects", "User Objects", "GDI Objects PEAK", "User Objects PEAK"})
        EXPECT_EQ(values[name], "") << name;
    EXPECT_NE(values["Rect of Window"], "") << "the other groups still show their values";

    TrackedList->Clear();
    PropTab().Refresh();
    for (const auto& entry : Values())
        EXPECT_EQ(entry.second, "") << entry.first << ": no tracked window";
}

TEST_F(PropertiesTab, AWindowThatWentShowsZeroRectangles) {
    HWND own = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    TrackWindow(own, false, true);
    ShowTab();
    DestroyWindow(own);
    PropTab().Refresh();
    auto values = Values();
    EXPECT_EQ(values["Rect of Window"], "0 x 0 / 0 x 0");
    EXPECT_EQ(values["Rect of Client Area"], "0 x 0 / 0 x 0");
    EXPECT_EQ(values["Style"], "") << "a style of 0";
}

// Every refresh opens the owning process and must close it again, also on the paths that fail.
TEST_F(PropertiesTab, RefreshesLeaveNoHandleOpen) {
    TrackWindow(target.MainWindow(), false, true);
    ShowTab();
    auto nextHandle = [] {
        HANDLE probe = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
        CloseHandle(probe);
        return probe;
    };
    HANDLE before = nextHandle();
    for (int i = 0; i < 200; ++i)
        PropTab().Refresh();
    TrackedList->Current()->ProcessId = GetCurrentProcessId();
    for (int i = 0; i < 200; ++i)
        PropTab().Refresh();
    EXPECT_EQ(nextHandle(), before) << "a leaked handle would take the slot";
}

} // namespace
