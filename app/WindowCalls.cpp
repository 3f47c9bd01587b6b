// Calls on other threads' windows that never wait for those threads.
#include "app/WindowCalls.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A hung window keeps its worker blocked for as long as it hangs: these bound what that can cost.
const size_t MaxWorkers = 16;
const size_t MaxCallsPerWorker = 32;

struct TCallQueue {
    DWORD Thread = 0; // the thread whose windows the calls go to
    std::deque<std::function<void()>> Calls;
};

struct TCallState {
    std::mutex Lock;
    // One queue per thread that has calls waiting or running; a queue lives exactly as long as its worker.
    std::vector<std::unique_ptr<TCallQueue>> Queues;

    std::vector<std::unique_ptr<TCallQueue>>::iterator Find(DWORD thread) {
        return std::find_if(Queues.begin(), Queues.end(),
                            [thread](const auto& q) { return q->Thread == thread; });
    }
};

// Never destroyed: a worker still blocked on a hung window when the program ends must not find it gone.
TCallState& State() {
    static TCallState* state = new TCallState;
    return *state;
}

void Work(DWORD thread) {
    TCallState& state = State();
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> guard(state.Lock);
            auto queue = state.Find(thread);
            if (queue == state.Queues.end()) return;
            if ((*queue)->Calls.empty()) {
                state.Queues.erase(queue);
                return;
            }
            call = std::move((*queue)->Calls.front());
            (*queue)->Calls.pop_front();
        }
        try {
            call();
        } catch (...) {
            // Nobody waits for the result; a failed call is as if the window had refused it.
        }
    }
}

} // namespace

bool IsOwnThreadWindow(HWND window) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread == 0 || thread == GetCurrentThreadId();
}

bool CallWithoutWaiting(HWND window, std::function<void()> call) {
    if (IsOwnThreadWindow(window)) {
        call();
        return true;
    }
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    TCallState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    auto queue = state.Find(thread);
    if (queue != state.Queues.end()) {
        if ((*queue)->Calls.size() >= MaxCallsPerWorker) return false;
        (*queue)->Calls.push_back(std::move(call));
        return true;
    }
    if (state.Queues.size() >= MaxWorkers) return false;
    auto added = std::make_unique<TCallQueue>();
    added->Thread = thread;
    added->Calls.push_back(std::move(call));
    state.Queues.push_back(std::move(added));
    try {
        // Detached: it may stay blocked on a hung window for good, and nothing may ever wait to join it.
        std::thread(Work, thread).detach();
    } catch (...) {
        state.Queues.pop_back();
        return false;
    }
    return true;
}

int WindowCallWorkers() {
    TCallState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    return static_cast<int>(state.Queues.size());
}

int PendingWindowCalls() {
    TCallState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    size_t pending = 0;
    for (const auto& queue : state.Queues)
        pending += queue->Calls.size();
    return static_cast<int>(pending);
}

bool SetWindowPosSafely(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!IsOwnThreadWindow(window)) flags |= SWP_ASYNCWINDOWPOS;
    return SetWindowPos(window, insertAfter, x, y, width, height, flags) != FALSE;
}

bool RedrawWindowSafely(HWND window, UINT flags) {
    if (!IsOwnThreadWindow(window)) flags &= ~static_cast<UINT>(RDW_ERASENOW | RDW_UPDATENOW);
    return RedrawWindow(window, nullptr, nullptr, flags) != FALSE;
}

void ShowScrollBarSafely(HWND window, int bar, bool show) {
    CallWithoutWaiting(window, [window, bar, show] { ShowScrollBar(window, bar, show); });
}

void SetWindowLongSafely(HWND window, int index, LONG value) {
    CallWithoutWaiting(window, [window, index, value] { SetWindowLongA(window, index, value); });
}

void SetWindowTextSafely(HWND window, const std::string& text) {
    CallWithoutWaiting(window, [window, text] {
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    });
}
