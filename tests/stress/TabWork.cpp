// Each tab's own work in the runs, done through the tab's real code on whatever is tracked at that moment.
#include "StressSupport.h"

#include "FormFixture.h"
#include "WorkerWait.h"

#include "app/Shared.h"
#include "messages/TabMessages.h"
#include "messages/TypeCastForm.h"
#include "processes/TabProcesses.h"
#include "tabs/TabBranch.h"
#include "tabs/TabEnum.h"
#include "tabs/TabPlacement.h"
#include "tabs/TabProperties.h"

#include <gtest/gtest.h>

namespace {

// The full handle scan takes seconds: one Enum turn in this many uses it.
const int HandleScanEvery = 16;

int EnumStep(TPaneprobeTab& tab, int step) {
    auto& enumTab = static_cast<TEnumTab&>(tab);
    static const int Modes[] = {emTopLevel, emDesktopChildren, emCurrentChildren};
    int mode = step % HandleScanEvery == HandleScanEvery - 1 ? emAllHandles : Modes[step % 3];
    enumTab.SetMode(mode);
    enumTab.Enumerate();
    // The worker's result is put in, as a user would wait for it; the full scan is left running.
    if (mode != emAllHandles && !WaitForWorker([&enumTab] { return enumTab.Gathering(); })) return 0;
    return 1;
}

int BranchStep(TPaneprobeTab& tab, int) {
    auto& branch = static_cast<TBranchTab&>(tab);
    branch.SetStartMode(bsDesktop);
    branch.RebuildTree();
    return WaitForWorker([&branch] { return branch.Building(); }) ? 1 : 0;
}

int PropertiesStep(TPaneprobeTab& tab, int) {
    static_cast<TPropertiesTab&>(tab).RefreshValues();
    return 1;
}

int PlacementStep(TPaneprobeTab& tab, int) {
    static_cast<TPlacementTab&>(tab).Redraw();
    return 1;
}

int ProcessesStep(TPaneprobeTab& tab, int) {
    auto& processes = static_cast<TProcessesTab&>(tab);
    processes.ReloadProcesses();
    return WaitForWorker([&processes] { return processes.Gathering(); }) ? 1 : 0;
}

// Messages that only ask, sent or posted as a user would from the tab's boxes: WM_NULL, WM_GETTEXTLENGTH,
// WM_GETFONT, WM_GETICON, WM_GETDLGCODE. No buffers, so that no viewer opens for each one.
int MessagesStep(TPaneprobeTab& tab, int step) {
    auto& messages = static_cast<TMessageTab&>(tab);
    static const char* const Numbers[] = {"0", "0x000E", "0x0031", "0x007F", "0x0087"};
    static const char* const WParams[] = {"0", "1", "-1"};
    int done = 0;
    for (int i = 0; i < 3; ++i) {
        messages.MessageCombo->SetText(Numbers[(step + i) % 5]);
        messages.WParamCombo->SetText(WParams[(step + i) % 3]);
        messages.LParamCombo->SetText("0");
        messages.SendOrPost(i == 2 ? 1 : 0);
        ++done;
    }
    return done;
}

template <class T> bool Is(const TPaneprobeTab* tab) {
    return TabClassOf<T>().IsInstance(tab);
}

const bool Registered = [] {
    std::vector<TTabWork>& table = TabWorkTable();
    table.push_back({Is<TEnumTab>, EnumStep});
    table.push_back({Is<TBranchTab>, BranchStep});
    table.push_back({Is<TPropertiesTab>, PropertiesStep});
    table.push_back({Is<TPlacementTab>, PlacementStep});
    table.push_back({Is<TProcessesTab>, ProcessesStep});
    table.push_back({Is<TMessageTab>, MessagesStep});
    return true;
}();

} // namespace

namespace {

// Every tab with work of its own has exactly one entry, and each entry does that work through the tab:
// the lists fill, the Messages tab reports what it sent.
class TabWorkTest : public FormTest {};

TEST_F(TabWorkTest, EachWorkingTabHasOneEntryThatDoesItsWork) {
    TrackWindow(form->Handle(), false, true);
    PumpMessages(20);
    int withWork = 0;
    for (int i = 0; i < form->TabManager->Count(); ++i) {
        TPaneprobeTab* tab = form->TabManager->TabAt(i);
        int entries = 0;
        for (const TTabWork& work : TabWorkTable())
            if (work.Matches(tab)) ++entries;
        EXPECT_LE(entries, 1) << "tab " << i;
        if (entries == 0) continue;
        ++withWork;
        form->PageIndex->SetValue(i);
        PumpMessages(20);
        EXPECT_GE(RunTabWork(*tab, 0), 1) << "tab " << i;
    }
    EXPECT_EQ(withWork, 6) << "Enum, Branch, Properties, Placement, Processes and Messages";

    auto& enumTab = Tab<TEnumTab>();
    for (int step = 0; step < 3; ++step) {
        RunTabWork(enumTab, step);
        EXPECT_GT(enumTab.ListView->RowCount(), 0) << "mode " << enumTab.Mode();
    }
    EXPECT_EQ(enumTab.Mode(), emCurrentChildren);
    auto& branch = Tab<TBranchTab>();
    EXPECT_EQ(branch.StartMode(), bsDesktop);
    EXPECT_GT(branch.Tree->NodeCount(), 1);
    EXPECT_GT(Tab<TProcessesTab>().ListView->RowCount(), 0);
    auto& messages = Tab<TMessageTab>();
    ASSERT_TRUE(messages.LastMessage);
    EXPECT_EQ(messages.LastMessage->Wnd, form->Handle());
    // The third message of a step is posted; the text names the verb.
    EXPECT_EQ(messages.ResultEdit->Text().rfind("PostMessage(", 0), 0u) << messages.ResultEdit->Text();
    EXPECT_EQ(TTypeCastForm::OpenCount(), 0) << "the run's messages open no viewer";
}

} // namespace
