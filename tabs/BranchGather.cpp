#include "tabs/BranchGather.h"

#include <algorithm>
#include <unordered_set>

namespace {

class TBranchWalk {
  public:
    TBranchWalk(size_t maxNodes, const std::atomic<bool>& cancelled)
        : maxNodes(maxNodes), cancelled(cancelled) {}

    void Add(HWND window, int parent) {
        nodes.push_back(Describe(window, parent));
        seen.insert(window);
        AddChildren(static_cast<int>(nodes.size()) - 1);
    }
    std::vector<TBranchNode> Take() { return cancelled ? std::vector<TBranchNode>() : std::move(nodes); }

  private:
    static TBranchNode Describe(HWND window, int parent) {
        char className[256] = "";
        GetClassNameA(window, className, sizeof className);
        className[sizeof className - 1] = '\0';
        const bool visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
        return {window, parent, visible, className};
    }

    // One level is read whole and sorted before its first window's children are walked.
    void AddChildren(int parent) {
        std::vector<TBranchNode> level;
        for (HWND window = GetWindow(nodes[static_cast<size_t>(parent)].Window, GW_CHILD); window;
             window = GetWindow(window, GW_HWNDNEXT)) {
            if (cancelled || seen.size() >= maxNodes || !seen.insert(window).second) break;
            level.push_back(Describe(window, parent));
        }
        std::stable_sort(level.begin(), level.end(), [](const TBranchNode& a, const TBranchNode& b) {
            return lstrcmpA(a.ClassName.c_str(), b.ClassName.c_str()) < 0;
        });
        for (TBranchNode& node : level) {
            nodes.push_back(std::move(node));
            AddChildren(static_cast<int>(nodes.size()) - 1);
        }
    }

    const size_t maxNodes;
    const std::atomic<bool>& cancelled;
    std::vector<TBranchNode> nodes;
    std::unordered_set<HWND> seen;
};

} // namespace

std::vector<TBranchNode> GatherBranch(HWND start, size_t maxNodes, const std::atomic<bool>& cancelled) {
    if (!start || maxNodes == 0) return {};
    TBranchWalk walk(maxNodes, cancelled);
    walk.Add(start, -1);
    return walk.Take();
}
