// The "&Tools" menu's snapshot commands: save a window's subtree to a file, compare a file with the window
// now; and the differences windows they open.
#pragma once

#include "snapshot/SnapshotDiffForm.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TSnapshots {
  public:
    TSnapshots() = default;
    TSnapshots(const TSnapshots&) = delete;
    TSnapshots& operator=(const TSnapshots&) = delete;

    // Writes the window and its subtree; empty when done, otherwise what went wrong.
    std::string SaveTo(HWND root, const std::string& path);
    // Compares the file with the window now and opens a window of the differences; null, with the reason in
    // `error`, when the file cannot be read or is no snapshot.
    TSnapshotDiffForm* CompareWith(HWND root, const std::string& path, std::string& error);
    // The menu commands: the standard dialog asks for the file, a message box tells of a failure.
    void Save(HWND root, HWND owner);
    void Compare(HWND root, HWND owner);

    int Count();
    TSnapshotDiffForm* Form(int index);
    void CloseAll() { forms.clear(); }

  private:
    void DropClosed();
    std::vector<std::unique_ptr<TSnapshotDiffForm>> forms;
    bool busy = false; // a command runs: the wait for the gathering answers sent messages only
};

// The path the standard dialog gives; false when cancelled.
bool AskSnapshotPath(HWND owner, bool save, std::string& path);
