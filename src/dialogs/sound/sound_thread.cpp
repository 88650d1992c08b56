#include "dialogs/sound/sound_thread.h"

#include <utility>

namespace sound {
namespace {

thread_local bool tls_sound_thread = false;

}  // namespace

bool OnSoundThread() { return tls_sound_thread; }

SoundThread::SoundThread(std::function<void(WaveHeader*)> on_done) : on_done_(std::move(on_done)) {
  thread_ = std::thread([this] { Loop(); });
}

SoundThread::~SoundThread() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void SoundThread::PostDone(WaveHeader* header) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(Item{header, nullptr, nullptr});
  }
  changed_.notify_all();
}

void SoundThread::RunSync(const std::function<void()>& request) {
  if (IsCurrent()) {
    request();
    return;
  }
  bool finished = false;
  std::unique_lock lock(mutex_);
  queue_.push_back(Item{nullptr, &request, &finished});
  changed_.notify_all();
  changed_.wait(lock, [&] { return finished; });
}

std::vector<WaveHeader*> SoundThread::TakeQueuedDone() {
  std::vector<WaveHeader*> taken;
  const std::lock_guard lock(mutex_);
  for (auto it = queue_.begin(); it != queue_.end();) {
    if (it->header != nullptr) {
      taken.push_back(it->header);
      it = queue_.erase(it);
    } else {
      ++it;
    }
  }
  return taken;
}

void SoundThread::Loop() {
  tls_sound_thread = true;
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (queue_.empty()) return;  // quit with nothing left to do
    const Item item = queue_.front();
    queue_.pop_front();
    lock.unlock();
    // No exception may leave a thread: a handler that throws is a bug, and the waiting
    // requester must still be released.
    try {
      if (item.request != nullptr) {
        (*item.request)();
      } else {
        on_done_(item.header);
      }
    } catch (...) {
    }
    lock.lock();
    if (item.finished != nullptr) {
      *item.finished = true;
      changed_.notify_all();
    }
  }
}

}  // namespace sound
