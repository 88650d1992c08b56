#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

// A message posted to a window of the user-interface thread: the receiver as the window system
// identifies it, the message number and its two parameters. When task is set the queue runs it
// instead of routing the message (for code that has no window to post to).
struct PostedMessage {
  uintptr_t target = 0;
  uint32_t message = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
  std::function<void()> task;
};

// Completions posted by worker threads (or by the user-interface thread to itself), run on the
// user-interface thread in the order they were posted. Post may be called from any thread; the
// rest belongs to the user-interface thread.
class UiQueue {
 public:
  // Delivers a message (a record without task) to its window; set by the window system.
  using Router = std::function<void(const PostedMessage&)>;
  // Called on the posting thread after each post so that a host event loop can wake up and pump.
  using WakeHandler = std::function<void()>;

  void Post(PostedMessage message);
  void PostMessage(uintptr_t target, uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0);
  void PostTask(std::function<void()> task);

  // Messages pumped while no router is set are dropped, as messages to a window that is gone.
  void SetRouter(Router router);
  void SetWakeHandler(WakeHandler wake);

  // Runs what was queued when the call began; what those handlers post waits for the next pump,
  // so a handler that posts to itself cannot stall the loop. Returns how many ran. An exception
  // of a handler reaches the caller; the messages after it stay queued.
  size_t PumpPosted();
  // For modal loops: waits until something is queued or timeout_ms passes, then pumps. Returns
  // how many ran (0 after a time-out).
  size_t WaitAndPump(int timeout_ms);
  size_t Pending() const;

  // Drops queued messages, the router and the wake handler.
  void Reset();

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<PostedMessage> queue_;
  Router router_;
  WakeHandler wake_;
};

// The process-wide queue of the user-interface thread; tests call Reset() on it.
UiQueue& UiThreadQueue();

// Per-thread replacements of process-wide state. A batch worker that analyses a recording beside
// the user-interface thread puts its own document context and prompt here; every WorkerThread
// started on a thread takes that thread's slots along, so the threads its analysis starts see the
// same replacements. An empty slot (nullptr) means the process-wide state.
enum class ThreadSlot {
  kDocumentContext,  // a document::DocumentContext (set with document::ScopedThreadContext)
  kPrompt,           // a win::Prompt that win::CurrentPrompt() returns on this thread
  kCount
};
void* ThreadSlotValue(ThreadSlot slot);

// Sets a slot of this thread for a scope and restores the earlier value after it.
class ScopedThreadSlot {
 public:
  ScopedThreadSlot(ThreadSlot slot, void* value);
  ~ScopedThreadSlot();
  ScopedThreadSlot(const ScopedThreadSlot&) = delete;
  ScopedThreadSlot& operator=(const ScopedThreadSlot&) = delete;

 private:
  ThreadSlot slot_;
  void* saved_;
};

// How a worker ended: ok false when its body (or its exit hook) threw; error holds the text.
struct WorkerResult {
  bool ok = true;
  std::string error;
};

// One worker thread: started once, polls StopRequested() between its units of work and is always
// joined, never detached (the destructor requests a stop and joins). No exception leaves the
// thread: it becomes a failed WorkerResult. Start, RequestStop, Join and Result belong to the
// owning thread; StopRequested may be read anywhere.
class WorkerThread {
 public:
  using Body = std::function<void(const WorkerThread&)>;
  // Runs on the worker after the body ends, whether it returned or threw: the place to post the
  // one completion message that the waiting dialog must always get.
  using ExitHook = std::function<void(const WorkerResult&)>;

  WorkerThread() = default;
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  void Start(Body body, ExitHook on_exit = {});
  // Calls step again and again until a stop is requested; a stop requested before the thread
  // runs means step is never called.
  void StartLoop(std::function<void()> step, ExitHook on_exit = {});

  void RequestStop() { stop_.store(true); }
  bool StopRequested() const { return stop_.load(); }
  // Waits for the thread; does nothing when it was never started or is already joined.
  void Join();
  bool Started() const { return started_; }
  // True once the body and the exit hook have returned (the thread may still be ending).
  bool Finished() const { return finished_.load(); }
  // Valid after Join.
  WorkerResult Result() const;

 private:
  void Run(const Body& body, const ExitHook& on_exit);

  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  bool started_ = false;
  mutable std::mutex result_mutex_;
  WorkerResult result_;
  std::thread thread_;
};

}  // namespace platform
