#include "dialogs/sound/wave_format.h"

#include <algorithm>

#include "platform/archive.h"

TWaveFormat::TWaveFormat() { Recompute(); }

void TWaveFormat::Recompute() {
  format_.block_align = static_cast<uint16_t>(format_.channels * (format_.bits_per_sample / 8));
  format_.avg_bytes_per_sec = format_.samples_per_sec * format_.block_align;
}

int TWaveFormat::SetBitsPerSample(int bits) {
  format_.bits_per_sample = static_cast<uint16_t>(bits);
  Recompute();
  return format_.block_align;
}

int TWaveFormat::SetSampleRate(int samples_per_second) {
  format_.samples_per_sec = static_cast<uint32_t>(samples_per_second);
  Recompute();
  return format_.block_align;
}

int TWaveFormat::SetChannels(int channels) {
  format_.channels = static_cast<uint16_t>(channels);
  Recompute();
  return format_.block_align;
}

int32_t TWaveFormat::BufferBytes() const {
  const int64_t bytes = int64_t{format_.block_align} * buffer_samples_;
  return bytes > 0 && bytes <= INT32_MAX ? static_cast<int32_t>(bytes) : 0;
}

std::array<uint8_t, sound::WaveFormatEx::kBytes> TWaveFormat::FormatBytes() const {
  std::array<uint8_t, sound::WaveFormatEx::kBytes> b{};
  platform::StoreLE16(&b[0], format_.format_tag);
  platform::StoreLE16(&b[2], format_.channels);
  platform::StoreLE32(&b[4], format_.samples_per_sec);
  platform::StoreLE32(&b[8], format_.avg_bytes_per_sec);
  platform::StoreLE16(&b[12], format_.block_align);
  platform::StoreLE16(&b[14], format_.bits_per_sample);
  platform::StoreLE16(&b[16], format_.extra_size);
  return b;
}

void TWaveFormat::SetFormatBytes(const uint8_t* bytes, int count) {
  std::array<uint8_t, sound::WaveFormatEx::kBytes> b = FormatBytes();
  std::copy_n(bytes, std::clamp(count, 0, sound::WaveFormatEx::kBytes), b.begin());
  format_.format_tag = platform::LoadLE16(&b[0]);
  format_.channels = platform::LoadLE16(&b[2]);
  format_.samples_per_sec = platform::LoadLE32(&b[4]);
  format_.avg_bytes_per_sec = platform::LoadLE32(&b[8]);
  format_.block_align = platform::LoadLE16(&b[12]);
  format_.bits_per_sample = platform::LoadLE16(&b[14]);
  format_.extra_size = platform::LoadLE16(&b[16]);
}
