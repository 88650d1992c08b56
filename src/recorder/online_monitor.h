#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The received monitor bytes, one per entry, and the frames decoded from them. Frames of N
// channels are 2N bytes; a frame starts at the first byte with bit 7 set. A decoded sample is the
// negated 12-bit value; a marked one carries bit 30 as the sweep areas expect it. Frames the
// sweep could not take are handed back by moving the read index. User-interface thread only.
class TOnlineMonitorRing {
 public:
  static constexpr int kSize = 3000;
  static constexpr int kMaxChannels = 3;
  using Channel = std::array<int32_t, kSize>;
  static constexpr int32_t kMarkBit = 1 << 30;

  TOnlineMonitorRing() { Clear(); }

  void Clear();
  // Bytes that would overrun the unread ones push the oldest out: the newest always count.
  void Append(std::span<const uint8_t> bytes);
  // Unread entries, 0..kSize - 1.
  int Available() const;
  // Decodes while more than one frame's bytes stay unread (a frame at the very end waits for the
  // next poll). Returns the frames written into out[0..channels - 1].
  int Decode(int channels, std::array<Channel, kMaxChannels>& out);
  // The last `frames` decoded frames are read again on the next decode.
  void GiveBack(int frames, int channels);

  int ReadIndex() const { return read_; }
  int WriteIndex() const { return write_; }

  // One sample as it is stored: negated, with the mark folded into bit 30.
  static int32_t StoredSample(uint8_t high, uint8_t low, bool marked);

 private:
  std::array<uint8_t, kSize> bytes_{};
  int write_ = 0;
  int read_ = 0;
};
