// Matching the windows of two snapshots and listing what differs.
#include "snapshot/SnapshotCompare.h"

#include "snapshot/SnapshotText.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

struct TSides {
    std::vector<int> Older, Newer;
};

std::string SiblingKey(const TSnapshotWindow& window) {
    std::string key = window.ClassName;
    key += '\0';
    key += window.ControlId;
    return key;
}

class TComparison {
  public:
    TComparison(const TSnapshot& older, const TSnapshot& newer)
        : older(older), newer(newer), olderPaths(SnapshotPaths(older)), newerPaths(SnapshotPaths(newer)) {}

    std::vector<TSnapshotDifference> Run() {
        if (older.Empty() && newer.Empty()) return {};
        if (older.Empty()) {
            ListSubtree(TDifferenceKind::Added, 0);
            return std::move(differences);
        }
        if (newer.Empty()) {
            ListSubtree(TDifferenceKind::Removed, 0);
            return std::move(differences);
        }
        // The roots are the window the user chose both times: matched whatever their keys.
        std::vector<std::pair<int, int>> pending = {{0, 0}};
        while (!pending.empty()) {
            const auto [o, n] = pending.back();
            pending.pop_back();
            CompareWindow(o, n);
            std::vector<std::pair<int, int>> matched = MatchChildren(o, n);
            // Reversed onto the stack, so that the windows come out in the newer snapshot's order.
            for (auto pair = matched.rbegin(); pair != matched.rend(); ++pair)
                pending.push_back(*pair);
        }
        return std::move(differences);
    }

  private:
    void Change(int o, int n, std::string name, const std::string* before, const std::string* after) {
        TSnapshotDifference difference;
        difference.Kind = TDifferenceKind::Changed;
        difference.Path = newerPaths[static_cast<size_t>(n)];
        difference.Name = std::move(name);
        difference.OldAbsent = before == nullptr;
        difference.NewAbsent = after == nullptr;
        if (before) difference.Old = *before;
        if (after) difference.New = *after;
        difference.OldWindow = o;
        difference.NewWindow = n;
        differences.push_back(std::move(difference));
    }

    void CompareWindow(int o, int n) {
        const TSnapshotWindow& a = older.Windows[static_cast<size_t>(o)];
        const TSnapshotWindow& b = newer.Windows[static_cast<size_t>(n)];
        if (a.ClassName != b.ClassName) Change(o, n, "class", &a.ClassName, &b.ClassName);
        if (a.ControlId != b.ControlId) Change(o, n, "id", &a.ControlId, &b.ControlId);
        if (a.Caption != b.Caption) Change(o, n, "caption", &a.Caption, &b.Caption);
        // A name may repeat (two entries of a property list): its values pair up in order.
        std::unordered_map<std::string_view, std::vector<size_t>> byName;
        for (size_t i = 0; i < a.Values.size(); ++i)
            byName[a.Values[i].Name].push_back(i);
        std::unordered_map<std::string_view, size_t> taken;
        std::vector<bool> used(a.Values.size(), false);
        for (const TSnapshotValue& value : b.Values) {
            auto found = byName.find(value.Name);
            size_t& next = taken[value.Name];
            if (found == byName.end() || next >= found->second.size()) {
                Change(o, n, value.Name, nullptr, &value.Value);
                continue;
            }
            const TSnapshotValue& before = a.Values[found->second[next]];
            used[found->second[next++]] = true;
            if (!before.RunDependent && !value.RunDependent && before.Value != value.Value)
                Change(o, n, value.Name, &before.Value, &value.Value);
        }
        for (size_t i = 0; i < a.Values.size(); ++i)
            if (!used[i]) Change(o, n, a.Values[i].Name, &a.Values[i].Value, nullptr);
    }

    // Pairs of matched children in the newer order; the others are listed as added or removed.
    std::vector<std::pair<int, int>> MatchChildren(int o, int n) {
        const std::vector<int>& olderChildren = older.Windows[static_cast<size_t>(o)].Children;
        const std::vector<int>& newerChildren = newer.Windows[static_cast<size_t>(n)].Children;
        std::unordered_map<std::string, TSides> byKey;
        for (int child : olderChildren)
            byKey[SiblingKey(older.Windows[static_cast<size_t>(child)])].Older.push_back(child);
        for (int child : newerChildren)
            byKey[SiblingKey(newer.Windows[static_cast<size_t>(child)])].Newer.push_back(child);
        std::unordered_map<int, int> partnerOfNewer;
        std::unordered_map<int, bool> olderTaken;
        for (auto& entry : byKey) {
            TSides& sides = entry.second;
            if (sides.Older.size() == 1 && sides.Newer.size() == 1) {
                partnerOfNewer[sides.Newer[0]] = sides.Older[0];
                olderTaken[sides.Older[0]] = true;
                continue;
            }
            if (sides.Older.empty() || sides.Newer.empty()) continue;
            // Siblings that share class and id: by caption, then in order among the same caption.
            std::unordered_map<std::string_view, TSides> byCaption;
            for (int child : sides.Older)
                byCaption[older.Windows[static_cast<size_t>(child)].Caption].Older.push_back(child);
            for (int child : sides.Newer)
                byCaption[newer.Windows[static_cast<size_t>(child)].Caption].Newer.push_back(child);
            for (auto& same : byCaption) {
                const size_t pairs = std::min(same.second.Older.size(), same.second.Newer.size());
                for (size_t i = 0; i < pairs; ++i) {
                    partnerOfNewer[same.second.Newer[i]] = same.second.Older[i];
                    olderTaken[same.second.Older[i]] = true;
                }
            }
        }
        std::vector<std::pair<int, int>> matched;
        for (int child : newerChildren) {
            auto partner = partnerOfNewer.find(child);
            if (partner == partnerOfNewer.end())
                ListSubtree(TDifferenceKind::Added, child);
            else
                matched.emplace_back(partner->second, child);
        }
        for (int child : olderChildren)
            if (olderTaken.find(child) == olderTaken.end()) ListSubtree(TDifferenceKind::Removed, child);
        return matched;
    }

    // Every window of the subtree, in pre-order.
    void ListSubtree(TDifferenceKind kind, int root) {
        const bool added = kind == TDifferenceKind::Added;
        const TSnapshot& snapshot = added ? newer : older;
        const std::vector<std::string>& paths = added ? newerPaths : olderPaths;
        std::vector<int> pending = {root};
        while (!pending.empty()) {
            const int index = pending.back();
            pending.pop_back();
            TSnapshotDifference difference;
            difference.Kind = kind;
            difference.Path = paths[static_cast<size_t>(index)];
            (added ? difference.NewWindow : difference.OldWindow) = index;
            differences.push_back(std::move(difference));
            const std::vector<int>& children = snapshot.Windows[static_cast<size_t>(index)].Children;
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }

    const TSnapshot& older;
    const TSnapshot& newer;
    const std::vector<std::string> olderPaths, newerPaths;
    std::vector<TSnapshotDifference> differences;
};

std::string ValueText(const std::string& value, bool absent) {
    return absent ? "(absent)" : EscapeValue(value);
}

} // namespace

std::vector<TSnapshotDifference> CompareSnapshots(const TSnapshot& older, const TSnapshot& newer) {
    return TComparison(older, newer).Run();
}

const char* DifferenceKindText(TDifferenceKind kind) {
    switch (kind) {
    case TDifferenceKind::Added:
        return "Added";
    case TDifferenceKind::Removed:
        return "Removed";
    default:
        return "Changed";
    }
}

std::string DifferencesText(const std::vector<TSnapshotDifference>& differences) {
    std::string text = "Difference\tWindow\tValue\tOld\tNew\n";
    for (const TSnapshotDifference& d : differences) {
        text += DifferenceKindText(d.Kind);
        text += '\t' + d.Path + '\t' + EscapeValue(d.Name);
        if (d.Kind == TDifferenceKind::Changed)
            text += '\t' + ValueText(d.Old, d.OldAbsent) + '\t' + ValueText(d.New, d.NewAbsent);
        text += '\n';
    }
    return text;
}
