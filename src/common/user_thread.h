#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// A worker that repeats one unit of work (RunStep) until its owner asks it to stop, and tells the
// owner when it has finished. The owner holds it in a std::unique_ptr and ends it with
// StopAndDelete, which stops, waits for the thread and then destroys the object; destroying a
// running worker any other way would let the thread call into a half-destroyed object.
//
// The stop request is tested only between steps, so RunStep must return regularly.
// CreateThread, RequestStop and StopAndDelete belong to the owner's thread; RunStep runs on the worker.
class TUserThread {
 public:
  TUserThread() = default;
  virtual ~TUserThread();
  TUserThread(const TUserThread&) = delete;
  TUserThread& operator=(const TUserThread&) = delete;

  // Starts the worker thread; call once.
  void CreateThread();
  // Sets the stop event; the loop ends after the step under way, or before the first one.
  void RequestStop();
  // Sets the stop event, waits without time-out for the finished event and the thread, then
  // destroys the object. A thread that was never started is simply destroyed.
  static void StopAndDelete(std::unique_ptr<TUserThread> thread);

  bool IsStopRequested() const;
  // The finished event: set once the run loop has ended.
  bool IsFinished() const;

 protected:
  // One unit of work; empty in the base.
  virtual void RunStep() {}

 private:
  // The run loop on the worker thread: RunStep while no stop is requested.
  void InitInstance();
  // The thread has ended: sets the finished event.
  void Delete();
  void ThreadMain();

  mutable std::mutex mutex_;
  std::condition_variable finished_changed_;
  bool stop_requested_ = false;
  bool finished_ = false;
  std::thread thread_;
};
