#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "dialogs/sound/audio_backend.h"

namespace sound {

// The backend of a machine without sound: output devices take every buffer at once and count
// what they "played" (simulated time, without waiting); while paused they hold the buffers.
// Input devices hold their buffers until reset (they record nothing).
class NullAudioBackend : public AudioBackend {
 public:
  MmResult OpenWaveOut(const WaveFormatEx& format, DoneHandler done,
                       std::unique_ptr<WaveOutDevice>& device) override;
  MmResult OpenWaveIn(const WaveFormatEx& format, DoneHandler done,
                      std::unique_ptr<WaveInDevice>& device) override;

  // What the output devices of this backend played, in bytes and in milliseconds of sound.
  uint64_t PlayedBytes() const;
  int64_t PlayedMs() const;
  int DevicesOpened() const;

 private:
  friend class NullWaveOut;
  void AddPlayed(uint64_t bytes, uint32_t bytes_per_second);

  mutable std::mutex mutex_;
  uint64_t played_bytes_ = 0;
  double played_ms_ = 0;
  int devices_opened_ = 0;
};

// The backend the sound threads open their devices with: the one set, else a process-wide
// NullAudioBackend. The application sets the host's at start; tests set fakes.
AudioBackend& CurrentAudioBackend();
// Not owned; nullptr restores the null backend.
void SetAudioBackend(AudioBackend* backend);

class ScopedAudioBackend {
 public:
  explicit ScopedAudioBackend(AudioBackend& backend) { SetAudioBackend(&backend); }
  ~ScopedAudioBackend() { SetAudioBackend(nullptr); }
  ScopedAudioBackend(const ScopedAudioBackend&) = delete;
  ScopedAudioBackend& operator=(const ScopedAudioBackend&) = delete;
};

}  // namespace sound
