// The snapshot file: a version line, then one section per window in tree order, each a "[path]" header and
// "name = value" lines ("name ~ value" for a value that is kept but never compared). UTF-8, "\n" line ends.
#pragma once

#include "snapshot/Snapshot.h"

#include <string>
#include <string_view>

extern const char* const SnapshotSignature; // "Paneprobe snapshot"
const int SnapshotVersion = 1;

// The same snapshot always gives the same bytes: nothing in the file depends on when it was written.
std::string WriteSnapshot(const TSnapshot& snapshot);

// Reads what WriteSnapshot wrote (also with "\r\n" line ends). A damaged or foreign text gives false and a
// message that names the line ("line 12: ..."); `snapshot` is then empty.
bool ReadSnapshot(std::string_view text, TSnapshot& snapshot, std::string& error);
