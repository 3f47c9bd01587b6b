// TWorkerThread: one thread kept for a series of requests, because starting a thread costs milliseconds
// under Wine (every loaded library hears of it). It takes a request only while idle, so a request that
// blocks (a path on an unreachable share) never holds up the next one: that one gets a thread of its own.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class TWorkerThread {
  public:
    TWorkerThread() = default;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;
    // Nothing waits: a request still running finishes on its own, then the thread ends.
    ~TWorkerThread();

    // Runs the work on the kept thread when it is idle (starting it the first time); false when it is busy
    // or no thread can be had, and the caller runs the work elsewhere. The thread counts as idle again
    // before then runs (the word that the work is done): a request made on hearing it takes this thread,
    // not a new one.
    bool TryRun(std::function<void()> work, std::function<void()> then = {});

  private:
    // Shared with the thread, which may outlive the owner.
    struct TState {
        std::mutex Lock;
        std::condition_variable Wake;
        std::function<void()> Work;
        std::function<void()> Then;
        bool Busy = false;
        bool Stopping = false;
    };
    static void Loop(const std::shared_ptr<TState>& state);
    std::shared_ptr<TState> state;
};
