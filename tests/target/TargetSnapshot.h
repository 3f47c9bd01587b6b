// The target program's snapshot mode: a window whose subtree the snapshot tests change in known ways.
#pragma once

#include <windows.h>

#include <string>

// With " snapshot" among the arguments: a top-level window of class "PaneprobeSnapshotFrame", captioned
// caption + " snapshot", at a fixed place, holding a button (id 11, "First"), a static (id 12, "Label") and a
// panel (id 13) with an edit (id 14, "inner"). WM_APP + 20 to it adds a button (id 21, "Added"), WM_APP + 21
// destroys the static. With " snapshot=N" the panel also holds N statics in panels of 50 (for the figures).
void CreateSnapshotWindowsIfAsked(HINSTANCE instance, const std::string& arguments,
                                  const std::string& caption);
