#include "document/signal_exchange_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>

#include "document/ecg_block.h"
#include "document/sample_file.h"
#include "document/sample_word.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace {

constexpr char kMagic[] = "ZK470KHI";
constexpr int kStoreRateHz = 125;
constexpr double kStoreUnitMicrovolts = 5.0;
constexpr size_t kNamesOffset = 36;
constexpr size_t kDisplayCountOffset = 292;
constexpr size_t kDisplayMapOffset = 296;

double LoadDouble(const uint8_t* p) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(p[i]) << (8 * i);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void StoreDouble(uint8_t* p, double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// The bytes of a fixed slot up to the first zero byte.
std::string SlotText(const uint8_t* p, size_t size) {
  const auto* end = static_cast<const uint8_t*>(std::memchr(p, 0, size));
  return std::string(reinterpret_cast<const char*>(p), end ? static_cast<size_t>(end - p) : size);
}

int16_t Saturate16(double value) { return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0)); }

}  // namespace

bool TSignalExchangeFile::ReadHeader(const std::string& path) {
  const SampleFile file = SampleFile::TryOpen(path);
  if (!file.IsOpen()) return false;
  std::array<uint8_t, kHeaderBytes> h{};
  try {
    if (file.Size() < kHeaderBytes || file.ReadAt(0, h) != h.size()) return false;
  } catch (const platform::IoError&) {
    return false;
  }
  if (SlotText(h.data(), 8) != kMagic || platform::LoadLE32(h.data() + 8) != 1) return false;
  const uint32_t new_channels = platform::LoadLE32(h.data() + 20);
  const uint32_t new_rate = platform::LoadLE32(h.data() + 16);
  const double new_lsb = LoadDouble(h.data() + 28);
  const uint32_t new_display = platform::LoadLE32(h.data() + kDisplayCountOffset);
  // The object holds 16 names and map entries; a map entry indexes a sample within a frame.
  if (new_channels < 1 || new_channels > kMaxChannels || new_display > kMaxChannels) return false;
  if (new_rate < kMinRateHz || new_rate > kMaxRateHz || !std::isfinite(new_lsb) || new_lsb <= 0.0)
    return false;
  std::array<int32_t, kMaxChannels> new_map{};
  for (uint32_t j = 0; j < new_display; ++j) {
    new_map[j] = static_cast<int32_t>(platform::LoadLE32(h.data() + kDisplayMapOffset + 4 * j));
    if (new_map[j] < 0 || static_cast<uint32_t>(new_map[j]) >= new_channels) return false;
  }

  version = 1;
  duration = platform::LoadLE32(h.data() + 12);
  rate = new_rate;
  channel_count = new_channels;
  bits_per_sample = platform::LoadLE32(h.data() + 24);
  lsb = new_lsb;
  for (uint32_t c = 0; c < new_channels; ++c)
    channel_names[c] = SlotText(h.data() + kNamesOffset + kNameBytes * c, kNameBytes);
  display_count = new_display;
  display_map = new_map;
  bytes_per_sample_ = static_cast<int>((bits_per_sample + 7) / 8);
  valid_ = true;
  return true;
}

bool TSignalExchangeFile::WriteHeader(std::ostream& out) {
  version = 1;
  std::array<uint8_t, kHeaderBytes> h{};
  std::memcpy(h.data(), kMagic, 8);
  platform::StoreLE32(h.data() + 8, static_cast<uint32_t>(version));
  platform::StoreLE32(h.data() + 12, duration);
  platform::StoreLE32(h.data() + 16, rate);
  platform::StoreLE32(h.data() + 20, channel_count);
  platform::StoreLE32(h.data() + 24, bits_per_sample);
  StoreDouble(h.data() + 28, lsb);
  const uint32_t names = std::min<uint32_t>(channel_count, kMaxChannels);
  for (uint32_t c = 0; c < names; ++c) {
    const std::string& name = channel_names[c];
    std::memcpy(h.data() + kNamesOffset + kNameBytes * c, name.data(),
                std::min<size_t>(name.size(), kNameBytes));
  }
  const uint32_t shown = std::min<uint32_t>(display_count, kMaxChannels);
  platform::StoreLE32(h.data() + kDisplayCountOffset, shown);
  for (uint32_t j = 0; j < shown; ++j)
    platform::StoreLE32(h.data() + kDisplayMapOffset + 4 * j, static_cast<uint32_t>(display_map[j]));
  out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
  return static_cast<bool>(out);
}

int TSignalExchangeFile::GetDurationMinutes() const {
  if (!valid_ || rate == 0) return 0;
  const uint32_t seconds = duration / rate;
  return static_cast<int>(seconds / 60 + (seconds % 60 != 0 ? 1 : 0));
}

std::string TSignalExchangeFile::SampleWidthFault() const {
  if (!valid_ || bytes_per_sample_ == 2) return {};
  return "Implementation error: the samples are " + std::to_string(bits_per_sample) +
         " bits wide; only 16-bit samples are read";
}

bool TSignalExchangeFile::ReadBlock(const std::string& path, int minute, std::span<TECGBlock> blocks) {
  if (!valid_ || bytes_per_sample_ != 2 || minute < 0) return false;
  const SampleFile file = SampleFile::TryOpen(path);
  if (!file.IsOpen()) return false;

  const double factor = lsb / kStoreUnitMicrovolts;
  const size_t frame = channel_count;
  const size_t frame_step = frame * (rate / kStoreRateHz);
  const size_t bytes_per_minute = static_cast<size_t>(rate) * frame * 120;
  buffer_.resize(bytes_per_minute);
  size_t got = 0;
  try {
    got = file.ReadAt(kHeaderBytes + static_cast<uint64_t>(minute) * bytes_per_minute, buffer_);
  } catch (const platform::IoError&) {
    return false;
  }
  const size_t words = got / 2;
  const size_t shown = std::min<size_t>({display_count, 3, blocks.size()});
  const size_t zero_blocks = std::min<size_t>(blocks.size(), 3);
  for (size_t j = 0; j < shown; ++j) blocks[j].minute = minute;
  for (int i = 0; i < TECGBlock::kSamples; ++i) {
    const size_t w = static_cast<size_t>(i) * frame_step;
    if (w + frame > words) {
      for (size_t k = 0; k < zero_blocks; ++k)
        std::fill(blocks[k].samples.begin() + i, blocks[k].samples.end(), int16_t{0});
      break;
    }
    for (size_t j = 0; j < shown; ++j) {
      const int16_t v =
          Int12(platform::LoadLE16(buffer_.data() + 2 * (w + static_cast<size_t>(display_map[j]))));
      blocks[j].samples[i] = Saturate16(std::trunc(v * factor));
    }
  }
  return true;
}
