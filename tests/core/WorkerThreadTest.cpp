// The kept worker thread: one thread for a series of requests, never two at once, and an owner that goes
// away without waiting for a request that still runs.
#include "app/WorkerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace {

const auto Watchdog = std::chrono::seconds(10);

TEST(WorkerThread, RequestsInTurnRunOnOneKeptThreadAndABusyOneRefusesTheNext) {
    TWorkerThread worker;
    std::thread::id first, second;
    std::promise<void> firstDone, release, secondDone;
    std::shared_future<void> released = release.get_future().share();
    ASSERT_TRUE(worker.TryRun([&] {
        first = std::this_thread::get_id();
        firstDone.set_value();
        released.wait();
    }));
    ASSERT_EQ(firstDone.get_future().wait_for(Watchdog), std::future_status::ready);
    EXPECT_NE(first, std::this_thread::get_id());
    EXPECT_FALSE(worker.TryRun([] {})) << "busy: the caller must find another thread";
    release.set_value();
    // The thread becomes idle once the first request has returned.
    bool taken = false;
    for (auto start = std::chrono::steady_clock::now();
         !taken && std::chrono::steady_clock::now() - start < Watchdog;) {
        taken = worker.TryRun([&] {
            second = std::this_thread::get_id();
            secondDone.set_value();
        });
        if (!taken) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(taken);
    ASSERT_EQ(secondDone.get_future().wait_for(Watchdog), std::future_status::ready);
    EXPECT_EQ(second, first) << "the same thread, not a new one for each request";
}

// The word that a request is done reaches its owner, who may ask again at once: the thread must be idle by
// then, or each request in a quick series starts a thread of its own.
TEST(WorkerThread, ARequestMadeOnHearingThatTheLastIsDoneTakesTheSameThread) {
    TWorkerThread worker;
    std::thread::id first;
    std::promise<bool> takenOnHearing;
    std::promise<std::thread::id> second;
    ASSERT_TRUE(worker.TryRun([&] { first = std::this_thread::get_id(); },
                              [&] {
                                  takenOnHearing.set_value(
                                      worker.TryRun([&] { second.set_value(std::this_thread::get_id()); }));
                              }));
    std::future<bool> taken = takenOnHearing.get_future();
    ASSERT_EQ(taken.wait_for(Watchdog), std::future_status::ready);
    ASSERT_TRUE(taken.get());
    std::future<std::thread::id> ran = second.get_future();
    ASSERT_EQ(ran.wait_for(Watchdog), std::future_status::ready);
    EXPECT_EQ(ran.get(), first);
}

TEST(WorkerThread, TheOwnerGoesWithoutWaitingAndTheRunningRequestStillFinishes) {
    auto finished = std::make_shared<std::promise<void>>();
    std::future<void> done = finished->get_future();
    std::promise<void> started, release;
    std::shared_future<void> released = release.get_future().share();
    {
        TWorkerThread worker;
        ASSERT_TRUE(worker.TryRun([finished, &started, released] {
            started.set_value();
            released.wait();
            finished->set_value();
        }));
        ASSERT_EQ(started.get_future().wait_for(Watchdog), std::future_status::ready);
    } // the owner is gone while its request waits
    EXPECT_EQ(done.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    release.set_value();
    EXPECT_EQ(done.wait_for(Watchdog), std::future_status::ready);
}

} // namespace
