// What a tracked change costs the tabs that do not show it, and how the Properties tab shows a change:
// one cell repainted, marked for a while, not marked when another window is tracked.
#include "FormFixture.h"
#include "PropertyRows.h"
#include "tabs/TabProperties.h"
#include "tabs/TabWindows.h"

#include <set>

namespace {

class LiveValues : public FormTest {
  protected:
    TTargetProcess target{"live"};
    DWORD now = 5000;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        Props().Clock = [this] { return now; };
    }
    TPropertiesTab& Props() { return Tab<TPropertiesTab>(); }
    void Show(TPaneprobeTab& tab) { form->PageIndex->SetValue(tab.Sheet->PageIndex()); }
    HWND Button() const { return target.Child(TTargetProcess::ButtonId); }
    void MoveButtonBy(int dx) {
        RECT rect = {};
        GetWindowRect(Button(), &rect);
        MapWindowPoints(nullptr, target.MainWindow(), reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(Button(), nullptr, rect.left + dx, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The refresh a tick of the tab timer makes, some time after the last one.
    std::map<std::string, std::string> RefreshAfter(DWORD milliseconds) {
        now += milliseconds;
        Props().RefreshValues();
        return PropertyValues(Props());
    }
    std::set<std::string> Marked() {
        TNvActionListView& list = *Props().ListView;
        std::set<std::string> marked;
        for (int row = 0; row < list.RowCount(); ++row)
            if (Props().IsMarked(list.RowData(row))) marked.insert(list.CellText(row, 0));
        return marked;
    }
    int RowOf(const std::string& description) {
        TNvActionListView& list = *Props().ListView;
        for (int row = 0; row < list.RowCount(); ++row)
            if (list.CellText(row, 0) == description) return row;
        return -1;
    }
};

std::set<std::string> ChangedBetween(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
    std::set<std::string> changed;
    for (const auto& [description, value] : after)
        if (before.count(description) == 0 || before.at(description) != value) changed.insert(description);
    return changed;
}

TEST_F(LiveValues, AHiddenTrackedTabKeepsItsRowsUntilShownThenShowsTheCurrentWindow) {
    TWindowsTab& tracked = Tab<TWindowsTab>();
    TrackWindow(target.MainWindow(), false, true);
    const std::string mainClass = tracked.ListView->CellText(0, 0);
    Show(Props());
    TrackWindow(Button(), false, false);
    TrackWindow(Button(), true, false);
    EXPECT_EQ(tracked.ListView->RowCount(), 1) << "no work while hidden";
    EXPECT_EQ(tracked.ListView->CellText(0, 0), mainClass);
    EXPECT_EQ(tracked.Caption, "Tracked (2)") << "the page caption shows on every page";
    Show(tracked);
    ASSERT_EQ(tracked.ListView->RowCount(), 2);
    EXPECT_EQ(tracked.ListView->CellText(0, 0), "Button");
}

TEST_F(LiveValues, AChangedValueIsMarkedForItsPeriodThenUnmarked) {
    Show(Props());
    TrackWindow(Button(), false, true);
    auto before = RefreshAfter(100);
    EXPECT_TRUE(Marked().empty()) << "the first values of a window are not changes";
    // The target's own values (its process times) may change at any refresh, so each value's last
    // change is followed through every refresh rather than assumed.
    std::map<std::string, DWORD> lastChange;
    auto refresh = [&](DWORD milliseconds) {
        auto after = RefreshAfter(milliseconds);
        for (const std::string& description : ChangedBetween(before, after))
            lastChange[description] = now;
        before = after;
        return after;
    };
    auto markedByClock = [&] {
        std::set<std::string> expected;
        for (const auto& [description, at] : lastChange)
            if (now - at < Props().MarkPeriodMs) expected.insert(description);
        return expected;
    };
    const auto first = before;
    MoveButtonBy(7);
    std::set<std::string> changed = ChangedBetween(first, refresh(100));
    EXPECT_EQ(changed.count("Rect of Window"), 1u);
    EXPECT_EQ(changed.count("Width & Height"), 0u);
    EXPECT_EQ(Marked(), changed) << "exactly the changed cells are marked";
    refresh(Props().MarkPeriodMs - 200);
    EXPECT_EQ(Marked().count("Rect of Window"), 1u) << "still within its period";
    EXPECT_EQ(Marked(), markedByClock());
    refresh(200);
    EXPECT_EQ(Marked().count("Rect of Window"), 0u) << "unmarked once its period is over";
    EXPECT_EQ(Marked(), markedByClock()) << "marked are exactly the values changed within the period";
}

TEST_F(LiveValues, TrackingAnotherWindowMarksNothing) {
    Show(Props());
    TrackWindow(Button(), false, true);
    RefreshAfter(100);
    MoveButtonBy(5);
    RefreshAfter(100);
    ASSERT_FALSE(Marked().empty());
    TrackWindow(target.Child(TTargetProcess::EditId), false, true);
    const auto tracked = PropertyValues(Props());
    auto values = RefreshAfter(100);
    EXPECT_NE(values["Rect of Window"], "");
    // Every value differs from the button's, none of them changed; only the target's own values
    // (its process times) may have moved since the edit was tracked.
    const std::set<std::string> changed = ChangedBetween(tracked, values);
    for (const std::string& description : Marked())
        EXPECT_EQ(changed.count(description), 1u) << description << " is marked without a change";
    EXPECT_EQ(Marked().count("Rect of Window"), 0u);
}

TEST_F(LiveValues, AChangedValueRepaintsItsOwnCellOnly) {
    Show(Props());
    TrackWindow(Button(), false, true);
    auto before = RefreshAfter(100);
    HWND list = Props().ListView->Handle();
    ListView_EnsureVisible(list, RowOf("Rect of Window"), FALSE);
    UpdateWindow(list);
    MoveButtonBy(3);
    auto after = RefreshAfter(100);
    std::set<std::string> changed = ChangedBetween(before, after);
    ASSERT_EQ(changed.count("Rect of Window"), 1u);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetUpdateRgn(list, update, FALSE), ERROR);
    for (const auto& [description, value] : after) {
        int row = RowOf(description);
        ASSERT_GE(row, 0) << description;
        for (int column = 0; column < 3; ++column) {
            RECT cell = {};
            ListView_GetSubItemRect(list, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &cell);
            POINT centre = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
            RECT client = {};
            GetClientRect(list, &client);
            if (!PtInRect(&client, centre)) continue; // scrolled away: nothing of it is painted
            bool invalid = PtInRegion(update, centre.x, centre.y);
            EXPECT_EQ(invalid, column == 1 && changed.count(description) == 1)
                << description << ", column " << column;
        }
    }
    DeleteObject(update);
}

} // namespace
