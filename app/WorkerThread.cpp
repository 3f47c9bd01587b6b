#include "app/WorkerThread.h"

#include <system_error>
#include <thread>

TWorkerThread::~TWorkerThread() {
    if (!state) return;
    std::lock_guard<std::mutex> hold(state->Lock);
    state->Stopping = true;
    state->Wake.notify_one();
}

bool TWorkerThread::TryRun(std::function<void()> work, std::function<void()> then) {
    if (!state) {
        auto fresh = std::make_shared<TState>();
        try {
            std::thread([fresh] { Loop(fresh); }).detach();
        } catch (const std::system_error&) {
            return false;
        }
        state = std::move(fresh);
    }
    std::lock_guard<std::mutex> hold(state->Lock);
    if (state->Busy) return false;
    state->Busy = true;
    state->Work = std::move(work);
    state->Then = std::move(then);
    state->Wake.notify_one();
    return true;
}

void TWorkerThread::Loop(const std::shared_ptr<TState>& state) {
    std::unique_lock<std::mutex> hold(state->Lock);
    for (;;) {
        state->Wake.wait(hold, [&state] { return state->Stopping || state->Work; });
        if (!state->Work) return; // stopping with nothing to do
        std::function<void()> work = std::move(state->Work);
        std::function<void()> then = std::move(state->Then);
        state->Work = nullptr;
        state->Then = nullptr;
        hold.unlock();
        work();
        work = nullptr; // what the work holds goes before the thread takes the next
        hold.lock();
        state->Busy = false;
        if (then) {
            hold.unlock();
            then();
            then = nullptr;
            hold.lock();
        }
        if (state->Stopping) return;
    }
}
