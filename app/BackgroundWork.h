// TBackgroundWork: gathering on a thread of its own whose result reaches the user-interface thread by a
// posted message; a newer request drops the result of an older one.
#pragma once

#include "app/WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

// One share of filling a list with a worker's result on the user-interface thread: the window answers
// between shares, so tens of thousands of rows do not stop it for seconds. A share is well under the 50 ms
// a user notices: a single step may overrun it when the system is busy.
class TFillShare {
  public:
    static constexpr double DefaultSeconds = 0.015;
    explicit TFillShare(double seconds = DefaultSeconds) : start(Now()), limit(seconds) {}
    bool Spent() const { return Now() - start >= limit; }
    // Whether a closing step that costs about a share (drawing turned back on lays out and paints a whole
    // list) still fits in this one; a small fill then ends in the dispatch that began it.
    bool RoomToFinish() const { return Now() - start < limit / 3; }

  private:
    static double Now() {
        LARGE_INTEGER frequency, counter;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
        return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
    const double start;
    const double limit;
};

template <class TResult> class TBackgroundWork {
  public:
    // Given the cancel flag, which it may look at now and then to end early.
    using TGather = std::function<TResult(const std::atomic<bool>& cancelled)>;

    explicit TBackgroundWork(UINT message) : Message(message) {}
    TBackgroundWork(const TBackgroundWork&) = delete;
    TBackgroundWork& operator=(const TBackgroundWork&) = delete;
    // Nothing waits: a worker still running finishes on its own, and its word reaches no one.
    ~TBackgroundWork() { Abandon(); }

    // Starts gathering and posts Message with the request's number as wParam to notify when done. A
    // request still running is abandoned.
    void Start(HWND notify, TGather gather) {
        Abandon();
        auto job = std::make_shared<TJob>();
        job->Serial = ++serial;
        job->Gather = std::move(gather);
        current = job;
        auto gathering = [job] {
            job->Result = job->Gather(job->Cancel);
            job->Finished = true;
        };
        auto tell = [notify, message = Message, posted = static_cast<WPARAM>(job->Serial)] {
            PostMessageA(notify, message, posted, 0);
        };
        if (worker.TryRun(gathering, tell)) return;
        // The kept thread still runs an older request (one abandoned, or one that blocks): a thread of its
        // own.
        auto run = [gathering, tell] {
            gathering();
            tell();
        };
        try {
            std::thread(run).detach();
        } catch (const std::system_error&) {
            run(); // no thread to be had: the gathering runs here after all
        }
    }
    bool Running() const { return current != nullptr; }
    // The result that a posted word announces; nothing for an abandoned request or a stray message.
    std::optional<TResult> Take(WPARAM posted) {
        if (!current || current->Serial != static_cast<unsigned>(posted) || !current->Finished)
            return std::nullopt;
        std::shared_ptr<TJob> job = std::move(current);
        return std::move(job->Result);
    }
    // Tells the running worker to stop early; its result will be dropped.
    void Abandon() {
        if (current) current->Cancel = true;
        current.reset();
    }
    // The request number that the next word must carry (for tests that deliver a stale one).
    unsigned Serial() const { return serial; }

  private:
    // Shared by the worker and the owner: whichever lets go last frees it.
    struct TJob {
        std::atomic<bool> Cancel{false};
        std::atomic<bool> Finished{false};
        unsigned Serial = 0;
        TGather Gather;
        TResult Result{};
    };
    const UINT Message;
    unsigned serial = 0;
    std::shared_ptr<TJob> current;
    TWorkerThread worker;
};
