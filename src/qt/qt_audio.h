#pragma once

#include <QThread>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "dialogs/sound/audio_backend.h"

class QObject;

namespace qthost {

// The buffers lent to one output device, read out by Qt's audio sink in pull mode: each buffer is
// handed back (through the done handler, under the queue's lock) as soon as its last byte has been
// taken, and whatever is left when the device is reset comes back in Reset's list. Where nothing
// is queued the sink gets silence, so it keeps pulling. Thread-safe.
class WaveOutQueue {
 public:
  WaveOutQueue(sound::DoneHandler done, uint8_t silence_byte) : done_(std::move(done)), silence_(silence_byte) {}

  void Write(sound::WaveHeader* header);
  // Fills bytes with queued sound, then silence; returns count.
  int64_t Read(char* bytes, int64_t count);
  void Reset(std::vector<sound::WaveHeader*>& returned);
  bool Empty() const;

 private:
  mutable std::mutex mutex_;
  sound::DoneHandler done_;
  uint8_t silence_;
  std::deque<sound::WaveHeader*> queue_;
  uint32_t offset_ = 0;  // bytes of the front buffer already taken
};

// The empty buffers lent to one input device, filled by Qt's audio source in push mode; a full
// buffer goes back through the done handler, the rest in Reset's list with what they hold.
// Recorded bytes that find no buffer are dropped. Thread-safe.
class WaveInQueue {
 public:
  explicit WaveInQueue(sound::DoneHandler done) : done_(std::move(done)) {}

  void Add(sound::WaveHeader* header);
  void Take(const char* bytes, int64_t count);
  void Reset(std::vector<sound::WaveHeader*>& returned);
  bool Empty() const;

 private:
  mutable std::mutex mutex_;
  sound::DoneHandler done_;
  std::deque<sound::WaveHeader*> queue_;
};

// Plays and records through Qt Multimedia's default devices. The sinks and sources live on an
// audio thread of their own with its event loop; the sound threads reach them with blocking
// calls, and nothing there ever waits for a sound thread or the user-interface thread.
class QtAudioBackend : public sound::AudioBackend {
 public:
  QtAudioBackend();
  ~QtAudioBackend() override;

  sound::MmResult OpenWaveOut(const sound::WaveFormatEx& format, sound::DoneHandler done,
                              std::unique_ptr<sound::WaveOutDevice>& device) override;
  sound::MmResult OpenWaveIn(const sound::WaveFormatEx& format, sound::DoneHandler done,
                             std::unique_ptr<sound::WaveInDevice>& device) override;

  // Whether the system has a default output device.
  static bool HasOutputDevice();

 private:
  QThread thread_;
  std::unique_ptr<QObject> context_;  // lives on thread_: the target of the blocking calls
};

}  // namespace qthost
