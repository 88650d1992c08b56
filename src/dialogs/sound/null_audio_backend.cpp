#include "dialogs/sound/null_audio_backend.h"

#include <atomic>
#include <cmath>
#include <utility>

#include "platform/process_context.h"

namespace sound {

class NullWaveOut : public WaveOutDevice {
 public:
  NullWaveOut(NullAudioBackend& backend, const WaveFormatEx& format, DoneHandler done)
      : backend_(backend), format_(format), done_(std::move(done)) {}

  MmResult Write(WaveHeader* header) override {
    const std::lock_guard lock(mutex_);
    if (closed_) return kMmInvalParam;
    if (paused_) {
      held_.push_back(header);
      return kMmNoError;
    }
    Play(header);
    return kMmNoError;
  }
  MmResult Reset(std::vector<WaveHeader*>& returned) override {
    const std::lock_guard lock(mutex_);
    returned.insert(returned.end(), held_.begin(), held_.end());
    held_.clear();
    paused_ = false;
    return kMmNoError;
  }
  MmResult Pause() override {
    const std::lock_guard lock(mutex_);
    paused_ = true;
    return kMmNoError;
  }
  MmResult Restart() override {
    const std::lock_guard lock(mutex_);
    paused_ = false;
    for (WaveHeader* header : held_) Play(header);
    held_.clear();
    return kMmNoError;
  }
  MmResult Close() override {
    const std::lock_guard lock(mutex_);
    if (!held_.empty()) return kWaveStillPlaying;
    closed_ = true;
    return kMmNoError;
  }

 private:
  // Called with the lock held, so a Reset never overtakes a buffer being handed back.
  void Play(WaveHeader* header) {
    backend_.AddPlayed(header->buffer_length, format_.avg_bytes_per_sec);
    done_(header);
  }

  NullAudioBackend& backend_;
  WaveFormatEx format_;
  DoneHandler done_;
  std::mutex mutex_;
  std::vector<WaveHeader*> held_;
  bool paused_ = false;
  bool closed_ = false;
};

namespace {

class NullWaveIn : public WaveInDevice {
 public:
  MmResult AddBuffer(WaveHeader* header) override {
    const std::lock_guard lock(mutex_);
    header->bytes_recorded = 0;
    held_.push_back(header);
    return kMmNoError;
  }
  MmResult Start() override { return kMmNoError; }
  MmResult Reset(std::vector<WaveHeader*>& returned) override {
    const std::lock_guard lock(mutex_);
    returned.insert(returned.end(), held_.begin(), held_.end());
    held_.clear();
    return kMmNoError;
  }
  MmResult Close() override {
    const std::lock_guard lock(mutex_);
    return held_.empty() ? kMmNoError : kWaveStillPlaying;
  }

 private:
  std::mutex mutex_;
  std::vector<WaveHeader*> held_;
};

std::atomic<AudioBackend*> g_backend{nullptr};

}  // namespace

MmResult NullAudioBackend::OpenWaveOut(const WaveFormatEx& format, DoneHandler done,
                                       std::unique_ptr<WaveOutDevice>& device) {
  {
    const std::lock_guard lock(mutex_);
    ++devices_opened_;
  }
  device = std::make_unique<NullWaveOut>(*this, format, std::move(done));
  return kMmNoError;
}

MmResult NullAudioBackend::OpenWaveIn(const WaveFormatEx& format, DoneHandler done,
                                      std::unique_ptr<WaveInDevice>& device) {
  device = std::make_unique<NullWaveIn>();
  return kMmNoError;
}

void NullAudioBackend::AddPlayed(uint64_t bytes, uint32_t bytes_per_second) {
  const std::lock_guard lock(mutex_);
  played_bytes_ += bytes;
  if (bytes_per_second > 0) played_ms_ += static_cast<double>(bytes) * 1000.0 / bytes_per_second;
}

uint64_t NullAudioBackend::PlayedBytes() const {
  const std::lock_guard lock(mutex_);
  return played_bytes_;
}

int64_t NullAudioBackend::PlayedMs() const {
  const std::lock_guard lock(mutex_);
  return std::llround(played_ms_);
}

int NullAudioBackend::DevicesOpened() const {
  const std::lock_guard lock(mutex_);
  return devices_opened_;
}

AudioBackend& CurrentAudioBackend() {
  static NullAudioBackend null_backend;
  AudioBackend* backend = g_backend.load();
  return backend != nullptr ? *backend : null_backend;
}

void SetAudioBackend(AudioBackend* backend) { g_backend.store(backend); }

}  // namespace sound

namespace {

// A fresh process plays through the null backend until the host installs one.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kDialogs, [] { sound::SetAudioBackend(nullptr); });

}  // namespace
