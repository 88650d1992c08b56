#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

class TAudioBuffer;

// A queue of block pointers between one producer and one consumer thread: Pop waits until a
// block is there. The queue never owns the blocks. At most kMaxCount pointers are held.
class TBufferQueue {
 public:
  static constexpr int kMaxCount = 10000;

  TBufferQueue() = default;
  ~TBufferQueue() = default;
  TBufferQueue(const TBufferQueue&) = delete;
  TBufferQueue& operator=(const TBufferQueue&) = delete;

  // False (and nothing queued) when the queue is full.
  bool Push(TAudioBuffer* buffer);
  // Waits without limit for a block and removes it.
  TAudioBuffer* Pop();
  int Count() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable available_;
  std::deque<TAudioBuffer*> buffers_;
};
