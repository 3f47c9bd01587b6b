// What the real tabs share: the refresh interval each declares, the row of controls above a body, the rows of
// window records.
#include "FormFixture.h"
#include "WorkerWait.h"
#include "app/WinApiEx.h"
#include "tabs/TabBranch.h"
#include "tabs/TabEnum.h"
#include "tabs/TabMenus.h"
#include "tabs/TabWindows.h"

#include <string>

namespace {

// A child's rectangle in its parent's client coordinates.
RECT RectIn(const TNvWindow& child, const TNvWindow& parent) {
    RECT rect = {};
    GetWindowRect(child.Handle(), &rect);
    MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom, const std::string& what) {
    EXPECT_EQ(rect.left, left) << what;
    EXPECT_EQ(rect.top, top) << what;
    EXPECT_EQ(rect.right, right) << what;
    EXPECT_EQ(rect.bottom, bottom) << what;
}

class TabFrame : public FormTest {
  protected:
    // Shows the tab's page and checks that its top panel and body fill the page, at two window sizes.
    void ExpectRowAboveBody(int page, TTopPanelLayout& panels) {
        form->PageIndex->SetValue(page);
        for (int width : {700, 900}) {
            SetWindowPos(form->Handle(), nullptr, 0, 0, width, 600, SWP_NOZORDER | SWP_NOACTIVATE);
            PumpMessages(20);
            TNvTabSheet& sheet = *form->TabManager->TabAt(page)->Sheet;
            RECT client = sheet.ClientRect();
            std::string what = form->TabManager->TabAt(page)->Caption + FormatText(" at %d", width);
            ExpectRect(RectIn(panels.TopPanel, sheet), 0, 0, client.right, TTopPanelLayout::PanelHeight,
                       what + ", top panel");
            ASSERT_NE(panels.Body, nullptr) << what;
            ExpectRect(RectIn(*panels.Body, sheet), 0, TTopPanelLayout::PanelHeight, client.right,
                       client.bottom, what + ", body");
        }
    }
};

TEST_F(TabFrame, EachTabSetsTheRefreshIntervalItDeclaresWhenShown) {
    const struct {
        const char* Page;
        int IntervalMs;
    } cases[] = {{"Tracked", 2500},   {"Placement", 16},   {"Enum", 2500},
                 {"Branch", 2500},    {"Messages", 2500},  {"Menus", 2500},
                 {"Properties", 100}, {"Processes", 1500}, {"Config", 2500}};
    ASSERT_EQ(form->TabManager->Count(), static_cast<int>(std::size(cases)));
    // In page order, so that every tab with its own interval is followed by one that must set another.
    for (int page = 0; page < form->TabManager->Count(); ++page) {
        const std::string caption = form->TabManager->TabAt(page)->Caption;
        ASSERT_EQ(caption.rfind(cases[page].Page, 0), 0u) << caption;
        form->PageIndex->SetValue(page);
        EXPECT_EQ(form->TabInterval->Value, cases[page].IntervalMs) << caption;
    }
}

TEST_F(TabFrame, RowTabsFillThePageWithTheirTopPanelAndBody) {
    for (int page = 0; page < form->TabManager->Count(); ++page) {
        TPaneprobeTab* tab = form->TabManager->TabAt(page);
        if (auto* enumTab = dynamic_cast<TEnumTab*>(tab)) {
            ExpectRowAboveBody(page, enumTab->Panels);
            // The find box takes the rest of the row, up to the margin.
            RECT mode = RectIn(*enumTab->ModeBox, enumTab->Panels.TopPanel);
            RECT find = RectIn(*enumTab->FindBox, enumTab->Panels.TopPanel);
            EXPECT_EQ(find.left, mode.right + TTopPanelLayout::Gap);
            EXPECT_EQ(find.right, enumTab->Panels.TopPanel.ClientRect().right - TTopPanelLayout::Margin);
        } else if (auto* branch = dynamic_cast<TBranchTab*>(tab)) {
            ExpectRowAboveBody(page, branch->Panels);
        } else if (auto* menus = dynamic_cast<TMenusTab*>(tab)) {
            ExpectRowAboveBody(page, menus->Panels);
            RECT standard = RectIn(*menus->StandardButton, menus->Panels.TopPanel);
            EXPECT_EQ(RectIn(*menus->SystemButton, menus->Panels.TopPanel).left,
                      standard.right + TTopPanelLayout::Gap);
        }
    }
}

// The main window tracks itself at start; the Enum tab finds it by its handle.
TEST_F(TabFrame, TheTrackedAndEnumListsShowAWindowInTheSameCellsAndTips) {
    TNvActionListView& tracked = *Tab<TWindowsTab>().ListView;
    ASSERT_EQ(tracked.RowCount(), 1);
    TEnumTab& enumTab = Tab<TEnumTab>();
    enumTab.SetMode(emFind);
    enumTab.SetFindText(FormatText("0x%.8x", HandleValue(form->Handle())));
    enumTab.Enumerate();
    // A list slow to empty takes more than one share.
    ASSERT_TRUE(WaitForWorker([&enumTab] { return enumTab.Gathering(); }));
    TNvActionListView& listed = *enumTab.ListView;
    ASSERT_EQ(listed.RowCount(), 1);
    ASSERT_EQ(tracked.ColumnCount(), listed.ColumnCount());
    for (int column = 0; column < tracked.ColumnCount(); ++column) {
        EXPECT_EQ(listed.CellText(0, column), tracked.CellText(0, column)) << "column " << column;
        EXPECT_EQ(listed.InfoTip(0, column), tracked.InfoTip(0, column)) << "column " << column;
    }
    EXPECT_FALSE(tracked.InfoTip(0, ecStyle).empty()) << "the Style cell names its bits";
}

} // namespace
