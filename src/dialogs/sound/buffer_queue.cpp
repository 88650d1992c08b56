#include "dialogs/sound/buffer_queue.h"

bool TBufferQueue::Push(TAudioBuffer* buffer) {
  {
    const std::lock_guard lock(mutex_);
    if (static_cast<int>(buffers_.size()) >= kMaxCount) return false;
    buffers_.push_back(buffer);
  }
  available_.notify_one();
  return true;
}

TAudioBuffer* TBufferQueue::Pop() {
  std::unique_lock lock(mutex_);
  available_.wait(lock, [this] { return !buffers_.empty(); });
  TAudioBuffer* buffer = buffers_.front();
  buffers_.pop_front();
  return buffer;
}

int TBufferQueue::Count() const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(buffers_.size());
}
