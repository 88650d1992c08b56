#pragma once

#include <array>
#include <cstdint>

#include "dialogs/sound/audio_backend.h"

// A PCM wave format with its derived values, and the number of sample frames per device buffer.
// Defaults: PCM, 16 bits, 22050 samples per second, mono. Every setter keeps block align =
// channels x (bits / 8) and bytes per second = rate x block align.
class TWaveFormat {
 public:
  static constexpr int32_t kDefaultBufferSamples = 1000;

  TWaveFormat();
  virtual ~TWaveFormat() = default;
  TWaveFormat(const TWaveFormat&) = default;
  TWaveFormat& operator=(const TWaveFormat&) = default;

  // Each returns the new block align.
  int SetBitsPerSample(int bits);
  int SetSampleRate(int samples_per_second);
  int SetChannels(int channels);
  int GetBitsPerSample() const { return format_.bits_per_sample; }
  int GetSampleRate() const { return static_cast<int>(format_.samples_per_sec); }
  int GetChannels() const { return format_.channels; }
  const sound::WaveFormatEx& GetFormat() const { return format_; }

  void SetBufferSamples(int32_t samples) { buffer_samples_ = samples; }
  int32_t GetBufferSamples() const { return buffer_samples_; }
  // Bytes of one device buffer: block align x samples per buffer (0 for a nonsensical format).
  int32_t BufferBytes() const;

  // The record as a "fmt " chunk holds it; reading takes the first bytes.size() bytes (at most 18)
  // and leaves the rest of the record as it was.
  std::array<uint8_t, sound::WaveFormatEx::kBytes> FormatBytes() const;
  void SetFormatBytes(const uint8_t* bytes, int count);

 protected:
  void Recompute();

  sound::WaveFormatEx format_;
  int32_t buffer_samples_ = kDefaultBufferSamples;
};
