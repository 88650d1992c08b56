#include "recorder/raw/raw_file_header.h"

#include <algorithm>
#include <charconv>

#include "platform/archive.h"

namespace recorder {
namespace {

constexpr size_t kFlexTableOffset = 108;
constexpr size_t kFileVersionOffset = 508;

}  // namespace

TRawFileHeader TRawFileHeader::Unpack(std::span<const uint8_t, kRawHeaderSize> bytes) {
  const uint8_t* p = bytes.data();
  TRawFileHeader h;
  h.ident_code = platform::LoadLE32(p + 0);
  h.RawPatBlockAddr = platform::LoadLE32(p + 4);
  h.RawPatBlockSize = platform::LoadLE32(p + 8);
  h.RawRecBlockAddr = platform::LoadLE32(p + 12);
  h.RawRecBlockSize = platform::LoadLE32(p + 16);
  h.RawEcgBlockAddr = platform::LoadLE32(p + 20);
  h.RawEcgBlockSize = platform::LoadLE32(p + 24);
  h.RawVoicBlockAddr = platform::LoadLE32(p + 28);
  for (int i = 0; i < kRawFlexEntries; ++i) {
    h.RawFlexBlockAddr[i] = platform::LoadLE32(p + kFlexTableOffset + 8 * i);
    h.RawFlexBlockSize[i] = platform::LoadLE32(p + kFlexTableOffset + 8 * i + 4);
  }
  h.RawFileVersion = platform::LoadLE16(p + kFileVersionOffset);
  return h;
}

std::array<uint8_t, kRawHeaderSize> TRawFileHeader::Pack() const {
  std::array<uint8_t, kRawHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  platform::StoreLE32(p + 0, ident_code);
  platform::StoreLE32(p + 4, RawPatBlockAddr);
  platform::StoreLE32(p + 8, RawPatBlockSize);
  platform::StoreLE32(p + 12, RawRecBlockAddr);
  platform::StoreLE32(p + 16, RawRecBlockSize);
  platform::StoreLE32(p + 20, RawEcgBlockAddr);
  platform::StoreLE32(p + 24, RawEcgBlockSize);
  platform::StoreLE32(p + 28, RawVoicBlockAddr);
  for (int i = 0; i < kRawFlexEntries; ++i) {
    platform::StoreLE32(p + kFlexTableOffset + 8 * i, RawFlexBlockAddr[i]);
    platform::StoreLE32(p + kFlexTableOffset + 8 * i + 4, RawFlexBlockSize[i]);
  }
  platform::StoreLE16(p + kFileVersionOffset, RawFileVersion);
  return bytes;
}

TRawFileHeader TRawFileHeader::ForWrittenImage(uint32_t ecg_size_bytes) {
  TRawFileHeader h;
  h.RawPatBlockAddr = kWrittenPatBlockAddr;
  h.RawPatBlockSize = kMaxRawFileBlockSize;
  h.RawRecBlockAddr = kWrittenRecBlockAddr;
  h.RawRecBlockSize = kMaxRawFileBlockSize;
  h.RawEcgBlockAddr = kWrittenEcgBlockAddr;
  h.RawEcgBlockSize = ecg_size_bytes;
  return h;
}

TRawVoiceHeader TRawVoiceHeader::Unpack(std::span<const uint8_t, kRawVoiceHeaderSize> bytes) {
  const uint8_t* p = bytes.data();
  TRawVoiceHeader h;
  h.VoicFormat = platform::LoadLE16(p + 0);
  h.VoicFreq = platform::LoadLE16(p + 2);
  h.VoicBitsStorage = platform::LoadLE16(p + 4);
  h.VoicBitsSnd = platform::LoadLE16(p + 6);
  h.VoicDay = platform::LoadLE16(p + 8);
  h.VoicSec = (static_cast<uint32_t>(platform::LoadLE16(p + 10)) << 16) | platform::LoadLE16(p + 12);
  h.VoicAverage = platform::LoadLE16(p + 14);
  h.VoicNSample = platform::LoadLE32(p + 16);
  return h;
}

std::array<uint8_t, kRawVoiceHeaderSize> TRawVoiceHeader::Pack() const {
  std::array<uint8_t, kRawVoiceHeaderSize> bytes{};
  uint8_t* p = bytes.data();
  platform::StoreLE16(p + 0, VoicFormat);
  platform::StoreLE16(p + 2, VoicFreq);
  platform::StoreLE16(p + 4, VoicBitsStorage);
  platform::StoreLE16(p + 6, VoicBitsSnd);
  platform::StoreLE16(p + 8, VoicDay);
  platform::StoreLE16(p + 10, static_cast<uint16_t>(VoicSec >> 16));
  platform::StoreLE16(p + 12, static_cast<uint16_t>(VoicSec));
  platform::StoreLE16(p + 14, VoicAverage);
  platform::StoreLE32(p + 16, VoicNSample);
  return bytes;
}

RawVoiceArea VoiceAreaOf(std::span<const uint8_t, kRawVoiceHeaderSize> header_bytes) {
  if (std::all_of(header_bytes.begin(), header_bytes.end(), [](uint8_t b) { return b == 0; })) return {};
  const uint32_t n = TRawVoiceHeader::Unpack(header_bytes).VoicNSample;
  // 20 + n may pass 2^32; the bounds check then fails it rather than letting it wrap.
  const uint64_t size = n == 0 ? 0 : uint64_t{kRawVoiceHeaderSize} + n;
  return {true, size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size)};
}

std::vector<int8_t> VoiceSoundSamples(std::span<const uint8_t> sample_bytes) {
  std::vector<int8_t> sound;
  if (sample_bytes.size() < 2) return sound;
  sound.reserve(sample_bytes.size() - 1);
  for (size_t k = 0; k + 1 < sample_bytes.size(); ++k)
    sound.push_back(static_cast<int8_t>(static_cast<uint8_t>(sample_bytes[k + 1] - sample_bytes[k])));
  return sound;
}

double DevVersionNumber(std::string_view dev_version) {
  if (dev_version.size() < 2) return 0.0;
  std::string_view digits = dev_version.substr(1, 3);
  while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) digits.remove_prefix(1);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

bool AddressBlockExists(const TRawFileHeader& header, double dev_version) {
  return dev_version >= kAddressBlockDevVersion && header.RawFlexBlockAddr[0] != 0;
}

}  // namespace recorder
