#pragma once

#include <cstdint>
#include <memory>

// A block of sound bytes handed between a sound device and a wave file. A block made over
// existing data never owns it. A block made with a size allocates its data and records the
// caller's owns flag; it frees what it allocated in any case, since nothing takes an allocation
// over from a block. Used by one thread at a time.
class TAudioBuffer {
 public:
  // Allocates size bytes. On failure shows "Out of memory!" and leaves the block without data.
  TAudioBuffer(int32_t size, bool owns);
  // Over existing data, not owning it; no data gives size 0.
  TAudioBuffer(uint8_t* data, int32_t size);
  ~TAudioBuffer();
  TAudioBuffer(const TAudioBuffer&) = delete;
  TAudioBuffer& operator=(const TAudioBuffer&) = delete;

  void Clear();

  uint8_t* data = nullptr;
  // Valid bytes; a read sets it to the bytes obtained.
  int32_t size = 0;
  bool owns = false;

 private:
  std::unique_ptr<uint8_t[]> storage_;
};
