#include "recorder/raw/raw_image_writer.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/progress_window.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "platform/atomic_file_writer.h"
#include "platform/clock.h"
#include "platform/io_error.h"

namespace recorder {
namespace {

// The recorder text is "DevType DevVersion DevSerial"; the serial may hold blanks of its own.
struct RecorderTexts {
  std::string type;
  std::string version;
  std::string serial;
};

RecorderTexts SplitRecorderText(std::string_view text) {
  const auto next_word = [&text] {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
      text = {};
      return std::string();
    }
    text.remove_prefix(start);
    const size_t end = std::min(text.find(' '), text.size());
    std::string word(text.substr(0, end));
    text.remove_prefix(end);
    return word;
  };
  RecorderTexts texts;
  texts.type = next_word();
  texts.version = next_word();
  const size_t start = text.find_first_not_of(' ');
  const size_t end = text.find_last_not_of(' ');
  if (start != std::string_view::npos) texts.serial = std::string(text.substr(start, end - start + 1));
  return texts;
}

// Calendar years, one fewer before this year's birthday; a birth date no calendar holds gives 0.
int32_t AgeInYears(const platform::OleDateTime& birth, const platform::LocalDateTime& today) {
  if (birth.status != 0) return 0;
  const std::optional<platform::LocalDateTime> born = document::ToLocalDateTime(birth);
  if (!born) return 0;
  int32_t age = today.year - born->year;
  if (age != 0 && (today.month < born->month || (today.month == born->month && today.day < born->day))) --age;
  return age;
}

std::string WithPath(std::string_view format, const std::string& path) {
  std::string text(format);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace

RawImageBlocks BlocksOfRecording(const TPatientData& patient, const TRecordingData& recording,
                                 const platform::Clock& clock) {
  TPatientBlockFields patient_fields = TRecorderBlocks::PatientFieldsFromRecord(patient, clock);
  patient_fields.age = AgeInYears(patient.birth_date, clock.Now());
  RecorderTexts texts = SplitRecorderText(recording.identity_text);
  const TRecordingBlockFields recording_fields = TRecorderBlocks::RecordingFieldsFromRecord(
      recording, std::move(texts.type), std::move(texts.version), std::move(texts.serial));
  return {TRecorderBlocks::PackPatientBlock(patient_fields),
          TRecorderBlocks::PackRecordingBlock(recording_fields)};
}

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

int CreateRawFileOfRecording(const TPatientData& patient, const TRecordingData& recording,
                             const platform::Clock& clock, const std::string& source_cmp,
                             const std::string& raw_path, std::string& result_text,
                             const TRawImageWriter::ChunkDone& chunk_done) {
  std::error_code ec;
  (void)std::filesystem::file_size(source_cmp, ec);
  if (ec) {
    result_text = WithPath("Error reading CMPFile %s !", source_cmp);
    return 0;
  }
  const std::filesystem::path target(raw_path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  if (!std::filesystem::is_directory(folder, ec)) {
    result_text = WithPath("Error opening RawFile %s !", raw_path);
    return 0;
  }
  if (!std::ifstream(source_cmp, std::ios::binary)) {
    result_text = WithPath("Error reading file %s !", source_cmp);
    return 0;
  }

  const RawImageBlocks blocks = BlocksOfRecording(patient, recording, clock);
  const TRawImageWriter writer(blocks.patient, blocks.recording);
  std::unique_ptr<CProgressWindow> progress;
  TRawImageWriter::ChunkDone step = chunk_done;
  if (!step) {
    progress = std::make_unique<CProgressWindow>();
    progress->BeginModal("Writing...", false);
    progress->SetText("Creating Files....");
    step = [&progress](int done, int count) {
      if (done == 1) progress->SetRange(0, count, 1);
      progress->SetPos(done);
      return progress->PumpMessages(true) == 0 && !progress->IsCancelled();
    };
  }
  try {
    if (!writer.WriteFromFile(target, source_cmp, step)) {
      result_text = "Action was cancelled !";
      return 0;
    }
  } catch (const platform::IoError& error) {
    // The source's faults name the sample file; every other names the image.
    const bool source_fault = error.where() == std::filesystem::path(source_cmp).filename().string();
    result_text = source_fault ? WithPath("Error reading CMPFile %s !", source_cmp)
                               : WithPath("Error writing RawFile %s !", raw_path);
    return 0;
  }
  return 1;
}

}  // namespace recorder
