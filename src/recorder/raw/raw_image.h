#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/raw/raw_file_header.h"

namespace recorder {

// The validity rules of a RAW image, in the order they are checked.
enum class RawRule {
  kHeader,        // a non-empty file, 512 header bytes, the ident code
  kBlockBounds,   // patient block, recording block and ECG area inside the file
  kVoiceAddress,  // voice address inside the file
  kBlockMaxSize,  // patient and recording block at most 512 bytes
  kBlockMinSize,  // patient block at least 294, recording block at least 39 bytes
  kFlexEntries,   // all 50 flex entries inside the file and at most 512 bytes
  kVoiceArea,     // 512 bytes readable at the voice address, the voice area inside the file
};

// A broken rule and what broke it: "patient block: end 1100 past the file size 1000".
struct RawRuleBreak {
  RawRule rule;
  std::string detail;
};

// The rule's name as the checker prints it.
[[nodiscard]] std::string_view RawRuleName(RawRule rule);

// Checks the header alone against the file size (all rules but the voice area's). Ends are
// computed in 64 bits, so an address plus a size beyond 2^32 lies past the end and never wraps.
[[nodiscard]] std::optional<RawRuleBreak> CheckRawHeader(const TRawFileHeader& header, uint64_t file_size);

// Checks the voice area given the header and the bytes at the voice address (at most 512 needed).
[[nodiscard]] std::optional<RawRuleBreak> CheckRawVoiceArea(const TRawFileHeader& header, uint64_t file_size,
                                                            std::span<const uint8_t> bytes_at_voice);

// A validated image's blocks as read from the card. The ECG and voice areas stay in the file (they
// may be large): callers copy them from the locations given.
struct TRawImage {
  uint64_t file_size = 0;
  TRawFileHeader header;
  RawVoiceArea voice;
  TRawVoiceHeader voice_header;  // zero when the voice area is absent
  std::vector<uint8_t> patient_block;
  std::vector<uint8_t> recording_block;
  // Flex entry 0 as stored; whether it is an address block depends on the recorder's firmware.
  std::vector<uint8_t> flex_block0;

  // The address block when the recording block's DevVersion text says the recorder writes one.
  [[nodiscard]] std::optional<std::span<const uint8_t>> AddressBlock(std::string_view dev_version) const;
};

// Reads and validates a RAW image. Throws platform::IoError when the file cannot be opened or read,
// platform::FormatError naming the broken rule when it is no valid image. The file is only read.
[[nodiscard]] TRawImage ReadRawImage(const std::filesystem::path& path);

}  // namespace recorder
