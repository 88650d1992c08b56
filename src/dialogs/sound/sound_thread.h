#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "dialogs/sound/audio_backend.h"

namespace sound {

// Whether the calling thread is a sound thread (messages are then posted to the user-interface
// thread instead of shown).
bool OnSoundThread();

// A thread with its own message queue, in which a sound device's done notices and its owner's
// requests are handled one at a time, in the order they arrive: a request never runs while a
// notice is being handled, so stopping cannot race the data callback. Runs from construction to
// destruction. Post from any thread; RunSync from any thread but this one's own handlers, where
// it runs the request at once.
class SoundThread {
 public:
  explicit SoundThread(std::function<void(WaveHeader*)> on_done);
  // Ends the loop after what is queued and joins. Owners destroy it before the state its
  // handlers use.
  ~SoundThread();
  SoundThread(const SoundThread&) = delete;
  SoundThread& operator=(const SoundThread&) = delete;

  // A device's done notice; any thread.
  void PostDone(WaveHeader* header);
  // Runs request on this thread and waits for it to finish.
  void RunSync(const std::function<void()>& request);
  // On this thread: removes the done notices still queued and returns them in order.
  std::vector<WaveHeader*> TakeQueuedDone();
  bool IsCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  struct Item {
    WaveHeader* header = nullptr;
    const std::function<void()>* request = nullptr;
    bool* finished = nullptr;
  };

  void Loop();

  std::function<void(WaveHeader*)> on_done_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Item> queue_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace sound
