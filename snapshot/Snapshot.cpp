// TSnapshot: building the tree and naming its windows by path.
#include "snapshot/Snapshot.h"

#include "snapshot/SnapshotText.h"

#include <unordered_map>
#include <utility>

int TSnapshot::Add(int parent, TSnapshotWindow window) {
    const int index = static_cast<int>(Windows.size());
    window.Parent = parent;
    window.Children.clear();
    Windows.push_back(std::move(window));
    if (parent >= 0) Windows[static_cast<size_t>(parent)].Children.push_back(index);
    return index;
}

bool TSnapshot::SameAs(const TSnapshot& other) const {
    if (Windows.size() != other.Windows.size()) return false;
    for (size_t i = 0; i < Windows.size(); ++i) {
        const TSnapshotWindow& a = Windows[i];
        const TSnapshotWindow& b = other.Windows[i];
        if (a.ClassName != b.ClassName || a.ControlId != b.ControlId || a.Caption != b.Caption ||
            a.Values != b.Values || a.Parent != b.Parent || a.Children != b.Children)
            return false;
    }
    return true;
}

std::vector<std::string> SnapshotPaths(const TSnapshot& snapshot) {
    const size_t count = snapshot.Windows.size();
    // Numbered among the siblings with the same element, so that each path names one window. A child
    // comes after its parent, so its number is known before its path is made.
    std::vector<int> ordinals(count, 1);
    std::vector<std::string> paths(count);
    std::unordered_map<std::string, int> seen;
    for (size_t i = 0; i < count; ++i) {
        const TSnapshotWindow& window = snapshot.Windows[i];
        std::string path = window.Parent >= 0 ? paths[static_cast<size_t>(window.Parent)] : std::string();
        path += "/" + PathElement(window.ClassName, window.ControlId);
        if (ordinals[i] >= 2) path += "~" + std::to_string(ordinals[i]);
        paths[i] = std::move(path);
        seen.clear();
        for (int child : window.Children) {
            const TSnapshotWindow& c = snapshot.Windows[static_cast<size_t>(child)];
            ordinals[static_cast<size_t>(child)] = ++seen[PathElement(c.ClassName, c.ControlId)];
        }
    }
    return paths;
}
