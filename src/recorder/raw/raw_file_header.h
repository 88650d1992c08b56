#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace recorder {

// A card recorder's RAW image: a 512-byte header locating the patient, recording and flex blocks,
// the compressed ECG area and the optional voice area. All numbers are little-endian.
constexpr uint32_t kRawIdentCode = 0x9002;
constexpr size_t kRawHeaderSize = 512;
constexpr uint32_t kMaxRawFileBlockSize = 512;
constexpr uint32_t kMinPatBlockSize = 294;
constexpr uint32_t kMinRecBlockSize = 39;
constexpr int kRawFlexEntries = 50;
constexpr size_t kRawVoiceHeaderSize = 20;
// Only this layout version carries the address fields in flex entry 0.
constexpr uint16_t kRawFileVersionWithAddress = 2;
// Firmware from which the recorder writes an address block.
constexpr double kAddressBlockDevVersion = 1.2;
// Where this system puts the blocks in the images it writes.
constexpr uint32_t kWrittenPatBlockAddr = 512;
constexpr uint32_t kWrittenRecBlockAddr = 1024;
constexpr uint32_t kWrittenEcgBlockAddr = 1536;

struct TRawFileHeader {
  uint32_t ident_code = kRawIdentCode;
  uint32_t RawPatBlockAddr = 0;
  uint32_t RawPatBlockSize = 0;
  uint32_t RawRecBlockAddr = 0;
  uint32_t RawRecBlockSize = 0;
  uint32_t RawEcgBlockAddr = 0;
  uint32_t RawEcgBlockSize = 0;
  // 0: no voice area. Its size comes from the voice header, not from here.
  uint32_t RawVoicBlockAddr = 0;
  // Address 0 means the entry is absent.
  std::array<uint32_t, kRawFlexEntries> RawFlexBlockAddr{};
  std::array<uint32_t, kRawFlexEntries> RawFlexBlockSize{};
  uint16_t RawFileVersion = 0;

  // Reserved bytes are ignored on reading and written as zero.
  static TRawFileHeader Unpack(std::span<const uint8_t, kRawHeaderSize> bytes);
  std::array<uint8_t, kRawHeaderSize> Pack() const;

  // The fixed layout of every image this system writes: both blocks 512 bytes, the ECG area at 1536.
  static TRawFileHeader ForWrittenImage(uint32_t ecg_size_bytes);

  bool operator==(const TRawFileHeader&) const = default;
};

// The first 20 bytes of the voice area. Only VoicNSample is processed; the rest is shown as numbers.
struct TRawVoiceHeader {
  uint16_t VoicFormat = 0;
  uint16_t VoicFreq = 0;
  uint16_t VoicBitsStorage = 0;
  uint16_t VoicBitsSnd = 0;
  uint16_t VoicDay = 0;
  // Stored as two 16-bit words, high word first.
  uint32_t VoicSec = 0;
  uint16_t VoicAverage = 0;
  // Sample bytes following the header.
  uint32_t VoicNSample = 0;

  static TRawVoiceHeader Unpack(std::span<const uint8_t, kRawVoiceHeaderSize> bytes);
  std::array<uint8_t, kRawVoiceHeaderSize> Pack() const;

  bool operator==(const TRawVoiceHeader&) const = default;
};

// What the voice header says about the area: twenty zero bytes mean no voice at all; a present
// header with no samples has size 0.
struct RawVoiceArea {
  bool present = false;
  uint32_t RawVoicBlockSize = 0;
};
[[nodiscard]] RawVoiceArea VoiceAreaOf(std::span<const uint8_t, kRawVoiceHeaderSize> header_bytes);

// The sound is the difference of successive stored bytes, modulo 256, as signed 8-bit values:
// n bytes carry n - 1 samples.
[[nodiscard]] std::vector<int8_t> VoiceSoundSamples(std::span<const uint8_t> sample_bytes);

// The recorder's DevVersion text carries one leading character before the firmware number; the
// next three characters are read as a leading decimal number, anything else reading as 0.
[[nodiscard]] double DevVersionNumber(std::string_view dev_version);

// Whether the image holds an address block, given the recording block's firmware number.
[[nodiscard]] bool AddressBlockExists(const TRawFileHeader& header, double dev_version);

}  // namespace recorder
