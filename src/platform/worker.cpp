#include "platform/worker.h"

#include <array>
#include <cassert>
#include <chrono>
#include <exception>
#include <utility>

#include "platform/process_context.h"

namespace platform {
namespace {

// Runs f; an exception becomes the failure of result (the first failure is kept).
template <typename F>
void Guarded(WorkerResult& result, F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    if (result.ok) result = {false, e.what()};
  } catch (...) {
    if (result.ok) result = {false, "unknown exception"};
  }
}

using ThreadSlots = std::array<void*, static_cast<size_t>(ThreadSlot::kCount)>;
thread_local ThreadSlots t_slots{};

}  // namespace

void* ThreadSlotValue(ThreadSlot slot) { return t_slots[static_cast<size_t>(slot)]; }

ScopedThreadSlot::ScopedThreadSlot(ThreadSlot slot, void* value)
    : slot_(slot), saved_(ThreadSlotValue(slot)) {
  t_slots[static_cast<size_t>(slot)] = value;
}

ScopedThreadSlot::~ScopedThreadSlot() { t_slots[static_cast<size_t>(slot_)] = saved_; }

void UiQueue::Post(PostedMessage message) {
  WakeHandler wake;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(message));
    wake = wake_;
  }
  posted_.notify_all();
  if (wake) wake();
}

void UiQueue::PostMessage(uintptr_t target, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  Post({target, message, wparam, lparam, {}});
}

void UiQueue::PostTask(std::function<void()> task) { Post({0, 0, 0, 0, std::move(task)}); }

void UiQueue::SetRouter(Router router) {
  std::lock_guard lock(mutex_);
  router_ = std::move(router);
}

void UiQueue::SetWakeHandler(WakeHandler wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
}

size_t UiQueue::PumpPosted() {
  size_t budget = Pending();
  size_t ran = 0;
  while (budget-- > 0) {
    PostedMessage message;
    Router router;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;  // a handler reset the queue
      message = std::move(queue_.front());
      queue_.pop_front();
      if (!message.task) router = router_;
    }
    ++ran;
    if (message.task) {
      message.task();
    } else if (router) {
      router(message);
    }
  }
  return ran;
}

size_t UiQueue::WaitAndPump(int timeout_ms) {
  {
    std::unique_lock lock(mutex_);
    posted_.wait_for(lock, std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0),
                     [this] { return !queue_.empty(); });
  }
  return PumpPosted();
}

size_t UiQueue::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

void UiQueue::Reset() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  router_ = nullptr;
  wake_ = nullptr;
}

UiQueue& UiThreadQueue() {
  static UiQueue queue;
  return queue;
}

WorkerThread::~WorkerThread() {
  RequestStop();
  Join();
}

void WorkerThread::Start(Body body, ExitHook on_exit) {
  assert(!started_ && "a WorkerThread runs once");
  thread_ = std::thread([this, slots = t_slots, body = std::move(body), on_exit = std::move(on_exit)] {
    t_slots = slots;
    Run(body, on_exit);
  });
  started_ = true;
}

void WorkerThread::StartLoop(std::function<void()> step, ExitHook on_exit) {
  Start(
      [step = std::move(step)](const WorkerThread& self) {
        while (!self.StopRequested()) step();
      },
      std::move(on_exit));
}

void WorkerThread::Run(const Body& body, const ExitHook& on_exit) {
  WorkerResult result;
  Guarded(result, [&] { body(*this); });
  if (on_exit) Guarded(result, [&] { on_exit(result); });
  {
    std::lock_guard lock(result_mutex_);
    result_ = std::move(result);
  }
  finished_.store(true);
}

void WorkerThread::Join() {
  if (!thread_.joinable()) return;
  assert(thread_.get_id() != std::this_thread::get_id() && "a worker cannot join itself");
  thread_.join();
}

WorkerResult WorkerThread::Result() const {
  std::lock_guard lock(result_mutex_);
  return result_;
}

}  // namespace platform

namespace {

// A fresh process has no posted messages and no router.
[[maybe_unused]] const bool kResetRegistered = platform::RegisterProcessReset(
    platform::ProcessLayer::kPlatform, [] { platform::UiThreadQueue().Reset(); });

}  // namespace
