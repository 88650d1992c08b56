#include "recorder/raw/raw_image_writer.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"

namespace recorder {

TRawImageWriter::TRawImageWriter(std::span<const uint8_t, kMaxRawFileBlockSize> patient_block,
                                 std::span<const uint8_t, kMaxRawFileBlockSize> recording_block,
                                 size_t chunk_bytes)
    : patient_block_(patient_block), recording_block_(recording_block), chunk_bytes_(chunk_bytes) {
  assert(chunk_bytes_ > 0);
}

bool TRawImageWriter::WriteFromFile(const std::filesystem::path& target, const std::filesystem::path& source,
                                    const ChunkDone& chunk_done) const {
  const std::string name = source.filename().string();
  std::error_code ec;
  const uint64_t size = std::filesystem::file_size(source, ec);
  if (ec) throw platform::IoError(name, "cannot be found: " + ec.message());
  // The header holds the area's size in 32 bits; a larger sample file would be cut silently.
  if (size > UINT32_MAX)
    throw platform::FormatError(
        name, "size " + std::to_string(size) + " exceeds the 32-bit ECG area of a RAW image");
  std::ifstream in(source, std::ios::binary);
  if (!in) throw platform::IoError(name, "cannot be opened");
  const FillChunk fill = [&](uint64_t offset, std::span<uint8_t> chunk) {
    in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    if (static_cast<size_t>(in.gcount()) != chunk.size())
      throw platform::IoError(
          name, "cannot read " + std::to_string(chunk.size()) + " bytes at " + std::to_string(offset));
  };
  return Write(target, static_cast<uint32_t>(size), fill, chunk_done);
}

bool TRawImageWriter::WriteZeros(const std::filesystem::path& target, uint32_t ecg_size_bytes,
                                 const ChunkDone& chunk_done) const {
  return Write(
      target, ecg_size_bytes,
      [](uint64_t, std::span<uint8_t> chunk) { std::fill(chunk.begin(), chunk.end(), 0); }, chunk_done);
}

bool TRawImageWriter::Write(const std::filesystem::path& target, uint32_t ecg_size_bytes,
                            const FillChunk& fill, const ChunkDone& chunk_done) const {
  platform::AtomicFileWriter out(target);
  out.Write(TRawFileHeader::ForWrittenImage(ecg_size_bytes).Pack());
  out.Write(patient_block_);
  out.Write(recording_block_);

  const uint64_t chunk = chunk_bytes_;
  const int count = static_cast<int>((uint64_t{ecg_size_bytes} + chunk - 1) / chunk);
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(chunk, ecg_size_bytes)));
  uint64_t done_bytes = 0;
  for (int done = 1; done <= count; ++done) {
    const auto slice = std::span<uint8_t>(buffer).first(
        static_cast<size_t>(std::min<uint64_t>(chunk, ecg_size_bytes - done_bytes)));
    fill(done_bytes, slice);
    out.Write(slice);
    done_bytes += slice.size();
    if (!chunk_done(done, count)) {
      out.Abandon();
      return false;
    }
  }
  out.Commit();
  return true;
}

}  // namespace recorder
