#include "common/user_thread.h"

#include <cassert>
#include <exception>
#include <iostream>

TUserThread::~TUserThread() {
  // Reaching here with a live thread means the owner skipped StopAndDelete: the derived part is
  // already gone. Joining is still better than std::terminate in a release build.
  assert(!thread_.joinable() && "TUserThread destroyed while running; use StopAndDelete");
  if (thread_.joinable()) {
    RequestStop();
    thread_.join();
  }
}

void TUserThread::CreateThread() {
  assert(!thread_.joinable());
  thread_ = std::thread(&TUserThread::ThreadMain, this);
}

void TUserThread::RequestStop() {
  std::lock_guard lock(mutex_);
  stop_requested_ = true;
}

bool TUserThread::IsStopRequested() const {
  std::lock_guard lock(mutex_);
  return stop_requested_;
}

bool TUserThread::IsFinished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

void TUserThread::StopAndDelete(std::unique_ptr<TUserThread> thread) {
  if (!thread) return;
  thread->RequestStop();
  if (thread->thread_.joinable()) {
    {
      std::unique_lock lock(thread->mutex_);
      thread->finished_changed_.wait(lock, [&] { return thread->finished_; });
    }
    thread->thread_.join();
  }
  thread.reset();
}

void TUserThread::InitInstance() {
  while (!IsStopRequested()) RunStep();
}

void TUserThread::Delete() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  finished_changed_.notify_all();
}

void TUserThread::ThreadMain() {
  // No exception may leave a thread entry: a failed step ends the worker like a stop would.
  try {
    InitInstance();
  } catch (const std::exception& e) {
    std::cerr << "worker thread ended by an error: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "worker thread ended by an unknown error\n";
  }
  Delete();
}
