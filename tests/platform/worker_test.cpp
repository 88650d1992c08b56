#include "platform/worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace platform {
namespace {

// Bounded wait for a condition that another thread makes true; never a sleep for logic.
constexpr int kGenerousMs = 10000;

// Pumps q until pred holds or the bound passes.
template <typename Pred>
bool PumpUntil(UiQueue& q, Pred pred) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGenerousMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    q.WaitAndPump(50);
  }
  return true;
}

struct Seen {
  uintptr_t target;
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
  std::thread::id thread;
  bool operator==(const Seen&) const = default;
};

TEST(WorkerThread, StopBeforeTheFirstStepRunsNoStep) {
  int steps = 0;
  bool exit_seen = false;
  WorkerThread worker;
  worker.RequestStop();
  worker.StartLoop([&] { ++steps; }, [&](const WorkerResult& r) { exit_seen = r.ok; });
  worker.Join();
  EXPECT_EQ(steps, 0);
  EXPECT_TRUE(exit_seen);
  EXPECT_TRUE(worker.Finished());
  EXPECT_TRUE(worker.Result().ok);
}

TEST(WorkerThread, LoopRunsUntilStopRequested) {
  std::mutex mutex;
  std::condition_variable cv;
  int steps = 0;
  WorkerThread worker;
  worker.StartLoop([&] {
    std::lock_guard lock(mutex);
    ++steps;
    cv.notify_all();
  });
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::milliseconds(kGenerousMs), [&] { return steps >= 3; }));
  }
  worker.RequestStop();
  worker.Join();
  const int after_join = steps;
  EXPECT_GE(after_join, 3);
  EXPECT_TRUE(worker.Finished());
  EXPECT_EQ(steps, after_join);
}

TEST(WorkerThread, ExceptionsBecomeFailuresAndTheExitHookStillPosts) {
  struct Case {
    const char* name;
    std::function<void()> body;
    std::function<void()> hook_extra;
    bool ok;
    const char* error;
    uint32_t posted;  // what the exit hook saw: 0x402 success, 0x414 failure
  };
  const Case cases[] = {
      {"clean end", [] {}, [] {}, true, "", 0x402},
      {"std exception", [] { throw std::runtime_error("disk gone"); }, [] {}, false, "disk gone", 0x414},
      {"other exception", [] { throw 42; }, [] {}, false, "unknown exception", 0x414},
      {"exit hook throws after posting", [] {}, [] { throw std::logic_error("hook"); }, false, "hook", 0x402},
      {"body and hook throw: first kept", [] { throw std::runtime_error("body"); },
       [] { throw std::logic_error("hook"); }, false, "body", 0x414},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UiQueue queue;
    std::vector<uint32_t> messages;
    queue.SetRouter([&](const PostedMessage& m) { messages.push_back(m.message); });
    WorkerThread worker;
    worker.Start([&](const WorkerThread&) { c.body(); },
                 [&](const WorkerResult& r) {
                   queue.PostMessage(7, r.ok ? 0x402 : 0x414);
                   c.hook_extra();
                 });
    worker.Join();
    EXPECT_EQ(worker.Result().ok, c.ok);
    EXPECT_EQ(worker.Result().error, c.error);
    EXPECT_EQ(queue.PumpPosted(), 1u);
    EXPECT_EQ(messages, std::vector<uint32_t>{c.posted});
  }
}

TEST(WorkerThread, DestructorStopsAndJoins) {
  std::atomic<int> steps{0};
  std::atomic<bool> ended{false};
  {
    WorkerThread worker;
    worker.StartLoop([&] { ++steps; }, [&](const WorkerResult&) { ended = true; });
  }
  EXPECT_TRUE(ended.load()) << "the worker ran to its end before the object went";
  WorkerThread never_started;  // destroying an unstarted worker is fine
  EXPECT_FALSE(never_started.Started());
}

TEST(UiQueue, CompletionsRunOnTheUiThreadInPostOrder) {
  UiQueue queue;
  std::vector<Seen> seen;
  queue.SetRouter([&](const PostedMessage& m) {
    seen.push_back({m.target, m.message, m.wparam, m.lparam, std::this_thread::get_id()});
  });
  std::thread::id task_thread;
  std::atomic<int> wakes{0};
  queue.SetWakeHandler([&] { ++wakes; });
  WorkerThread worker;
  worker.Start([&](const WorkerThread&) {
    queue.PostMessage(11, 0x401, 1, -1);
    queue.PostTask([&] { task_thread = std::this_thread::get_id(); });
    queue.PostMessage(12, 0x40A);
    queue.PostMessage(11, 0x414, 3, 4);
  });
  const auto ui = std::this_thread::get_id();
  ASSERT_TRUE(PumpUntil(queue, [&] { return seen.size() == 3; }));
  worker.Join();
  const std::vector<Seen> want = {{11, 0x401, 1, -1, ui}, {12, 0x40A, 0, 0, ui}, {11, 0x414, 3, 4, ui}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(task_thread, ui);
  EXPECT_EQ(wakes.load(), 4);
  EXPECT_EQ(queue.Pending(), 0u);
}

TEST(UiQueue, PumpRunsOnlyWhatWasQueuedWhenItBegan) {
  UiQueue queue;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    queue.PostTask(again);  // a handler that re-posts itself must not stall the loop
  };
  queue.PostTask(again);
  queue.PostTask([&] { ++runs; });
  EXPECT_EQ(queue.PumpPosted(), 2u);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(queue.Pending(), 1u);
  EXPECT_EQ(queue.PumpPosted(), 1u);
  EXPECT_EQ(runs, 3);
}

TEST(UiQueue, MessagesWithoutRouterAreDroppedAndResetClears) {
  UiQueue queue;
  queue.PostMessage(1, 2);
  EXPECT_EQ(queue.PumpPosted(), 1u);
  EXPECT_EQ(queue.Pending(), 0u);
  EXPECT_EQ(queue.WaitAndPump(1), 0u) << "time-out with nothing posted";

  int routed = 0;
  queue.SetRouter([&](const PostedMessage&) { ++routed; });
  queue.PostMessage(1, 2);
  queue.Reset();
  queue.PostMessage(1, 2);
  EXPECT_EQ(queue.PumpPosted(), 1u);
  EXPECT_EQ(routed, 0) << "Reset dropped the router and the queued message";
}

TEST(UiQueue, HandlerExceptionReachesThePumpAndLaterMessagesStay) {
  UiQueue queue;
  int later = 0;
  queue.PostTask([] { throw std::runtime_error("handler"); });
  queue.PostTask([&] { ++later; });
  EXPECT_THROW(queue.PumpPosted(), std::runtime_error);
  EXPECT_EQ(queue.Pending(), 1u);
  EXPECT_EQ(queue.PumpPosted(), 1u);
  EXPECT_EQ(later, 1);
}

TEST(UiQueue, ProcessWideQueueCanBeReset) {
  UiThreadQueue().Reset();
  int runs = 0;
  UiThreadQueue().PostTask([&] { ++runs; });
  EXPECT_EQ(&UiThreadQueue(), &UiThreadQueue());
  EXPECT_EQ(UiThreadQueue().PumpPosted(), 1u);
  EXPECT_EQ(runs, 1);
  UiThreadQueue().PostTask([&] { ++runs; });
  UiThreadQueue().Reset();
  EXPECT_EQ(UiThreadQueue().PumpPosted(), 0u);
}

}  // namespace
}  // namespace platform
