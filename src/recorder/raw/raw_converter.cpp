#include "recorder/raw/raw_converter.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <new>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

#include "common/progress_window.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/io_error.h"
#include "recorder/raw/raw_file_header.h"
#include "recorder/raw/raw_image.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recording_naming.h"

namespace recorder {
namespace {

// Work file kinds of the document, and the kinds that name the file last made of each.
constexpr int kWorkQrs = 0;
constexpr int kWorkCmp = 1;
constexpr int kWorkPid = 2;
constexpr int kWorkSc1 = 3;
constexpr int kLastMade = CZK470Doc::kWorkFileKinds;

// Fills each "%s" in turn; the values come from outside and never act as formats.
std::string Fill(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string text;
  auto value = values.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && value != values.end()) {
      text += *value++;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

RawConvertResult Fail(int exit_code, std::string message) { return {exit_code, std::move(message), {}}; }

std::unique_ptr<uint8_t[]> HeapBuffer(size_t bytes) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]());
}

// The image, read with 64-bit offsets so that areas past 4 GB are reached.
class ImageFile {
 public:
  explicit ImageFile(const std::string& path) : in_(path, std::ios::binary) {}
  bool IsOpen() const { return in_.is_open(); }
  bool Seek(uint64_t offset, uint64_t file_size) {
    if (offset > file_size) return false;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in_);
  }
  bool Read(std::span<uint8_t> out) {
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<size_t>(in_.gcount()) == out.size();
  }
  std::optional<std::vector<uint8_t>> ReadBlock(uint32_t size) {
    std::vector<uint8_t> bytes(size);
    if (!Read(bytes)) return std::nullopt;
    return bytes;
  }

 private:
  std::ifstream in_;
};

enum class CopyEnd { kDone, kCancelled, kReadFailed, kWriteFailed };

// Copies size bytes from the image's current place, one chunk per progress step.
CopyEnd CopyArea(ImageFile& image, std::ofstream& out, uint64_t size, std::span<uint8_t> buffer,
                 RawCopyProgress* progress) {
  uint64_t left = size;
  while (left > 0) {
    const auto chunk = buffer.first(static_cast<size_t>(std::min<uint64_t>(buffer.size(), left)));
    if (!image.Read(chunk)) return CopyEnd::kReadFailed;
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    if (!out) return CopyEnd::kWriteFailed;
    left -= chunk.size();
    if (progress != nullptr && !progress->Step()) return left > 0 ? CopyEnd::kCancelled : CopyEnd::kDone;
  }
  return CopyEnd::kDone;
}

int ChunkCount(uint64_t bytes, size_t chunk) { return static_cast<int>((bytes + chunk - 1) / chunk); }

// Ends the progress window on every way out of the copy.
class ProgressScope {
 public:
  ProgressScope(RawCopyProgress* progress, int steps) : progress_(progress) {
    if (progress_ != nullptr) progress_->Begin(steps);
  }
  ~ProgressScope() {
    if (progress_ != nullptr) progress_->End();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  RawCopyProgress* progress_;
};

// The channel sets of a new two-channel recording: recording and analysis sets 0 and 1, the
// first two ST channels 0 and 1.
void SetTwoChannelSets(document::DocumentContext& context) {
  constexpr std::array<int32_t, 2> kFirstTwo = {0, 1};
  context.g_RecordingChannels.Assign(kFirstTwo);
  context.g_AnalysisChannels.Assign(kFirstTwo);
  context.g_STChannels.channels[0] = 0;
  context.g_STChannels.channels[1] = 1;
}

// The ".qrs" of the new recording: patient, recording, no beats, no events. The patient record
// stores the channel sets; they are those of the new recording only while it is written.
bool WriteRecordingFile(const std::string& path, const TPatientData& patient, const TRecordingData& recording,
                        int32_t version) {
  document::DocumentContext& context = document::Context();
  const document::DocumentContext saved = context;
  SetTwoChannelSets(context);
  platform::ArchiveWriter ar;
  patient.Serialize(ar, version);
  recording.Serialize(ar, version);
  TQRSList().Serialize(ar, version);
  TEventList().Serialize(ar, version);
  context = saved;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(ar.Bytes().data()),
            static_cast<std::streamsize>(ar.Bytes().size()));
  out.flush();
  return static_cast<bool>(out);
}

std::string SystemError(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace

struct RawProgressWindow::Impl {
  CProgressWindow window;
};

RawProgressWindow::RawProgressWindow(std::string caption, win::Window* parent)
    : caption_(std::move(caption)), parent_(parent) {}

RawProgressWindow::~RawProgressWindow() = default;

void RawProgressWindow::Begin(int steps) {
  impl_ = std::make_unique<Impl>();
  impl_->window.CreatePopup(parent_, caption_, false);
  impl_->window.BeginModal(caption_, false);
  impl_->window.SetRange(0, steps, 1);
  impl_->window.SetText("Creating Files....");
}

bool RawProgressWindow::Step() {
  if (!impl_) return true;
  impl_->window.StepIt();
  return impl_->window.PumpMessages(true) == 0 && !impl_->window.IsCancelled();
}

void RawProgressWindow::End() { impl_.reset(); }

RawConvertResult ConvertRawFile(CZK470Doc& doc, const std::string& raw_path,
                                const RawConvertOptions& options) {
  for (const int kind : {kWorkQrs, kWorkCmp, kWorkSc1, kWorkPid}) doc.DeleteWorkFile(kLastMade + kind);

  const auto unreadable = [&] {
    return Fail(kRawExitUnreadable, Fill("Error reading RawFile %s !", {raw_path}));
  };
  std::error_code ec;
  const uint64_t file_size = std::filesystem::file_size(raw_path, ec);
  if (ec || file_size == 0) return unreadable();

  ImageFile image(raw_path);
  if (!image.IsOpen()) return Fail(kRawExitUnreadable, Fill("Error opening RawFile %s !", {raw_path}));
  std::array<uint8_t, kRawHeaderSize> header_bytes{};
  if (file_size < kRawHeaderSize || !image.Read(header_bytes)) return unreadable();
  const TRawFileHeader header = TRawFileHeader::Unpack(header_bytes);
  if (header.ident_code != kRawIdentCode)
    return Fail(kRawExitUnreadable, Fill("RawFile %s not valid!", {raw_path}));
  if (CheckRawHeader(header, file_size))
    return Fail(kRawExitLayoutInvalid, Fill("RawFile %s not valid (Addr/Size)!", {raw_path}));

  // A present voice header without samples carries no sound: the recording has no voice then.
  uint64_t voice_size = 0;
  if (header.RawVoicBlockAddr != 0) {
    if (!image.Seek(header.RawVoicBlockAddr, file_size))
      return Fail(kRawExitLayoutInvalid, Fill("RawFile %s not valid (Seek Voice)!", {raw_path}));
    std::array<uint8_t, kRawHeaderSize> sector{};
    if (!image.Read(sector)) return unreadable();
    const RawVoiceArea voice =
        VoiceAreaOf(std::span<const uint8_t, kRawHeaderSize>(sector).first<kRawVoiceHeaderSize>());
    if (CheckRawVoiceArea(header, file_size, sector))
      return Fail(kRawExitLayoutInvalid, Fill("RawFile %s not valid (Voic Addr/Size)!", {raw_path}));
    if (voice.present) voice_size = voice.RawVoicBlockSize;
  }

  if (!image.Seek(header.RawPatBlockAddr, file_size))
    return Fail(kRawExitUnreadable, Fill("RawFile %s not valid (Seek 1)!", {raw_path}));
  const std::optional<std::vector<uint8_t>> patient_block = image.ReadBlock(header.RawPatBlockSize);
  if (!patient_block) return unreadable();
  if (!image.Seek(header.RawRecBlockAddr, file_size))
    return Fail(kRawExitUnreadable, Fill("RawFile %s not valid (Seek 2)!", {raw_path}));
  const std::optional<std::vector<uint8_t>> recording_block = image.ReadBlock(header.RawRecBlockSize);
  if (!recording_block) return unreadable();

  const platform::Clock& clock = doc.GetClock();
  TPatientBlockFields patient_fields;
  TRecordingBlockFields recording_fields;
  try {
    patient_fields = TRecorderBlocks::UnpackPatientBlock(*patient_block, clock);
    recording_fields = TRecorderBlocks::UnpackRecordingBlock(*recording_block, clock);
  } catch (const platform::IoError&) {
    return Fail(kRawExitLayoutInvalid, Fill("RawFile %s not valid (Addr/Size)!", {raw_path}));
  }
  TAddressBlockFields address_fields;
  if (AddressBlockExists(header, DevVersionNumber(recording_fields.dev_version))) {
    if (!image.Seek(header.RawFlexBlockAddr[0], file_size))
      return Fail(kRawExitUnreadable, Fill("RawFile %s not valid (Seek 2a)!", {raw_path}));
    const std::optional<std::vector<uint8_t>> address_block = image.ReadBlock(header.RawFlexBlockSize[0]);
    if (!address_block) return unreadable();
    address_fields = TRecorderBlocks::UnpackAddressBlock(header.RawFileVersion, *address_block);
  }

  if (!image.Seek(header.RawEcgBlockAddr, file_size))
    return Fail(kRawExitUnreadable, Fill("RawFile %s not valid (Seek 3)!", {raw_path}));

  std::unique_ptr<uint8_t[]> buffer;
  size_t chunk = 0;
  for (const size_t size : kRawTransferBufferSizes) {
    buffer = options.allocate ? options.allocate(size) : HeapBuffer(size);
    if (buffer) {
      chunk = size;
      break;
    }
  }
  if (!buffer) return Fail(kRawExitNoMemory, "No memory for available !");
  const std::span<uint8_t> transfer(buffer.get(), chunk);

  const std::string cmp_path = doc.GetWorkFileName(kWorkCmp);
  std::ofstream cmp(cmp_path, std::ios::binary | std::ios::trunc);
  if (cmp_path.empty() || !cmp) {
    const int error = errno;
    return Fail(kRawExitWriteFailed,
                Fill("Error creating file %s ! %s",
                     {cmp_path.empty() ? doc.GetWorkDirectory() : cmp_path, SystemError(error)}));
  }

  bool cancelled = false;
  {
    const ProgressScope scope(options.progress,
                              ChunkCount(header.RawEcgBlockSize, chunk) + ChunkCount(voice_size, chunk));
    const CopyEnd ecg_end = CopyArea(image, cmp, header.RawEcgBlockSize, transfer, options.progress);
    cmp.close();
    if (ecg_end == CopyEnd::kReadFailed) return unreadable();
    if (ecg_end == CopyEnd::kWriteFailed || cmp.fail())
      return Fail(kRawExitWriteFailed, Fill("Error writing CMPFile %s !", {cmp_path}));
    cancelled = ecg_end == CopyEnd::kCancelled;

    if (voice_size != 0 && !cancelled) {
      if (!image.Seek(header.RawVoicBlockAddr, file_size))
        return Fail(kRawExitUnreadable, Fill("RawFile %s not valid (Seek Voice 2)!", {raw_path}));
      const std::string sc1_path = doc.GetWorkFileName(kWorkSc1);
      std::ofstream sc1(sc1_path, std::ios::binary | std::ios::trunc);
      if (sc1_path.empty() || !sc1)
        return Fail(kRawExitWriteFailed,
                    Fill("Error creating file %s !", {sc1_path.empty() ? doc.GetWorkDirectory() : sc1_path}));
      const CopyEnd voice_end = CopyArea(image, sc1, voice_size, transfer, options.progress);
      sc1.close();
      if (voice_end == CopyEnd::kReadFailed) return unreadable();
      if (voice_end == CopyEnd::kWriteFailed || sc1.fail())
        return Fail(kRawExitWriteFailed, Fill("Error writing VIDFile %s !", {sc1_path}));
      cancelled = voice_end == CopyEnd::kCancelled;
    }
  }
  buffer.reset();
  if (cancelled) return Fail(kRawExitCancelled, "Action was cancelled !");

  TPatientData patient(clock);
  TRecordingData recording(clock);
  TRecorderBlocks::StoreInRecords(patient_fields, address_fields, recording_fields, patient, recording);

  const std::string qrs_path = doc.GetWorkFileName(kWorkQrs);
  if (qrs_path.empty() ||
      !WriteRecordingFile(qrs_path, patient, recording, doc.GetHost().GetFileFormatVersion()))
    return Fail(kRawExitWriteFailed, "Error writing Temp QRSFile !");

  if (voice_size != 0) {
    const std::string sc1_path = doc.GetWorkFileName(kLastMade + kWorkSc1);
    const std::string pid_path = doc.GetWorkFileName(kWorkPid);
    std::string error;
    const bool converted = !pid_path.empty() && CZK470Doc::ConvertVoiceToWave(sc1_path, pid_path, error);
    doc.DeleteWorkFile(kLastMade + kWorkSc1);
    if (!converted) return Fail(kRawExitWriteFailed, "Error writing Temp PIDFile !");
  }

  const RawRecordingNamer& namer = options.name_recording;
  const std::string date_text = recording.GetStartDateText();
  const std::string time_text = recording.GetStartTimeText();
  std::string path;
  try {
    path = namer ? namer(doc, patient.surname, patient.first_name, date_text, time_text)
                 : NameNewRecording(doc, patient.surname, patient.first_name, date_text, time_text);
  } catch (const std::exception&) {
    path.clear();
  }
  // No name means no recording: reporting success would drop the card's data without a word.
  if (path.empty()) {
    for (const int kind : {kWorkQrs, kWorkCmp, kWorkSc1, kWorkPid}) doc.DeleteWorkFile(kLastMade + kind);
    return Fail(kRawExitWriteFailed, Fill("Error creating file %s !", {doc.GetDataDirectory()}));
  }
  SetTwoChannelSets(document::Context());
  return {kRawExitDone, {}, path};
}

bool IsPatientDataIncomplete(const TPatientData& patient) {
  return patient.surname.empty() || patient.first_name.empty() || patient.patient_id.empty() ||
         patient.birth_date.status != 0 || patient.sex == 0;
}

}  // namespace recorder
