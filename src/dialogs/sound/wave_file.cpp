#include "dialogs/sound/wave_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>

#include "dialogs/sound/sound_message.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"

namespace {

constexpr uint32_t kChunkHeaderBytes = 8;
// "WAVE", the "fmt " header and record, the "data" header: what the RIFF size counts before the
// samples.
constexpr uint32_t kRiffOverhead = 4 + kChunkHeaderBytes + sound::WaveFormatEx::kBytes + kChunkHeaderBytes;
constexpr uint64_t kDataSizeOffset = 12 + kChunkHeaderBytes + sound::WaveFormatEx::kBytes + 4;

void WriteLE32At(platform::AtomicFileWriter& writer, uint64_t offset, uint32_t value) {
  uint8_t b[4];
  platform::StoreLE32(b, value);
  writer.WriteAt(offset, b);
}

struct ChunkHeader {
  std::array<char, 4> id{};
  uint32_t size = 0;
};

std::optional<ChunkHeader> ReadChunkHeader(std::FILE* file) {
  uint8_t b[kChunkHeaderBytes];
  if (std::fread(b, 1, sizeof b, file) != sizeof b) return std::nullopt;
  ChunkHeader header;
  std::memcpy(header.id.data(), b, 4);
  header.size = platform::LoadLE32(b + 4);
  return header;
}

bool IdIs(const ChunkHeader& header, const char* id) { return std::memcmp(header.id.data(), id, 4) == 0; }

// Moves to the content of the sub-chunk id, searching from the current position up to end (the
// end of the RIFF chunk). Chunks are padded to even sizes.
std::optional<uint32_t> FindChunk(std::FILE* file, const char* id, int64_t end) {
  while (true) {
    const int64_t at = std::ftell(file);
    if (at < 0 || at + kChunkHeaderBytes > end) return std::nullopt;
    const std::optional<ChunkHeader> header = ReadChunkHeader(file);
    if (!header) return std::nullopt;
    if (IdIs(*header, id)) return header->size;
    const int64_t next = at + kChunkHeaderBytes + header->size + (header->size & 1);
    if (next > end || std::fseek(file, static_cast<long>(next), SEEK_SET) != 0) return std::nullopt;
  }
}

// Formats the devices can take; anything else (a damaged record, a compressed format) would
// size buffers from nonsense.
bool IsPlayablePcm(const sound::WaveFormatEx& f) {
  const bool bits_ok = f.bits_per_sample == 8 || f.bits_per_sample == 16 || f.bits_per_sample == 24 ||
                       f.bits_per_sample == 32;
  return f.format_tag == sound::WaveFormatEx::kPcm && f.channels >= 1 && f.channels <= 8 && bits_ok &&
         f.block_align == f.channels * (f.bits_per_sample / 8) && f.samples_per_sec >= 1000 &&
         f.samples_per_sec <= 384000;
}

}  // namespace

TWaveFile::TWaveFile(std::string file_name, const TWaveFormat* format) : file_name_(std::move(file_name)) {
  if (format != nullptr) {
    TWaveFormat::operator=(*format);
    OpenForWriting();
  } else {
    OpenForReading();
  }
}

TWaveFile::~TWaveFile() { Close(); }

void TWaveFile::OpenForWriting() {
  const std::array<uint8_t, sound::WaveFormatEx::kBytes> record = FormatBytes();
  uint8_t head[12 + kChunkHeaderBytes];
  std::memcpy(head, "RIFF", 4);
  platform::StoreLE32(head + 4, kRiffOverhead);
  std::memcpy(head + 8, "WAVEfmt ", 8);
  platform::StoreLE32(head + 16, sound::WaveFormatEx::kBytes);
  uint8_t data_head[kChunkHeaderBytes];
  std::memcpy(data_head, "data", 4);
  platform::StoreLE32(data_head + 4, 0);
  try {
    writer_ = std::make_unique<platform::AtomicFileWriter>(file_name_);
    writer_->Write(head);
    writer_->Write(record);
    writer_->Write(data_head);
  } catch (const platform::IoError&) {
    writer_.reset();
    return;
  }
  mode_ = kModeWriting;
}

void TWaveFile::FailRead(const char* message) {
  ShowPlainSoundMessage(message);
  std::fclose(file_);
  file_ = nullptr;
  mode_ = kModeClosed;
}

void TWaveFile::OpenForReading() {
  file_ = std::fopen(file_name_.c_str(), "rb");
  if (file_ == nullptr) return;
  int64_t file_size = -1;
  if (std::fseek(file_, 0, SEEK_END) == 0) file_size = std::ftell(file_);
  if (file_size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    std::fclose(file_);
    file_ = nullptr;
    return;
  }

  const std::optional<ChunkHeader> riff = ReadChunkHeader(file_);
  char form[4] = {};
  if (!riff || !IdIs(*riff, "RIFF") || std::fread(form, 1, 4, file_) != 4 || std::memcmp(form, "WAVE", 4) != 0) {
    FailRead("Error descending into file");
    return;
  }
  // A RIFF size beyond the file (a recording cut short) is read as far as the file goes.
  const int64_t riff_end = std::min<int64_t>(file_size, int64_t{kChunkHeaderBytes} + riff->size);

  const std::optional<uint32_t> fmt_size = FindChunk(file_, "fmt ", riff_end);
  if (!fmt_size) {
    FailRead("Error descending in wave file");
    return;
  }
  const int64_t fmt_start = std::ftell(file_);
  const int fmt_read = static_cast<int>(std::min<uint32_t>(*fmt_size, sound::WaveFormatEx::kBytes));
  uint8_t record[sound::WaveFormatEx::kBytes];
  const int64_t fmt_end = fmt_start + *fmt_size + (*fmt_size & 1);
  if (std::fread(record, 1, static_cast<size_t>(fmt_read), file_) != static_cast<size_t>(fmt_read) ||
      fmt_start + *fmt_size > riff_end) {
    FailRead("Error ascending in File");
    return;
  }
  SetFormatBytes(record, fmt_read);
  if (std::fseek(file_, static_cast<long>(std::min(fmt_end, riff_end)), SEEK_SET) != 0) {
    FailRead("Error ascending in File");
    return;
  }
  if (!IsPlayablePcm(format_)) {
    FailRead("Unsupported wave format");
    return;
  }

  const std::optional<uint32_t> data_size = FindChunk(file_, "data", riff_end);
  if (!data_size) {
    FailRead("error reading data chunk");
    return;
  }
  const int64_t data_start = std::ftell(file_);
  data_bytes_ = static_cast<uint32_t>(std::clamp<int64_t>(file_size - data_start, 0, *data_size));
  data_left_ = data_bytes_;
  mode_ = kModeReading;
}

bool TWaveFile::Write(const TAudioBuffer& buffer) {
  if (mode_ != kModeWriting || buffer.size < 0 || (buffer.size > 0 && buffer.data == nullptr)) return false;
  const uint32_t count = static_cast<uint32_t>(buffer.size);
  // The RIFF size field must hold the whole file.
  if (count > UINT32_MAX - kRiffOverhead - 1 - data_bytes_) return false;
  try {
    writer_->Write(std::span(buffer.data, count));
  } catch (const platform::IoError&) {
    write_failed_ = true;
    return false;
  }
  data_bytes_ += count;
  return true;
}

bool TWaveFile::Read(TAudioBuffer& buffer) {
  if (mode_ != kModeReading || buffer.data == nullptr || buffer.size <= 0) {
    buffer.size = 0;
    return false;
  }
  const size_t wanted = std::min<size_t>(static_cast<size_t>(buffer.size), data_left_);
  const size_t got = wanted == 0 ? 0 : std::fread(buffer.data, 1, wanted, file_);
  data_left_ -= static_cast<uint32_t>(got);
  buffer.size = static_cast<int32_t>(got);
  return got > 0;
}

std::unique_ptr<TAudioBuffer> TWaveFile::ReadNewBuffer() {
  const int32_t bytes = BufferBytes();
  if (mode_ != kModeReading || bytes <= 0) return nullptr;
  auto buffer = std::make_unique<TAudioBuffer>(bytes, true);
  if (!Read(*buffer)) return nullptr;
  return buffer;
}

void TWaveFile::Close() {
  if (writer_ != nullptr) {
    // Chunks are word-aligned: an odd sample count gets a pad byte the sizes do not count in "data".
    const uint32_t pad = data_bytes_ & 1;
    // A recording that failed leaves the older file as it was: the writer removes its temp file.
    if (!write_failed_) {
      try {
        if (pad != 0) writer_->Write(std::array<uint8_t, 1>{0});
        WriteLE32At(*writer_, 4, kRiffOverhead + data_bytes_ + pad);
        WriteLE32At(*writer_, kDataSizeOffset, data_bytes_);
        writer_->Commit();
      } catch (const platform::IoError&) {
      }
    }
    writer_.reset();
  }
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  mode_ = kModeClosed;
}
