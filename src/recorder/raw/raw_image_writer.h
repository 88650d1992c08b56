#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "recorder/raw/raw_file_header.h"

namespace recorder {

// Writes RAW card images in the fixed layout of this system: header, the packed patient and
// recording blocks at 512 and 1024, the ECG area at 1536. The image goes to a temp file beside the
// target and replaces it only when complete, so a cancel or a failure leaves the target as it was.
// User-interface thread; one image per call.
class TRawImageWriter {
 public:
  static constexpr size_t kDefaultChunkBytes = size_t{1} << 20;

  // Called after each chunk with the chunks done and their count (the progress range); false
  // cancels.
  using ChunkDone = std::function<bool(int done, int count)>;

  TRawImageWriter(std::span<const uint8_t, kMaxRawFileBlockSize> patient_block,
                  std::span<const uint8_t, kMaxRawFileBlockSize> recording_block,
                  size_t chunk_bytes = kDefaultChunkBytes);

  // The ECG area is the source file, byte for byte. Throws platform::IoError when the source
  // cannot be read or the target written, platform::FormatError when the source does not fit the
  // 32-bit area size. False when cancelled.
  [[nodiscard]] bool WriteFromFile(const std::filesystem::path& target, const std::filesystem::path& source,
                                   const ChunkDone& chunk_done) const;
  // A test image: an ECG area of ecg_size_bytes zeros.
  [[nodiscard]] bool WriteZeros(const std::filesystem::path& target, uint32_t ecg_size_bytes,
                                const ChunkDone& chunk_done) const;

 private:
  using FillChunk = std::function<void(uint64_t offset, std::span<uint8_t> chunk)>;
  bool Write(const std::filesystem::path& target, uint32_t ecg_size_bytes, const FillChunk& fill,
             const ChunkDone& chunk_done) const;

  std::span<const uint8_t, kMaxRawFileBlockSize> patient_block_;
  std::span<const uint8_t, kMaxRawFileBlockSize> recording_block_;
  size_t chunk_bytes_;
};

}  // namespace recorder
