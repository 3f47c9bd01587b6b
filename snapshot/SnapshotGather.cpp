// The snapshot's values of each window, taken from the code that shows them in the Tracked and Properties
// tabs, so that a file says what the tabs say.
#include "snapshot/SnapshotGather.h"

#include "app/Shared.h"
#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "tabs/DetailProperties.h"
#include "tabs/DetailTexts.h"
#include "tabs/Properties.h"
#include "tabs/StyleNames.h"
#include "tabs/WindowRows.h"
#include "ui/WinHandles.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

const UINT CaptionTimeoutMs = 200;
const int MaxMenuDepth = 8;
const int MaxMenuItems = 1000;
const char* const ZOrderName = "Window: Z-Order Place";

// A record that never asks the window itself: the gatherer asks with its own, shorter bound.
class TSnapshotRecord : public TWindowDetails {
  public:
    using TWindowDetails::TWindowDetails;

  protected:
    bool MayAskForCaption() const override { return false; }
};

// Values that differ from run to run by nature: handles, ids, addresses, times, counters, the input state,
// and the z-order place among all top-level windows. They are written with "~" and not compared.
struct TRunDependent {
    const char* Group;
    const char* Description; // null: the whole group
};
const TRunDependent RunDependentValues[] = {
    {"Tracked", "Handle"},
    {"Tracked", "Parent"},
    {"Tracked", "PID"},
    {"Tracked", "TID"},
    {"Process", "Start Time"},
    {"Process", "Exit Time"},
    {"Process", "Kernel Time"},
    {"Process", "User Time"},
    {"Process", "GDI Objects"},
    {"Process", "User Objects"},
    {"Process", "GDI Objects PEAK"},
    {"Process", "User Objects PEAK"},
    {"Class", "Class Atom"},
    {"Class", "Window Procedure"},
    {"Class", "Instance"},
    {"Class", "Class Icon"},
    {"Class", "Class Small Icon"},
    {"Class", "Class Cursor"},
    {"Class", "Background Brush"},
    {"Window", "User Data"},
    {"Window", "Owner"},
    {"Window", "Root Owner"},
    {"Window", "Last Active Pop-up"},
    {"Window", "Z-Order Place"},
    {"Thread input", nullptr},
    {"Properties list", nullptr},
    {"Extra bytes", nullptr},
};

bool IsRunDependent(const std::string& group, const std::string& description) {
    for (const TRunDependent& entry : RunDependentValues)
        if (group == entry.Group && (!entry.Description || description == entry.Description)) return true;
    return false;
}

class TGatherer {
  public:
    TGatherer() {
        for (const TPropertyGroupClass& groupClass : PropertyGroupClasses()) {
            groups.push_back(groupClass.Create());
            if (auto* window = dynamic_cast<TWindowProperty*>(groups.back().get()))
                window->WalkZOrder = false;
            if (auto* windowClass = dynamic_cast<TClassProperty*>(groups.back().get()))
                windowClass->KeepModuleNames = true;
        }
        titles = WindowRowTitles();
    }

    TGatheredSnapshot Gather(HWND root, size_t maxWindows) {
        TGatheredSnapshot result;
        if (!IsWindow(root)) return result;
        std::vector<TPending> pending = {RootPlace(root, maxWindows)};
        while (!pending.empty() && result.Handles.size() < maxWindows) {
            const TPending next = pending.back();
            pending.pop_back();
            const int index = result.Snapshot.Add(next.Parent, Read(next));
            result.Handles.push_back(next.Window);
            // Pushed last child first, so that the children come out in z-order, top first.
            const size_t mark = pending.size();
            int siblings = 0;
            for (HWND child = GetWindow(next.Window, GW_CHILD);
                 child && static_cast<size_t>(siblings) < maxWindows; child = GetWindow(child, GW_HWNDNEXT))
                pending.push_back({child, index, ++siblings, 0});
            for (size_t i = mark; i < pending.size(); ++i)
                pending[i].Count = siblings;
            std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
        }
        return result;
    }

  private:
    struct TPending {
        HWND Window;
        int Parent;
        int Place, Count; // among its siblings from the top, for the z-order place
    };

    static TPending RootPlace(HWND root, size_t maxWindows) {
        TPending pending{root, -1, 0, 0};
        for (HWND sibling = GetWindow(root, GW_HWNDFIRST);
             sibling && static_cast<size_t>(pending.Count) < maxWindows;
             sibling = GetWindow(sibling, GW_HWNDNEXT))
            if (++pending.Count && sibling == root) pending.Place = pending.Count;
        return pending;
    }

    void Add(TSnapshotWindow& window, const std::string& group, const std::string& description,
             std::string value) {
        window.Values.push_back(
            {group + ": " + description, std::move(value), IsRunDependent(group, description)});
    }

    std::string Caption(const TSnapshotRecord& record) {
        if (record.Caption[0] || !IsWindow(record.Handle) || hungThreads.count(record.ThreadId))
            return record.Caption;
        char text[TWindowDetails::TextSize] = {};
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(record.Handle, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                 SMTO_ABORTIFHUNG, CaptionTimeoutMs, &length)) {
            if (IsWindow(record.Handle)) hungThreads.insert(record.ThreadId);
            return std::string();
        }
        text[sizeof text - 1] = '\0';
        return Utf8Cut(text, std::strlen(text));
    }

    TSnapshotWindow Read(const TPending& pending) {
        HWND handle = pending.Window;
        TSnapshotRecord record(handle);
        record.Refresh();
        TSnapshotWindow window;
        window.ClassName = record.ClassName;
        window.Caption = Caption(record);
        if (record.Style & WS_CHILD)
            window.ControlId = std::to_string(static_cast<int>(GetWindowLongPtrA(handle, GWLP_ID)));
        // The row's class and caption are the window's keys; its caption cell drops line breaks.
        const std::vector<std::string> cells = WindowRowCells(record);
        for (size_t i = 0; i < cells.size() && i < titles.size(); ++i)
            if (titles[i] != "Class" && titles[i] != "Caption") Add(window, "Tracked", titles[i], cells[i]);
        Add(window, "Tracked", "Style names", StyleText(record.Style, record.ClassName));
        Add(window, "Tracked", "Extended style names",
            ExtendedStyleText(static_cast<uint32_t>(GetWindowLongA(handle, GWL_EXSTYLE))));
        for (const std::unique_ptr<TPropertyGroup>& group : groups) {
            group->Update(record);
            for (int i = 0; i < group->Count(); ++i)
                Add(window, group->Name, group->GetDescription(i), group->GetValue(i));
        }
        // The Window group leaves the place to the walk, which knows it already.
        for (TSnapshotValue& value : window.Values)
            if (value.Name == ZOrderName && IsWindow(handle))
                value.Value = ZOrderText(pending.Place, pending.Count);
        if (!(record.Style & WS_CHILD)) {
            int budget = MaxMenuItems;
            AddMenu(window, GetMenu(handle), std::string(), 0, budget);
        }
        return window;
    }

    // Another process's menus cannot be read under Wine: such a menu adds nothing.
    void AddMenu(TSnapshotWindow& window, HMENU menu, const std::string& prefix, int depth, int& budget) {
        const int count = menu && IsMenu(menu) ? GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count && budget > 0 && depth < MaxMenuDepth; ++i, --budget) {
            char text[256] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            std::string value = Utf8Cut(text, std::strlen(text));
            if (state & MF_SEPARATOR) value = "-";
            if (state & MF_CHECKED) value += " (checked)";
            if (state & (MF_GRAYED | MF_DISABLED)) value += " (disabled)";
            const std::string position = prefix + std::to_string(i + 1);
            Add(window, "Menu", position, value);
            if (HMENU sub = GetSubMenu(menu, i)) AddMenu(window, sub, position + ".", depth + 1, budget);
        }
    }

    std::vector<std::unique_ptr<TPropertyGroup>> groups;
    std::vector<std::string> titles;
    std::set<DWORD> hungThreads;
};

struct TWorkerJob {
    HWND Root;
    TGatheredSnapshot Result;
};

DWORD WINAPI GatherWorker(void* parameter) {
    auto& job = *static_cast<TWorkerJob*>(parameter);
    try {
        job.Result = GatherSnapshot(job.Root);
    } catch (const std::exception&) {
        job.Result = TGatheredSnapshot();
    }
    return 0;
}

} // namespace

TGatheredSnapshot GatherSnapshot(HWND root, size_t maxWindows) {
    return TGatherer().Gather(root, maxWindows);
}

TGatheredSnapshot GatherSnapshotOnWorker(HWND root) {
    TWorkerJob job{root, {}};
    TKernelHandle thread(CreateThread(nullptr, 0, GatherWorker, &job, 0, nullptr));
    if (!thread) return GatherSnapshot(root);
    HANDLE handle = thread.Get();
    // Only sent messages and painting are handled meanwhile: posted input waits, so no command starts
    // inside this one, and the windows do not stay blank while a big subtree is read.
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT) !=
           WAIT_OBJECT_0) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return std::move(job.Result);
}
