#include "common/user_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// Counts its steps and lets the test wait until a number of steps has run.
class CountingThread : public TUserThread {
 public:
  explicit CountingThread(std::atomic<bool>* destroyed_after_finish = nullptr)
      : destroyed_after_finish_(destroyed_after_finish) {}
  ~CountingThread() override {
    if (destroyed_after_finish_) *destroyed_after_finish_ = IsFinished();
  }

  int Steps() const {
    std::lock_guard lock(mutex_);
    return steps_;
  }
  void WaitForSteps(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return steps_ >= n; });
  }

 protected:
  void RunStep() override {
    {
      std::lock_guard lock(mutex_);
      ++steps_;
    }
    changed_.notify_all();
  }

 private:
  std::atomic<bool>* destroyed_after_finish_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int steps_ = 0;
};

TEST(TUserThread, StopBeforeFirstStepRunsNoStep) {
  auto thread = std::make_unique<CountingThread>();
  CountingThread* raw = thread.get();
  raw->RequestStop();
  raw->CreateThread();
  // Waiting for the end before deleting proves the loop ended by itself, not by the deletion.
  while (!raw->IsFinished()) std::this_thread::yield();
  EXPECT_EQ(raw->Steps(), 0);
  TUserThread::StopAndDelete(std::move(thread));
}

TEST(TUserThread, StopAndDeleteEndsRunningLoopAndDeletesAfterFinish) {
  std::atomic<bool> finished_when_destroyed{false};
  auto thread = std::make_unique<CountingThread>(&finished_when_destroyed);
  CountingThread* raw = thread.get();
  raw->CreateThread();
  raw->WaitForSteps(3);
  EXPECT_FALSE(raw->IsFinished());
  TUserThread::StopAndDelete(std::move(thread));
  EXPECT_TRUE(finished_when_destroyed);
}

TEST(TUserThread, StopAndDeleteOfUnstartedOrEmptyThreadReturns) {
  std::atomic<bool> destroyed_finished{true};
  TUserThread::StopAndDelete(std::make_unique<CountingThread>(&destroyed_finished));
  EXPECT_FALSE(destroyed_finished);  // destroyed without ever running
  TUserThread::StopAndDelete(nullptr);
}

// A failing step must not take the process down; it ends the worker like a stop.
class ThrowingThread : public TUserThread {
 protected:
  void RunStep() override { throw std::runtime_error("step failed"); }
};

TEST(TUserThread, ExceptionInStepEndsWorker) {
  auto thread = std::make_unique<ThrowingThread>();
  TUserThread* raw = thread.get();
  raw->CreateThread();
  while (!raw->IsFinished()) std::this_thread::yield();
  EXPECT_FALSE(raw->IsStopRequested());
  TUserThread::StopAndDelete(std::move(thread));
}

}  // namespace
