#include "recorder/recorder_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>

#include "document/document_context.h"
#include "document/document_host.h"
#include "document/event_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"
#include "recorder/recorder_search.h"
#include "recorder/recording_naming.h"

namespace {

// Stream bytes are collected and written in whole buffers of this size.
constexpr size_t kBufferSize = 65535;
// A stream is abandoned only after this many reads in a row without bytes, or failed ones, so
// that slow links are waited for.
constexpr int kMaxEmptyReads = 2500;
constexpr int kMaxFailedReads = 2;
// A stream cut before this many bytes held no recording at all.
constexpr int64_t kMinRecordingBytes = 300;
// The review head is looked for once this many bytes have arrived.
constexpr int64_t kReviewHeadWait = 500;
// Sample data starting with this many 0xFF (or 0x00) bytes come from an empty recorder.
constexpr size_t kEmptyTestBytes = 32;
constexpr int kKilobyte = 1024;

// Work-file kinds: a new file of kind k; its stored name is kind k + 6.
constexpr int kWorkQrs = 0;
constexpr int kWorkSamples = 1;
constexpr int kWorkVoiceWave = 2;
constexpr int kWorkRawVoice = 3;
constexpr int kStored = CZK470Doc::kWorkFileKinds;

bool AllBytes(std::span<const uint8_t> bytes, uint8_t value) {
  return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

uint32_t BigEndian32(std::span<const uint8_t> bytes) {
  return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
         (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

std::string Format(std::string_view pattern, const std::string& a, const std::string& b) {
  std::string text(pattern);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, a);
  if (const size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, b);
  return text;
}

}  // namespace

// A work file written with every write checked.
class TRecorderReader::OutFile {
 public:
  explicit OutFile(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) error_ = errno;
  }
  ~OutFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }
  int Error() const { return error_; }

  bool Write(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return false;
    size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : ENOSPC;
        return false;
      }
      written += static_cast<size_t>(n);
    }
    return true;
  }
  // The data must be on disk before the file is named as a recording.
  bool Close() {
    if (fd_ < 0) return error_ == 0;
    const bool synced = ::fsync(fd_) == 0;
    if (!synced) error_ = errno;
    const bool closed = ::close(fd_) == 0;
    if (!closed && synced) error_ = errno;
    fd_ = -1;
    return synced && closed;
  }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
};

TRecorderReader::TRecorderReader(CZK470Doc& doc, Ui& ui, DeviceSearch search)
    : doc_(doc),
      ui_(ui),
      search_(std::move(search)),
      buffer_(kBufferSize),
      patient_(doc.GetClock()),
      recording_(doc.GetClock()) {}

TRecorderReader::~TRecorderReader() {
  sample_file_.reset();
  voice_file_.reset();
  link_.reset();
  RemoveOwnFiles();
}

void TRecorderReader::RemoveOwnFiles() {
  for (const auto& [kind, path] : own_files_) {
    // Forget the document's name too when it still names this file.
    if (doc_.GetWorkFileName(kind + kStored) == path)
      doc_.DeleteWorkFile(kind + kStored);
    else
      ::unlink(path.c_str());
  }
  own_files_.clear();
}

bool TRecorderReader::IsStream130() const {
  return recorder_kind_ == TRecorderProtocol::kKindZK130 || recorder_kind_ == TRecorderProtocol::kKindZK133;
}

bool TRecorderReader::Start() {
  result_path_.clear();
  cancel_.store(false);
  success_ = false;
  const std::string samples = doc_.GetWorkFileName(kWorkSamples);
  if (!samples.empty()) own_files_.emplace_back(kWorkSamples, samples);
  sample_file_ = std::make_unique<OutFile>(samples);
  if (samples.empty() || !sample_file_->IsOpen()) {
    ui_.ShowMessage(Format("Error creating file %s ! %s", samples,
                           std::strerror(samples.empty() ? ENOENT : sample_file_->Error())));
    return false;
  }

  recorder_kind_ = search_ ? search_(doc_) : 9;
  if (recorder_kind_ == TRecorderProtocol::kKindZK131) {
    const std::string raw_voice = doc_.GetWorkFileName(kWorkRawVoice);
    if (!raw_voice.empty()) own_files_.emplace_back(kWorkRawVoice, raw_voice);
    voice_file_ = std::make_unique<OutFile>(raw_voice);
    if (raw_voice.empty() || !voice_file_->IsOpen()) {
      ui_.ShowMessage(Format("Error creating file %s ! %s", raw_voice,
                             std::strerror(raw_voice.empty() ? ENOENT : voice_file_->Error())));
      return false;
    }
  } else {
    doc_.DeleteWorkFile(kWorkRawVoice + kStored);
  }
  if (recorder_kind_ != TRecorderProtocol::kKindZK130 && recorder_kind_ != TRecorderProtocol::kKindZK133 &&
      recorder_kind_ != TRecorderProtocol::kKindZK131)
    return false;
  return Connect();
}

bool TRecorderReader::Connect() {
  const int interface_kind = doc_.GetSettings().Int(SettingKey::kIOPortMode);
  const auto mode_word = static_cast<uint32_t>(doc_.GetSettings().Int(SettingKey::kIOPortBaseAdr));
  link_ = recorder::MakeRecorderLink(interface_kind);
  link_open_ = link_ != nullptr && link_->Open(mode_word, recorder::CurrentRecorder(doc_).DeviceName());
  if (!link_open_) {
    ui_.Beep();
    ui_.ShowMessage(
        platform::LoadString(interface_kind == recorder::kInterfaceCard ? kStrCardDriver : kStrUsbDriver));
    return false;
  }
  return true;
}

void TRecorderReader::Report(int report) {
  ui_.Beep();
  switch (report) {
    case kReportNotOpen:
      ui_.ShowMessage(platform::LoadString(
          doc_.GetSettings().Int(SettingKey::kIOPortMode) == recorder::kInterfaceCard ? kStrCardDriver
                                                                                      : kStrUsbDriver));
      break;
    case kReportBrokenOff:
      ui_.ShowMessage(platform::LoadString(kStrBrokenOff));
      break;
    case kReportCommError:
      // Only Cancel stops; Retry lets the caller repeat.
      if (ui_.AskRetry()) return;
      break;
    case kReportNoData:
      ui_.ShowMessage(platform::LoadString(kStrNoData));
      break;
    case kReportEmptyRecorder:
      ui_.ShowMessage(platform::LoadString(kStrEmptyRecorder));
      break;
    default:
      break;
  }
  cancel_.store(true);
}

void TRecorderReader::WriteFailed(const std::string& path, int error) {
  ui_.Beep();
  ui_.ShowMessage(Format("Error writing file %s ! %s", path, std::strerror(error)));
  cancel_.store(true);
}

bool TRecorderReader::LinkReady() {
  if (link_open_ && link_ && link_->IsOpen()) return true;
  Report(kReportNotOpen);
  return false;
}

void TRecorderReader::Run() {
  while (!cancel_.load() && !Request()) {
  }
  if (!cancel_.load()) {
    while (!done_ && !cancel_.load()) ReceiveECG();
    if (link_open_) link_->SendText(IsStream130() ? "ExREV\r" : "StopSend\r", false, 0);
  }
  if (recorder_kind_ == TRecorderProtocol::kKindZK131) {
    if (cancel_.load()) return;
    if (voice_length_ > 0) {
      bool sent = false;
      while (!sent && !cancel_.load()) {
        if (!LinkReady()) break;
        sent = link_->SendText("GetVoiceDat\r", true, 0) == 1;
        if (!sent) Report(kReportCommError);
      }
      if (sent) {
        received_ = 0;
        done_ = false;
        buffer_count_ = 0;
        empty_reads_ = 0;
        failed_reads_ = 0;
        while (!done_ && !cancel_.load()) ReceiveVoice();
        link_->SendText("StopSend\r", false, 0);
      }
    }
    if (cancel_.load()) return;
    if (voice_length_ > 0) ConvertVoice();
    if (cancel_.load()) return;
  }
  if (!cancel_.load()) Finish();
}

bool TRecorderReader::Request() {
  if (!LinkReady()) return false;
  link_->Reset();
  recorder::Clock().SleepMs(500);
  link_->SendText("Reset\r", false, 0);
  recorder::Clock().SleepMs(1000);
  if (IsStream130()) {
    if (link_->SendText("REV\r", true, 0) != 1) {
      Report(kReportCommError);
      return false;
    }
    recorder::Clock().SleepMs(250);
    const uint8_t start = TRecorderProtocol::kStartStream;
    link_->SendText(std::span(&start, 1), false, 0);
    return true;
  }
  return RequestZK131();
}

bool TRecorderReader::RequestZK131() {
  const platform::Clock& clock = doc_.GetClock();
  std::vector<uint8_t> answer;
  const auto query = [&](const TRecorderCommand& command, size_t length) {
    answer.clear();
    const std::vector<uint8_t> frame = command.Frame();
    return link_->Query(frame, length, answer, 0) == recorder::RecorderLink::kQueryOk &&
           answer.size() >= length;
  };
  try {
    if (!query(TRecorderProtocol::Word("GetPatDat"), TRecorderProtocol::kDataBlockSize)) {
      Report(kReportCommError);
      return false;
    }
    const TPatientBlockFields patient_block = TRecorderBlocks::UnpackPatientBlock(answer, clock);

    TAddressBlockFields address_block;
    if (recorder::CurrentRecorder(doc_).Has72HourCapability()) {
      if (!query(TRecorderProtocol::Word("GetFileVers"), TRecorderProtocol::kLengthAnswerSize)) {
        Report(kReportCommError);
        return false;
      }
      const auto file_version = static_cast<int>(BigEndian32(answer) & 0x7FFFFFFF);
      // Without the address block the address texts stay empty.
      if (query(TRecorderProtocol::GetFlexBlk(1), TRecorderProtocol::kDataBlockSize))
        address_block = TRecorderBlocks::UnpackAddressBlock(file_version, answer);
    }

    if (!query(TRecorderProtocol::Word("GetRecDat"), TRecorderProtocol::kDataBlockSize)) {
      Report(kReportCommError);
      return false;
    }
    const TRecordingBlockFields recording_block = TRecorderBlocks::UnpackRecordingBlock(answer, clock);

    voice_length_ = 0;
    if (query(TRecorderProtocol::Word("GetVoicLen"), TRecorderProtocol::kLengthAnswerSize))
      voice_length_ = TRecorderProtocol::ParseLength(answer).value_or(0);

    if (!query(TRecorderProtocol::Word("GetECGlen"), TRecorderProtocol::kLengthAnswerSize)) {
      Report(kReportCommError);
      return false;
    }
    ecg_length_ = TRecorderProtocol::ParseLength(answer).value_or(0);
    if (ecg_length_ == 0) {
      Report(kReportNoData);
      return false;
    }
    ui_.SetProgressRange(static_cast<int>((ecg_length_ + voice_length_) / kKilobyte + 1));

    TRecorderBlocks::StoreInRecords(patient_block, address_block, recording_block, patient_, recording_);
  } catch (const platform::IoError&) {
    // A block the recorder garbled is a failed query.
    Report(kReportCommError);
    return false;
  }
  if (!WriteDocumentFile()) return false;
  if (link_->SendText("GetECGDat\r", true, 0) != 1) {
    Report(kReportCommError);
    return false;
  }
  return true;
}

bool TRecorderReader::WriteDocumentFile() {
  const std::array<int32_t, 2> two_channels = {0, 1};
  document::Context().g_AnalysisChannels.Assign(two_channels);
  document::Context().g_STChannels.Assign(two_channels);

  const int32_t version = doc_.GetHost().GetFileFormatVersion();
  platform::ArchiveWriter ar;
  patient_.Serialize(ar, version);
  recording_.Serialize(ar, version);
  TQRSList().Serialize(ar, version);
  TEventList().Serialize(ar, version);

  // A retried request makes a new file; the one before goes.
  for (auto it = own_files_.begin(); it != own_files_.end(); ++it) {
    if (it->first == kWorkQrs) {
      ::unlink(it->second.c_str());
      own_files_.erase(it);
      break;
    }
  }
  const std::string path = doc_.GetWorkFileName(kWorkQrs);
  if (path.empty()) {
    WriteFailed(doc_.GetWorkDirectory(), ENOENT);
    return false;
  }
  own_files_.emplace_back(kWorkQrs, path);
  OutFile file(path);
  if (!file.Write(ar.Bytes()) || !file.Close()) {
    WriteFailed(path, file.Error());
    return false;
  }
  return true;
}

void TRecorderReader::Progress(int64_t bytes) { ui_.SetProgressPos(static_cast<int>(bytes / kKilobyte)); }

bool TRecorderReader::Flush(OutFile& file, size_t count) {
  if (count > 0 && !file.Write(std::span(buffer_.data(), count))) {
    WriteFailed(file.Path(), file.Error());
    return false;
  }
  return true;
}

bool TRecorderReader::Append(OutFile& file, const uint8_t* data, size_t count, bool test_first_buffer) {
  while (count > 0) {
    const size_t take = std::min(count, kBufferSize - buffer_count_);
    std::copy_n(data, take, buffer_.data() + buffer_count_);
    buffer_count_ += take;
    data += take;
    count -= take;
    if (buffer_count_ == kBufferSize) {
      if (test_first_buffer && !data_tested_) {
        data_tested_ = true;
        if (AllBytes(std::span(buffer_.data(), kEmptyTestBytes), 0xFF)) {
          Report(kReportEmptyRecorder);
          return false;
        }
      }
      if (!Flush(file, buffer_count_)) return false;
      buffer_count_ = 0;
      Progress(received_);
    }
  }
  return true;
}

void TRecorderReader::BrokenOff(bool voice) {
  OutFile& file = voice ? *voice_file_ : *sample_file_;
  // What came is kept in the work file; the read-out ends either way.
  const size_t keep = !voice && IsStream130() && buffer_count_ > 0 ? buffer_count_ - 1 : buffer_count_;
  (void)file.Write(std::span(buffer_.data(), keep));
  buffer_count_ = 0;
  Progress(voice ? ecg_length_ + received_ : received_);
  Report(!voice && received_ < kMinRecordingBytes ? kReportNoData : kReportBrokenOff);
}

void TRecorderReader::ReceiveECG() {
  const int n = link_->Read(recorder_kind_ == TRecorderProtocol::kKindZK131);
  if (n == 0) {
    if (++empty_reads_ >= kMaxEmptyReads) BrokenOff(false);
    return;
  }
  if (n < 0) {
    if (++failed_reads_ >= kMaxFailedReads) BrokenOff(false);
    return;
  }
  empty_reads_ = 0;
  failed_reads_ = 0;
  std::span<const uint8_t> bytes = link_->Received();
  // Nothing past the announced end belongs to the recording.
  if (ecg_length_ > 0)
    bytes = bytes.first(std::min<size_t>(bytes.size(), static_cast<size_t>(ecg_length_ - received_)));
  const bool head_pending = IsStream130() && ecg_length_ == 0;
  // Until the head is read the buffer holds the head; it is never flushed that early.
  if (!Append(*sample_file_, bytes.data(), bytes.size(), !head_pending)) return;
  received_ += static_cast<int64_t>(bytes.size());

  if (head_pending && received_ > kReviewHeadWait) {
    ReadReviewHead();
    if (cancel_.load()) return;
  }
  if (ecg_length_ > 0 && received_ >= ecg_length_) {
    if (!data_tested_) {
      data_tested_ = true;
      const std::span<const uint8_t> first(buffer_.data(), std::min(buffer_count_, kEmptyTestBytes));
      if (AllBytes(first, 0x00) || AllBytes(first, 0xFF)) {
        Report(kReportEmptyRecorder);
        return;
      }
    }
    // The review stream ends with a byte that is no sample.
    const size_t keep = IsStream130() && buffer_count_ > 0 ? buffer_count_ - 1 : buffer_count_;
    if (!Flush(*sample_file_, keep)) return;
    buffer_count_ = 0;
    Progress(received_);
    if (voice_length_ == 0) ui_.Beep();
    done_ = true;
  }
}

void TRecorderReader::ReadReviewHead() {
  const std::span<const uint8_t> stream(buffer_.data(), buffer_count_);
  TRecorderReviewHead head;
  try {
    head = TRecorderProtocol::ParseReviewHead(stream);
  } catch (const platform::IoError&) {
    Report(kReportBrokenOff);
    return;
  }
  ecg_length_ = head.data_length;
  if (head.data_length == 0 || (head.data_length & 0x80000000U) != 0 ||
      ecg_length_ <= static_cast<int64_t>(head.ecg_offset)) {
    ecg_length_ = 0;
    Report(kReportNoData);
    return;
  }
  // The sample data begin behind the head; what came beyond the announced end is dropped.
  const size_t end =
      std::min(buffer_count_, static_cast<size_t>(std::min<int64_t>(ecg_length_, kBufferSize)));
  const size_t begin = std::min(head.ecg_offset, end);
  std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(begin),
            buffer_.begin() + static_cast<std::ptrdiff_t>(end), buffer_.begin());
  buffer_count_ = end - begin;
  received_ = std::min<int64_t>(received_, ecg_length_);

  const platform::LocalDateTime now = doc_.GetClock().Now();
  const TRecorderPatientRecord& r = head.record;
  recording_.identity_text = head.type;
  patient_.surname = r.last_name;
  patient_.first_name = r.first_name;
  patient_.patient_id = r.pat_id;
  patient_.birth_date =
      r.date_of_birth != 0.0 ? platform::OleDateTime{0, r.date_of_birth} : document::OleDateOnly(now);
  patient_.sex = r.sex;
  patient_.height = r.height;
  patient_.weight = r.weight;
  patient_.pacemaker = r.pace_maker ? 1 : 0;
  platform::OleDateTime yesterday = document::OleDateOnly(now);
  yesterday.days -= 1.0;
  recording_.start_date = r.start_date != 0.0 ? platform::OleDateTime{0, r.start_date} : yesterday;
  recording_.start_time =
      r.start_time != 0.0 ? platform::OleDateTime{0, r.start_time} : document::OleTimeOnly(now);
  recording_.pacemaker_recording = r.pace_maker_detection ? 1 : 0;

  if (!WriteDocumentFile()) return;
  ui_.SetProgressRange(static_cast<int>(ecg_length_ / kKilobyte));
}

void TRecorderReader::ReceiveVoice() {
  const int n = link_->Read(true);
  if (n == 0) {
    if (++empty_reads_ >= kMaxEmptyReads) BrokenOff(true);
    return;
  }
  if (n < 0) {
    if (++failed_reads_ >= kMaxFailedReads) BrokenOff(true);
    return;
  }
  empty_reads_ = 0;
  failed_reads_ = 0;
  std::span<const uint8_t> bytes = link_->Received();
  bytes = bytes.first(std::min<size_t>(bytes.size(), static_cast<size_t>(voice_length_ - received_)));
  if (!Append(*voice_file_, bytes.data(), bytes.size(), false)) return;
  received_ += static_cast<int64_t>(bytes.size());
  if (received_ >= voice_length_) {
    if (!Flush(*voice_file_, buffer_count_)) return;
    buffer_count_ = 0;
    Progress(ecg_length_ + received_);
    ui_.Beep();
    done_ = true;
  }
}

void TRecorderReader::ConvertVoice() {
  if (!voice_file_->Close()) {
    WriteFailed(voice_file_->Path(), voice_file_->Error());
    return;
  }
  const std::string wave = doc_.GetWorkFileName(kWorkVoiceWave);
  if (!wave.empty()) own_files_.emplace_back(kWorkVoiceWave, wave);
  std::string error;
  if (wave.empty() ||
      !CZK470Doc::ConvertVoiceToWave(doc_.GetWorkFileName(kWorkRawVoice + kStored), wave, error)) {
    ui_.Beep();
    ui_.ShowMessage(error.empty() ? Format("Error creating file %s ! %s", wave, std::strerror(ENOENT))
                                  : error);
    // A recording without its voice is still a recording.
    if (!wave.empty()) doc_.DeleteWorkFile(kWorkVoiceWave + kStored);
  }
  doc_.DeleteWorkFile(kWorkRawVoice + kStored);
}

void TRecorderReader::Finish() {
  if (!sample_file_->Close()) {
    WriteFailed(sample_file_->Path(), sample_file_->Error());
    return;
  }
  const std::string work_qrs = doc_.GetWorkFileName(kWorkQrs + kStored);
  result_path_ = NameNewRecording(doc_, patient_.surname, patient_.first_name, recording_.GetStartDateText(),
                                  recording_.GetStartTimeText());
  if (result_path_.empty()) return;
  moved_ = result_path_ != work_qrs;
  // Moved, deleted as duplicates, or opened from where they are: no longer ours to remove.
  own_files_.clear();
  success_ = true;
}
