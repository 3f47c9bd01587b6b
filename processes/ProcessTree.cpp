// The process list, its tree and the best-window choice.
#include "processes/ProcessTree.h"

#include <utility>

namespace {

const uint32_t StyleBorder = 0x00800000;  // WS_BORDER, part of every caption bar
const uint32_t StyleVisible = 0x10000000; // WS_VISIBLE

} // namespace

void TProcessList::Clear() {
    Items.clear();
    indexStale = true;
}

TProcess& TProcessList::Add(std::unique_ptr<TProcess> process) {
    Items.push_back(std::move(process));
    indexStale = true;
    return *Items.back();
}

void TProcessList::Reindex() const {
    if (!indexStale) return;
    index.clear();
    index.reserve(Items.size());
    for (size_t i = 0; i < Items.size(); ++i)
        index.emplace(Items[i]->ProcessId, i); // keeps the first position of a repeated identifier
    indexStale = false;
}

TProcess* TProcessList::FindById(uint32_t processId) const {
    Reindex();
    auto found = index.find(processId);
    return found == index.end() ? nullptr : Items[found->second].get();
}

// Placing each record directly behind its parent, in one pass where only earlier records count as
// parents, gives a depth-first order: roots in list order, and under each parent its children latest
// first. Building that order from child lists takes linear time instead of a search and a move per record.
void TProcessList::BuildTree() {
    const size_t n = Items.size();
    Reindex();
    std::vector<std::vector<size_t>> children(n);
    std::vector<size_t> roots;
    for (size_t i = 0; i < n; ++i) {
        TProcess& process = *Items[i];
        process.Parent = nullptr;
        process.Depth = 0;
        auto parent = index.find(process.ParentProcessId);
        if (parent != index.end() && parent->second < i) {
            const TProcess& owner = *Items[parent->second];
            process.Parent = &owner;
            process.Depth = owner.Depth + 1;
            children[parent->second].push_back(i);
        } else {
            roots.push_back(i);
        }
    }
    std::vector<std::unique_ptr<TProcess>> arranged;
    arranged.reserve(n);
    std::vector<size_t> pending;
    for (size_t root : roots) {
        pending.push_back(root);
        while (!pending.empty()) {
            size_t next = pending.back();
            pending.pop_back();
            arranged.push_back(std::move(Items[next]));
            // Pushed in list order, so the latest child comes out first.
            for (size_t child : children[next])
                pending.push_back(child);
        }
    }
    Items = std::move(arranged);
    indexStale = true;
}

int WindowScore(const TWindowFacts& window) {
    int score = 0;
    if (window.TextLength > 0) score += 2;
    if (!window.HasParent) score += 1;
    if (window.Width > 0 && window.Height > 0) score += 1;
    if (window.Style & StyleBorder) score += 1;
    if (window.Style & StyleVisible) score += 1;
    return score;
}

void ChooseBestWindows(TProcessList& processes, const std::vector<TWindowFacts>& windows) {
    struct TBest {
        int Score = 0;
        uintptr_t Window = 0;
    };
    std::unordered_map<uint32_t, TBest> best;
    best.reserve(static_cast<size_t>(processes.Count()));
    for (int i = 0; i < processes.Count(); ++i)
        best.emplace(processes.Item(i).ProcessId, TBest());
    for (const TWindowFacts& window : windows) {
        auto entry = best.find(window.ProcessId);
        if (entry == best.end()) continue;
        int score = WindowScore(window);
        if (score > entry->second.Score) entry->second = {score, window.Window};
    }
    for (int i = 0; i < processes.Count(); ++i)
        processes.Item(i).Window = best[processes.Item(i).ProcessId].Window;
}
