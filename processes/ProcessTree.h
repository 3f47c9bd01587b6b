// The process records of one snapshot, their tree, and the choice of each process's best window; no
// platform code, so that the arrangement and the choice are tested on plain data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One process of a snapshot.
struct TProcess {
    uint32_t ProcessId = 0;
    uint32_t ParentProcessId = 0; // may name a process that has ended, or whose identifier was reused
    uint32_t ThreadCount = 0;
    int32_t BasePriority = 0;
    std::string ExeFile; // file name without its folder
    int32_t Depth = 0;
    const TProcess* Parent = nullptr; // a record of the same snapshot, or null for a root
    uintptr_t Window = 0;             // the best top-level window; a window handle, pointer-sized
    // File times: 100-nanosecond units; CreationTime and ExitTime count from 1601-01-01 UTC.
    uint64_t CreationTime = 0;
    uint64_t ExitTime = 0;
    uint64_t KernelTime = 0;
    uint64_t UserTime = 0;
};

// An ordered list that owns its records, in snapshot order until BuildTree arranges it.
class TProcessList {
  public:
    TProcessList() = default;
    TProcessList(const TProcessList&) = delete;
    TProcessList& operator=(const TProcessList&) = delete;
    virtual ~TProcessList() = default;

    int Count() const { return static_cast<int>(Items.size()); }
    // index within 0..Count()-1
    TProcess& Item(int index) const { return *Items[static_cast<size_t>(index)]; }
    void Clear();
    TProcess& Add(std::unique_ptr<TProcess> process);
    // The first record in list order with this identifier, or null.
    TProcess* FindById(uint32_t processId) const;
    // Each root followed by its descendants, a parent's later children directly after it. Only a parent
    // listed earlier counts: a child listed before its parent, and a process naming itself, stay roots.
    void BuildTree();

  private:
    void Reindex() const;
    std::vector<std::unique_ptr<TProcess>> Items;
    // First position of each identifier in list order; rebuilt when the order changes.
    mutable std::unordered_map<uint32_t, size_t> index;
    mutable bool indexStale = true;
};

// What a window score needs to know about one top-level window.
struct TWindowFacts {
    uintptr_t Window = 0;
    uint32_t ProcessId = 0;
    int TextLength = 0;
    bool HasParent = false; // a parent, or for a top-level window an owner
    int Width = 0;
    int Height = 0;
    uint32_t Style = 0;
};

// How well a window represents its process, 0..6: a text 2, no parent or owner 1, a non-empty rectangle
// 1, WS_BORDER 1, WS_VISIBLE 1.
int WindowScore(const TWindowFacts& window);

// Sets Window of every record to its process's highest-scoring window; windows come in z-order from the
// top, so the topmost wins a tie, and a window of score 0 is never chosen. One pass over the windows.
void ChooseBestWindows(TProcessList& processes, const std::vector<TWindowFacts>& windows);
