// The snapshot model: a tree of windows, each with its key (class, control id, caption) and an ordered list
// of named values, and the path that names a window in its tree.
#pragma once

#include <string>
#include <vector>

struct TSnapshotValue {
    std::string Name;
    std::string Value;
    // Differs from run to run by nature (a handle, a thread id, a time): kept for the reader, never compared.
    bool RunDependent = false;

    bool operator==(const TSnapshotValue& other) const {
        return Name == other.Name && Value == other.Value && RunDependent == other.RunDependent;
    }
};

struct TSnapshotWindow {
    std::string ClassName;
    std::string ControlId; // empty for a window without one (a top-level window)
    std::string Caption;
    std::vector<TSnapshotValue> Values;
    int Parent = -1;
    std::vector<int> Children; // in the order they were gathered (z-order, top first)
};

// Windows in pre-order: the root first, every parent before its children.
class TSnapshot {
  public:
    std::vector<TSnapshotWindow> Windows;

    // Adds a window under the parent (-1 for the root, which must come first) and returns its index.
    int Add(int parent, TSnapshotWindow window);
    bool Empty() const { return Windows.empty(); }
    // The same tree with the same keys and values, whatever the paths.
    bool SameAs(const TSnapshot& other) const;
};

// The path of every window, by index: "/" then the elements from the root down. An element is the class
// name, "#" and the control id when it has one, and "~n" for the n-th (n >= 2) sibling with the same two.
// Characters that would be read as structure are escaped as in the file.
std::vector<std::string> SnapshotPaths(const TSnapshot& snapshot);
