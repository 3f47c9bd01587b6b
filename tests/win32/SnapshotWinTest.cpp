// Snapshots of another program's windows: saved, changed in known ways and compared; taken again after the
// program restarted; gathered while the program hangs; and the Tools menu's commands through their dialogs.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "TargetProcess.h"
#include "Watchdog.h"
#include "snapshot/SnapshotGather.h"
#include "snapshot/Snapshots.h"
#include "tabs/DetailProperties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

const int FirstId = 11, LabelId = 12, AddedId = 21;
const DWORD WatchdogMs = 30000;

HWND SnapshotFrame(const std::string& tag) {
    return FindWindowA("PaneprobeSnapshotFrame", ("Paneprobe Target " + tag + " snapshot").c_str());
}

std::string TempSnapshotPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

// "Kind tail-of-path name", with the path shortened to its last element, sorted.
std::set<std::string> Summary(const std::vector<TSnapshotDifference>& differences) {
    std::set<std::string> lines;
    for (const TSnapshotDifference& d : differences)
        lines.insert(std::string(DifferenceKindText(d.Kind)) + " " + d.Path.substr(d.Path.rfind('/') + 1) +
                     (d.Name.empty() ? "" : " " + d.Name));
    return lines;
}

// A message to the target that waits for its answer, but not for ever.
void Ask(HWND window, UINT message) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
}

class SnapshotWin : public ::testing::Test {
  protected:
    TSnapshots snapshots;
    std::vector<TSnapshotDifference> Compare(HWND root, const std::string& path) {
        std::string error;
        TSnapshotDiffForm* form = snapshots.CompareWith(root, path, error);
        EXPECT_NE(form, nullptr) << error;
        return form ? form->Differences : std::vector<TSnapshotDifference>();
    }
};

} // namespace

TEST_F(SnapshotWin, ShowsExactlyTheChangesMade) {
    TTargetProcess target("snapA snapshot");
    TWatchdog watchdog(WatchdogMs, [&] { target.Kill(); });
    HWND frame = SnapshotFrame("snapA");
    ASSERT_TRUE(frame);
    const std::string before = TempSnapshotPath("paneprobe-snapA-1.txt");
    ASSERT_EQ(snapshots.SaveTo(frame, before), "");
    EXPECT_TRUE(Compare(frame, before).empty()) << "nothing changed";

    HWND first = GetDlgItem(frame, FirstId);
    SetWindowLongA(first, GWL_STYLE, GetWindowLongA(first, GWL_STYLE) | BS_FLAT);
    SetWindowTextA(frame, "Renamed");
    SetWindowPos(first, nullptr, 10, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Ask(frame, WM_APP + 20);
    Ask(frame, WM_APP + 21);
    ASSERT_FALSE(GetDlgItem(frame, LabelId));
    const std::set<std::string> expected = {
        "Changed PaneprobeSnapshotFrame caption",
        "Changed Button#11 Tracked: Style",
        "Changed Button#11 Tracked: Style names",
        "Changed Button#11 Style: Style",
        "Changed Button#11 Rect: Rect of Window",
        "Changed Button#11 Rect: Rect Mapped to Parent",
        "Added Button#21",
        "Removed Static#12",
    };
    EXPECT_EQ(Summary(Compare(frame, before)), expected);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(SnapshotWin, RestartedProgramGivesNoDifferences) {
    const std::string path = TempSnapshotPath("paneprobe-snapR.txt");
    DWORD firstProcess = 0;
    {
        TTargetProcess target("snapR snapshot");
        TWatchdog watchdog(WatchdogMs, [&] { target.Kill(); });
        ASSERT_TRUE(SnapshotFrame("snapR"));
        firstProcess = target.ProcessId();
        ASSERT_EQ(snapshots.SaveTo(SnapshotFrame("snapR"), path), "");
    }
    TTargetProcess again("snapR snapshot");
    TWatchdog watchdog(WatchdogMs, [&] { again.Kill(); });
    ASSERT_TRUE(SnapshotFrame("snapR"));
    EXPECT_NE(again.ProcessId(), firstProcess);
    const std::vector<TSnapshotDifference> differences = Compare(SnapshotFrame("snapR"), path);
    EXPECT_TRUE(differences.empty()) << DifferencesText(differences);
}

TEST_F(SnapshotWin, HungProgramCostsOneTimeout) {
    TTargetProcess target("snapH", true);
    TWatchdog watchdog(WatchdogMs, [&] { target.Kill(); });
    HWND keeper = target.Child(TTargetProcess::KeeperId);
    const auto keeperCaption = [&](const TGatheredSnapshot& gathered) {
        auto found = std::find(gathered.Handles.begin(), gathered.Handles.end(), keeper);
        return found == gathered.Handles.end()
                   ? std::string("(missing)")
                   : gathered.Snapshot.Windows[static_cast<size_t>(found - gathered.Handles.begin())].Caption;
    };
    EXPECT_EQ(keeperCaption(GatherSnapshot(target.MainWindow())), "Text kept by the control");
    ASSERT_TRUE(target.Hang());
    const DWORD start = GetTickCount();
    const TGatheredSnapshot hung = GatherSnapshotOnWorker(target.MainWindow());
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(keeperCaption(hung), "");
    EXPECT_GE(hung.Snapshot.Windows.size(), 4u) << "the other windows are still read";
    EXPECT_TRUE(target.Release());
    EXPECT_FALSE(watchdog.Fired());
}

// The snapshot's Window and Class groups take shortcuts (the place from the walk, module names kept for the
// pass): they must say what the Properties tab's groups say.
TEST_F(SnapshotWin, ValuesAgreeWithThePropertiesGroups) {
    TTargetProcess target("snapZ snapshot");
    TWatchdog watchdog(WatchdogMs, [&] { target.Kill(); });
    ASSERT_TRUE(SnapshotFrame("snapZ"));
    const TGatheredSnapshot gathered = GatherSnapshot(SnapshotFrame("snapZ"));
    ASSERT_EQ(gathered.Snapshot.Windows.size(), 5u);
    TWindowProperty windowGroup;
    TClassProperty classGroup;
    int compared = 0;
    for (TPropertyGroup* group :
         {static_cast<TPropertyGroup*>(&windowGroup), static_cast<TPropertyGroup*>(&classGroup)}) {
        for (size_t i = 0; i < gathered.Handles.size(); ++i) {
            TWindowDetails record(gathered.Handles[i]);
            record.Refresh();
            group->Update(record);
            for (const TSnapshotValue& value : gathered.Snapshot.Windows[i].Values)
                for (int row = 0; row < group->Count(); ++row) {
                    if (value.Name != group->Name + ": " + group->GetDescription(row)) continue;
                    EXPECT_EQ(value.Value, group->GetValue(row)) << value.Name << " of window " << i;
                    ++compared;
                }
        }
    }
    EXPECT_EQ(compared, 5 * (windowGroup.Count() + classGroup.Count()));
}

TEST_F(SnapshotWin, DamagedFileSaysWhichLine) {
    const std::string path = TempSnapshotPath("paneprobe-damaged.txt");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char text[] = "Paneprobe snapshot 1\n[/A]\nclass = A\nbroken line\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
    std::string error;
    EXPECT_EQ(snapshots.CompareWith(GetDesktopWindow(), path, error), nullptr);
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_EQ(snapshots.Count(), 0);
}

// The menu commands ask for their files with the standard dialogs, answered here as a user would.
class SnapshotCommands : public FormTest {
  protected:
    void RunWithFile(int command, const char* caption, const std::string& path) {
        TDialogAnswerer answerer({{caption, TAnswer::Ok, "", [caption, path] {
                                       HWND dialog = FindOwnDialog(caption);
                                       // The name box is an edit (edt1) or a combo box with an edit (cmb13).
                                       for (int id : {0x480, 0x47c})
                                           if (HWND box = GetDlgItem(dialog, id))
                                               SendMessageA(box, WM_SETTEXT, 0,
                                                            reinterpret_cast<LPARAM>(path.c_str()));
                                   }}});
        form->RunMenuCommand(command);
        EXPECT_EQ(answerer.Seen().size(), 1u) << caption;
    }
};

TEST_F(SnapshotCommands, SaveThenCompareThroughTheMenu) {
    TTargetProcess target("snapM snapshot");
    TWatchdog watchdog(WatchdogMs, [&] {
        CancelOwnDialogs();
        target.Kill();
    });
    HWND frame = SnapshotFrame("snapM");
    ASSERT_TRUE(frame);
    TrackWindow(frame, false, true);
    const std::string path = TempSnapshotPath("paneprobe-snapM.txt");
    RunWithFile(cmdSaveSnapshot, "Save Snapshot", path);
    ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    Ask(frame, WM_APP + 20);
    Ask(frame, WM_APP + 21);
    RunWithFile(cmdCompareSnapshot, "Compare with Snapshot", path);
    ASSERT_EQ(form->Snapshots->Count(), 1);
    TSnapshotDiffForm& differences = *form->Snapshots->Form(0);
    EXPECT_EQ(Summary(differences.Differences),
              (std::set<std::string>{"Added Button#21", "Removed Static#12"}));
    EXPECT_EQ(differences.CopiedText(), DifferencesText(differences.Differences));
    EXPECT_EQ(differences.List->RowCount(), 2);
    // The added window exists and gets tracked; the removed one cannot be.
    for (int row = 0; row < differences.List->RowCount(); ++row) {
        const bool added = differences.List->CellText(row, 0) == "Added";
        EXPECT_EQ(differences.TrackRow(row), added);
        if (added) {
            EXPECT_EQ(TrackedList->Current()->Handle, GetDlgItem(frame, AddedId));
        }
    }
    EXPECT_FALSE(watchdog.Fired());
}

// Paneprobe's own window: its menu is read by item text, and its controls answer the worker while the
// user-interface thread waits for it.
TEST_F(SnapshotCommands, OwnWindowGivesItsMenuByItemText) {
    TWatchdog watchdog(WatchdogMs, [] { CancelOwnDialogs(); });
    const TGatheredSnapshot gathered = GatherSnapshotOnWorker(form->Handle());
    ASSERT_FALSE(gathered.Snapshot.Empty());
    EXPECT_GT(gathered.Snapshot.Windows.size(), 10u);
    std::vector<std::string> menu;
    for (const TSnapshotValue& value : gathered.Snapshot.Windows[0].Values)
        if (value.Name.compare(0, 6, "Menu: ") == 0) menu.push_back(value.Name.substr(6) + " " + value.Value);
    EXPECT_NE(std::find(menu.begin(), menu.end(), "5 &Tools"), menu.end()) << menu.size() << " menu values";
    EXPECT_NE(std::find(menu.begin(), menu.end(), "5.2 Save &Snapshot..."), menu.end());
    EXPECT_FALSE(watchdog.Fired());
}
