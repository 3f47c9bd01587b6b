// The comparison of two snapshots of one window: the windows added and removed, and per window that is in
// both, each value that changed. Windows are matched by their path of class names and control ids, by the
// caption where siblings share both, then by order among siblings that share all three; never by handle.
#pragma once

#include "snapshot/Snapshot.h"

#include <string>
#include <vector>

enum class TDifferenceKind { Added, Removed, Changed };

struct TSnapshotDifference {
    TDifferenceKind Kind = TDifferenceKind::Changed;
    std::string Path; // in the newer snapshot, in the older one for a removed window
    std::string Name; // the value that changed; empty for an added or removed window
    std::string Old, New;
    bool OldAbsent = false, NewAbsent = false; // the value is in one snapshot only
    int OldWindow = -1, NewWindow = -1;        // indices of the window in each snapshot, -1 where it is not
};

// Values marked run-dependent on either side are compared by presence only. The cost grows with the
// number of windows and values, however many siblings share a key.
std::vector<TSnapshotDifference> CompareSnapshots(const TSnapshot& older, const TSnapshot& newer);

const char* DifferenceKindText(TDifferenceKind kind);
// One line per difference, tab-separated (kind, path, value, old, new) under a line of column names; values
// escaped as in the file, so that each stays on its line.
std::string DifferencesText(const std::vector<TSnapshotDifference>& differences);
