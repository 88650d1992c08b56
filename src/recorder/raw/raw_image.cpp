#include "recorder/raw/raw_image.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "platform/io_error.h"

namespace recorder {
namespace {

// A block's end must stay within the file; 64 bits keep address + size from wrapping.
std::optional<RawRuleBreak> CheckInside(RawRule rule, std::string_view what, uint32_t addr, uint32_t size,
                                        uint64_t file_size) {
  const uint64_t end = uint64_t{addr} + size;
  if (addr > file_size || end > file_size)
    return RawRuleBreak{rule, std::string(what) + ": end " + std::to_string(end) + " past the file size " +
                                  std::to_string(file_size)};
  return std::nullopt;
}

std::optional<RawRuleBreak> CheckSize(RawRule rule, std::string_view what, uint32_t size, uint32_t min_size,
                                      uint32_t max_size) {
  if (size < min_size || size > max_size)
    return RawRuleBreak{rule, std::string(what) + ": size " + std::to_string(size) + " not in " +
                                  std::to_string(min_size) + " .. " + std::to_string(max_size)};
  return std::nullopt;
}

class RawFile {
 public:
  RawFile(const std::filesystem::path& path) : path_(path), in_(path, std::ios::binary) {
    if (!in_) throw platform::IoError(Name(), "cannot be opened");
  }

  void ReadAt(uint64_t offset, std::span<uint8_t> out, std::string_view what) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!in_ || static_cast<size_t>(in_.gcount()) != out.size())
      throw platform::IoError(Name() + ", " + std::string(what), "cannot read " + std::to_string(out.size()) +
                                                                     " bytes at " + std::to_string(offset));
  }

  std::vector<uint8_t> ReadBlock(uint32_t addr, uint32_t size, std::string_view what) {
    std::vector<uint8_t> bytes(size);
    ReadAt(addr, bytes, what);
    return bytes;
  }

  std::string Name() const { return path_.filename().string(); }

 private:
  std::filesystem::path path_;
  std::ifstream in_;
};

[[noreturn]] void Refuse(const std::string& file, const RawRuleBreak& broken) {
  throw platform::FormatError(file + ", " + std::string(RawRuleName(broken.rule)), broken.detail);
}

}  // namespace

std::string_view RawRuleName(RawRule rule) {
  switch (rule) {
    case RawRule::kHeader:
      return "header";
    case RawRule::kBlockBounds:
      return "block bounds";
    case RawRule::kVoiceAddress:
      return "voice address";
    case RawRule::kBlockMaxSize:
      return "block size limit";
    case RawRule::kBlockMinSize:
      return "block minimum size";
    case RawRule::kFlexEntries:
      return "flex entries";
    case RawRule::kVoiceArea:
      return "voice area";
  }
  return "?";
}

std::optional<RawRuleBreak> CheckRawHeader(const TRawFileHeader& h, uint64_t file_size) {
  if (file_size < kRawHeaderSize)
    return RawRuleBreak{RawRule::kHeader,
                        "file size " + std::to_string(file_size) + " below the 512-byte header"};
  if (h.ident_code != kRawIdentCode)
    return RawRuleBreak{RawRule::kHeader, "ident code " + std::to_string(h.ident_code) + " is not 36866"};
  if (auto b = CheckInside(RawRule::kBlockBounds, "patient block", h.RawPatBlockAddr, h.RawPatBlockSize,
                           file_size))
    return b;
  if (auto b = CheckInside(RawRule::kBlockBounds, "recording block", h.RawRecBlockAddr, h.RawRecBlockSize,
                           file_size))
    return b;
  if (auto b =
          CheckInside(RawRule::kBlockBounds, "ECG area", h.RawEcgBlockAddr, h.RawEcgBlockSize, file_size))
    return b;
  if (h.RawVoicBlockAddr > file_size)
    return RawRuleBreak{RawRule::kVoiceAddress, "voice address " + std::to_string(h.RawVoicBlockAddr) +
                                                    " past the file size " + std::to_string(file_size)};
  if (auto b = CheckSize(RawRule::kBlockMaxSize, "patient block", h.RawPatBlockSize, 0, kMaxRawFileBlockSize))
    return b;
  if (auto b =
          CheckSize(RawRule::kBlockMaxSize, "recording block", h.RawRecBlockSize, 0, kMaxRawFileBlockSize))
    return b;
  if (auto b =
          CheckSize(RawRule::kBlockMinSize, "patient block", h.RawPatBlockSize, kMinPatBlockSize, UINT32_MAX))
    return b;
  if (auto b = CheckSize(RawRule::kBlockMinSize, "recording block", h.RawRecBlockSize, kMinRecBlockSize,
                         UINT32_MAX))
    return b;
  for (int i = 0; i < kRawFlexEntries; ++i) {
    const std::string what = "flex entry " + std::to_string(i);
    if (auto b =
            CheckInside(RawRule::kFlexEntries, what, h.RawFlexBlockAddr[i], h.RawFlexBlockSize[i], file_size))
      return b;
    if (auto b = CheckSize(RawRule::kFlexEntries, what, h.RawFlexBlockSize[i], 0, kMaxRawFileBlockSize))
      return b;
  }
  return std::nullopt;
}

std::optional<RawRuleBreak> CheckRawVoiceArea(const TRawFileHeader& h, uint64_t file_size,
                                              std::span<const uint8_t> bytes_at_voice) {
  if (h.RawVoicBlockAddr == 0) return std::nullopt;
  // The recorder reads a whole 512-byte sector at the voice address, however short the area.
  const uint64_t sector_end = uint64_t{h.RawVoicBlockAddr} + kRawHeaderSize;
  if (sector_end > file_size || bytes_at_voice.size() < kRawVoiceHeaderSize)
    return RawRuleBreak{RawRule::kVoiceArea, "512 bytes at the voice address end at " +
                                                 std::to_string(sector_end) + ", past the file size " +
                                                 std::to_string(file_size)};
  const RawVoiceArea voice = VoiceAreaOf(bytes_at_voice.first<kRawVoiceHeaderSize>());
  return CheckInside(RawRule::kVoiceArea, "voice area", h.RawVoicBlockAddr, voice.RawVoicBlockSize,
                     file_size);
}

std::optional<std::span<const uint8_t>> TRawImage::AddressBlock(std::string_view dev_version) const {
  if (!AddressBlockExists(header, DevVersionNumber(dev_version))) return std::nullopt;
  return std::span<const uint8_t>(flex_block0);
}

TRawImage ReadRawImage(const std::filesystem::path& path) {
  std::error_code ec;
  const uint64_t file_size = std::filesystem::file_size(path, ec);
  if (ec) throw platform::IoError(path.filename().string(), "cannot be found: " + ec.message());
  const std::string name = path.filename().string();
  if (file_size == 0) throw platform::FormatError(name + ", header", "the file is empty");

  RawFile file(path);
  TRawImage image;
  image.file_size = file_size;
  std::array<uint8_t, kRawHeaderSize> header_bytes{};
  if (file_size < kRawHeaderSize)
    Refuse(name, {RawRule::kHeader, "file size " + std::to_string(file_size) + " below the 512-byte header"});
  file.ReadAt(0, header_bytes, "header");
  image.header = TRawFileHeader::Unpack(header_bytes);
  if (auto broken = CheckRawHeader(image.header, file_size)) Refuse(name, *broken);

  const TRawFileHeader& h = image.header;
  if (h.RawVoicBlockAddr != 0) {
    std::array<uint8_t, kRawHeaderSize> voice_bytes{};
    const uint64_t available = std::min<uint64_t>(kRawHeaderSize, file_size - h.RawVoicBlockAddr);
    const std::span<uint8_t> sector(voice_bytes.data(), static_cast<size_t>(available));
    if (!sector.empty()) file.ReadAt(h.RawVoicBlockAddr, sector, "voice header");
    if (auto broken = CheckRawVoiceArea(h, file_size, sector)) Refuse(name, *broken);
    const auto voice_header =
        std::span<const uint8_t, kRawHeaderSize>(voice_bytes).first<kRawVoiceHeaderSize>();
    image.voice = VoiceAreaOf(voice_header);
    if (image.voice.present) image.voice_header = TRawVoiceHeader::Unpack(voice_header);
  }

  image.patient_block = file.ReadBlock(h.RawPatBlockAddr, h.RawPatBlockSize, "patient block");
  image.recording_block = file.ReadBlock(h.RawRecBlockAddr, h.RawRecBlockSize, "recording block");
  if (h.RawFlexBlockAddr[0] != 0)
    image.flex_block0 = file.ReadBlock(h.RawFlexBlockAddr[0], h.RawFlexBlockSize[0], "flex entry 0");
  return image;
}

}  // namespace recorder
