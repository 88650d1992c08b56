#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "dialogs/sound/audio_backend.h"

namespace dialogs_test {

// A sound backend whose devices keep every buffer until the test lets them go, so a test decides
// exactly when the sound thread gets its notices. Open can be made to fail.
class ManualAudioBackend : public sound::AudioBackend {
 public:
  struct Written {
    std::vector<uint8_t> bytes;
  };

  sound::MmResult OpenWaveOut(const sound::WaveFormatEx& format, sound::DoneHandler done,
                              std::unique_ptr<sound::WaveOutDevice>& device) override {
    const std::lock_guard lock(mutex_);
    if (open_error_ != 0) return open_error_;
    ++opened_;
    open_ = true;
    format_ = format;
    done_ = std::move(done);
    device = std::make_unique<Out>(*this);
    return sound::kMmNoError;
  }
  sound::MmResult OpenWaveIn(const sound::WaveFormatEx& format, sound::DoneHandler done,
                             std::unique_ptr<sound::WaveInDevice>& device) override {
    const std::lock_guard lock(mutex_);
    if (open_error_ != 0) return open_error_;
    in_done_ = std::move(done);
    device = std::make_unique<In>(*this);
    return sound::kMmNoError;
  }

  void FailOpen(sound::MmResult code) {
    const std::lock_guard lock(mutex_);
    open_error_ = code;
  }

  // Output: waits until the device holds count buffers.
  void WaitHeld(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return held_.size() == count; });
  }
  // Output: hands the oldest held buffer back as played.
  void CompleteOne() {
    const std::lock_guard lock(mutex_);
    if (held_.empty()) return;
    sound::WaveHeader* header = held_.front();
    held_.pop_front();
    done_(header);
    changed_.notify_all();
  }
  size_t Held() const {
    const std::lock_guard lock(mutex_);
    return held_.size();
  }
  bool Open() const {
    const std::lock_guard lock(mutex_);
    return open_;
  }
  int Opened() const {
    const std::lock_guard lock(mutex_);
    return opened_;
  }
  std::vector<Written> WrittenBuffers() const {
    const std::lock_guard lock(mutex_);
    return written_;
  }
  sound::WaveFormatEx Format() const {
    const std::lock_guard lock(mutex_);
    return format_;
  }

  // Input: waits until the device holds count empty buffers, then fills the oldest with bytes
  // and hands it back.
  void WaitInHeld(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return in_held_.size() == count; });
  }
  void Record(const std::vector<uint8_t>& bytes) {
    const std::lock_guard lock(mutex_);
    if (in_held_.empty()) return;
    sound::WaveHeader* header = in_held_.front();
    in_held_.pop_front();
    const size_t n = std::min<size_t>(bytes.size(), header->buffer_length);
    std::copy_n(bytes.begin(), n, header->data);
    header->bytes_recorded = static_cast<uint32_t>(n);
    in_done_(header);
    changed_.notify_all();
  }

 private:
  class Out : public sound::WaveOutDevice {
   public:
    explicit Out(ManualAudioBackend& b) : b_(b) {}
    sound::MmResult Write(sound::WaveHeader* header) override {
      const std::lock_guard lock(b_.mutex_);
      b_.written_.push_back({std::vector<uint8_t>(header->data, header->data + header->buffer_length)});
      b_.held_.push_back(header);
      b_.changed_.notify_all();
      return sound::kMmNoError;
    }
    sound::MmResult Reset(std::vector<sound::WaveHeader*>& returned) override {
      const std::lock_guard lock(b_.mutex_);
      returned.insert(returned.end(), b_.held_.begin(), b_.held_.end());
      b_.held_.clear();
      b_.changed_.notify_all();
      return sound::kMmNoError;
    }
    sound::MmResult Pause() override { return sound::kMmNoError; }
    sound::MmResult Restart() override { return sound::kMmNoError; }
    sound::MmResult Close() override {
      const std::lock_guard lock(b_.mutex_);
      if (!b_.held_.empty()) return sound::kWaveStillPlaying;
      b_.open_ = false;
      return sound::kMmNoError;
    }

   private:
    ManualAudioBackend& b_;
  };
  class In : public sound::WaveInDevice {
   public:
    explicit In(ManualAudioBackend& b) : b_(b) {}
    sound::MmResult AddBuffer(sound::WaveHeader* header) override {
      const std::lock_guard lock(b_.mutex_);
      b_.in_held_.push_back(header);
      b_.changed_.notify_all();
      return sound::kMmNoError;
    }
    sound::MmResult Start() override { return sound::kMmNoError; }
    sound::MmResult Reset(std::vector<sound::WaveHeader*>& returned) override {
      const std::lock_guard lock(b_.mutex_);
      returned.insert(returned.end(), b_.in_held_.begin(), b_.in_held_.end());
      b_.in_held_.clear();
      return sound::kMmNoError;
    }
    sound::MmResult Close() override { return sound::kMmNoError; }

   private:
    ManualAudioBackend& b_;
  };

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  sound::MmResult open_error_ = 0;
  sound::DoneHandler done_;
  sound::DoneHandler in_done_;
  std::deque<sound::WaveHeader*> held_;
  std::deque<sound::WaveHeader*> in_held_;
  std::vector<Written> written_;
  sound::WaveFormatEx format_;
  bool open_ = false;
  int opened_ = 0;
};

}  // namespace dialogs_test
