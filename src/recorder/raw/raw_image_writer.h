#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "recorder/raw/raw_file_header.h"
#include "recorder/recorder_blocks.h"

namespace platform {
class Clock;
}
class TPatientData;
class TRecordingData;

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

// The packed blocks of the image of an open recording.
struct RawImageBlocks {
  TRecorderBlocks::Block patient{};
  TRecorderBlocks::Block recording{};
};

// The blocks of a recording's image. The recorder texts are the recording's own recorder text
// ("DevType DevVersion DevSerial"), never those of whichever recorder was identified last; the age
// is whole calendar years to today.
[[nodiscard]] RawImageBlocks BlocksOfRecording(const TPatientData& patient, const TRecordingData& recording,
                                               const platform::Clock& clock);

// The image of an open recording: its ".CMP" sample file copied unchanged behind the blocks of its
// records, under the progress window ("Writing...") unless chunk_done is given. 1 on success; 0 with
// the message in result_text ("Error reading CMPFile %s !", "Error writing RawFile %s !", "Action
// was cancelled !" ...). A failed or cancelled image leaves the target as it was.
int CreateRawFileOfRecording(const TPatientData& patient, const TRecordingData& recording,
                             const platform::Clock& clock, const std::string& source_cmp,
                             const std::string& raw_path, std::string& result_text,
                             const TRawImageWriter::ChunkDone& chunk_done = {});

}  // namespace recorder
