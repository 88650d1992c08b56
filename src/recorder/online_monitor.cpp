#include "recorder/online_monitor.h"

#include "recorder/recorder_protocol.h"

void TOnlineMonitorRing::Clear() {
  bytes_.fill(0);
  write_ = 0;
  read_ = 0;
}

void TOnlineMonitorRing::Append(std::span<const uint8_t> bytes) {
  for (const uint8_t byte : bytes) {
    bytes_[static_cast<size_t>(write_)] = byte;
    write_ = (write_ + 1) % kSize;
    if (write_ == read_) read_ = (read_ + 1) % kSize;
  }
}

int TOnlineMonitorRing::Available() const { return ((write_ - read_) % kSize + kSize) % kSize; }

int32_t TOnlineMonitorRing::StoredSample(uint8_t high, uint8_t low, bool marked) {
  int32_t value = -TRecorderProtocol::DecodeMonitorSample(high, low);
  if (marked) value = value >= 0 ? (value | kMarkBit) : (value & ~kMarkBit);
  return value;
}

int TOnlineMonitorRing::Decode(int channels, std::array<Channel, kMaxChannels>& out) {
  if (channels < 1 || channels > kMaxChannels) return 0;
  const int available = Available();
  if (available == 0) return 0;
  const int frame_bytes = 2 * channels;
  auto at = [this](int offset) { return bytes_[static_cast<size_t>((read_ + offset) % kSize)]; };
  int taken = 0;
  int frames = 0;
  while (taken < available - frame_bytes) {
    if (!TRecorderProtocol::IsFrameStart(at(0))) {
      read_ = (read_ + 1) % kSize;
      ++taken;
      continue;
    }
    const bool mark0 = (at(0) & 0x40) != 0;
    const bool mark1 = channels > 1 && (at(2) & 0x40) != 0;
    for (int c = 0; c < channels; ++c) {
      const bool marked = c == 0 ? mark0 : (mark0 || mark1);
      out[static_cast<size_t>(c)][static_cast<size_t>(frames)] =
          StoredSample(at(2 * c), at(2 * c + 1), marked);
    }
    ++frames;
    read_ = (read_ + frame_bytes) % kSize;
    taken += frame_bytes;
  }
  return frames;
}

void TOnlineMonitorRing::GiveBack(int frames, int channels) {
  if (frames <= 0 || channels < 1) return;
  read_ = ((read_ - frames * 2 * channels) % kSize + kSize) % kSize;
}
