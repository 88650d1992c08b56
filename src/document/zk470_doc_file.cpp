// The document file ".QRS", its backup copy and the companion files of a recording.

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "document/document_context.h"
#include "document/document_strings.h"
#include "document/file_version.h"
#include "document/heart_rate_trend.h"
#include "document/raw_ecg_data.h"
#include "document/record_format.h"
#include "document/recording_files.h"
#include "document/recording_rename.h"
#include "document/ref_signal_file.h"
#include "document/sample_file.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/file_system.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "win/prompt.h"

namespace {

constexpr const char* kSaveFailedText = "The recording cannot be saved. The file on disk is unchanged.\n\n";
// A compressed sample file shorter than this holds no header and block.
constexpr uint64_t kMinimumCmpBytes = 256;
constexpr size_t kCmpProbeBytes = 32;

// The sample file kinds searched beside a ".QRS", in this order.
constexpr const char* kSampleExtensions[] = {"CMP", "TAP", "RX3", "KZC", "KHI"};

struct ChannelSets {
  document::ChannelSet display, recording, analysis, st;

  static ChannelSets Take() {
    const document::DocumentContext& c = document::Context();
    return {c.g_DisplayChannels, c.g_RecordingChannels, c.g_AnalysisChannels, c.g_STChannels};
  }
  void Apply() const {
    document::DocumentContext& c = document::Context();
    c.g_DisplayChannels = display;
    c.g_RecordingChannels = recording;
    c.g_AnalysisChannels = analysis;
    c.g_STChannels = st;
  }
};

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

// A recording read whole from its files before the document takes it over.
struct CZK470Doc::LoadedRecording {
  explicit LoadedRecording(const platform::Clock& clock) : patient(clock), recording(clock) {}

  TPatientData patient;
  TRecordingData recording;
  TQRSList beats;
  TEventList events;
  ChannelSets channels;
  std::unique_ptr<TRawECGData> store;
  platform::FileLock lock;
  bool reopened_held_file = false;
};

namespace {

// The record of unknown version that the reader took for its version alone, if any.
std::optional<std::string> RecordOfUnknownLength(const document::MemberReadNotes& notes) {
  if (notes.unknown_patient_version)
    return "patient record of unknown version " + std::to_string(*notes.unknown_patient_version);
  if (notes.unknown_recording_version)
    return "recording record of unknown version " + std::to_string(*notes.unknown_recording_version);
  return std::nullopt;
}

// Reads the four members. The patient record writes the process-wide channel sets as it loads
// (the recording record of version 26 depends on them), so they are taken back afterwards and
// handed out with the records; on a failure they are restored before the error travels on.
// A record of unknown version is taken to be its version alone (what a writer of that version
// stores); the members after it must then end with the file, else it held more and the file is
// refused, as nothing after it can be found.
void ReadMembers(platform::ArchiveReader& ar, TPatientData& patient, TRecordingData& recording,
                 TQRSList& beats, TEventList& events, ChannelSets& loaded_channels,
                 document::MemberReadNotes& notes) {
  const ChannelSets before = ChannelSets::Take();
  try {
    ar.SetContext("patient record");
    patient.Load(ar, &notes);
    ar.SetContext("recording record");
    recording.Load(ar, &notes);
    beats.Load(ar, &notes);
    events.Load(ar, &notes);
    if (const std::optional<std::string> unknown = RecordOfUnknownLength(notes); unknown && !ar.AtEnd())
      throw platform::FormatError(ar.Name() + ", " + *unknown,
                                  std::to_string(ar.Remaining()) +
                                      (ar.Remaining() == 1 ? " byte follows" : " bytes follow") +
                                      " the last member");
  } catch (const platform::FormatError& error) {
    before.Apply();
    const std::optional<std::string> unknown = RecordOfUnknownLength(notes);
    if (!unknown || error.where().find(*unknown) != std::string::npos) throw;
    throw platform::FormatError(ar.Name() + ", " + *unknown,
                                "the members after it cannot be read (" + std::string(error.what()) + ")");
  } catch (...) {
    before.Apply();
    throw;
  }
  loaded_channels = ChannelSets::Take();
  before.Apply();
}

// What the user is told, once per open, of what reading the file read past.
std::vector<std::string> ReadNoteMessages(const std::string& path, const document::MemberReadNotes& notes) {
  std::vector<std::string> messages;
  if (notes.unknown_patient_version)
    messages.push_back(document::DocString(document::strings::kUnknownPatientVersion));
  const int32_t beats = notes.replaced_beat_codes;
  const int32_t events = notes.replaced_event_codes;
  if (beats == 0 && events == 0) return messages;
  std::string counts;
  if (beats > 0) counts += std::to_string(beats) + (beats == 1 ? " beat" : " beats");
  if (beats > 0 && events > 0) counts += " and ";
  if (events > 0) counts += std::to_string(events) + (events == 1 ? " event" : " events");
  messages.push_back("The recording " + path + " holds " + counts +
                     " of an unknown class (a code above 39). " +
                     (beats + events == 1 ? "It is" : "They are") + " kept with the class code " +
                     std::to_string(document::kReplacementCode) + ".");
  return messages;
}

}  // namespace

// --- Held file -------------------------------------------------------------------------------------

bool CZK470Doc::OpenRecordingFile(const std::string& path) {
  if (held_file_.Lock(path) != platform::FileLock::Status::kLocked) return false;
  held_path_ = path;
  return true;
}

void CZK470Doc::CloseRecordingFile(int lost) {
  if (!held_file_.Locked()) return;
  held_file_.Unlock();
  held_path_.clear();
  if (lost != 0) closed_ = 1;
}

bool CZK470Doc::RelockHeldFile(const std::string& path) {
  // The lock belongs to the file, not the name: a file renamed over the held one needs a new lock.
  if (held_file_.Lock(path) != platform::FileLock::Status::kLocked) return false;
  held_path_ = path;
  return true;
}

// --- Companion files -------------------------------------------------------------------------------

bool CZK470Doc::HasVoiceFile(const std::string& path) {
  return document::CanOpenForReading(document::ReplaceLastThree(path, "PID"));
}

bool CZK470Doc::IsDataFileMissing(const std::string& path) {
  for (const char* extension : kSampleExtensions)
    if (document::CanOpenForReading(document::ReplaceLastThree(path, extension))) return false;
  const std::string reference = FindRefSignalFile(path);
  return reference.empty() || !document::CanOpenForReading(reference);
}

bool CZK470Doc::IsDataFileInvalid(const std::string& path) {
  const std::optional<std::string> cmp = document::ExistingFile(document::ReplaceLastThree(path, "CMP"));
  if (!cmp) return false;
  try {
    SampleFile file(*cmp);
    if (file.Size() < kMinimumCmpBytes) return true;
    std::array<uint8_t, kCmpProbeBytes> head{};
    if (file.ReadAt(0, head) != head.size()) return true;
    return std::all_of(head.begin(), head.end(), [](uint8_t b) { return b == 0xFF; });
  } catch (const platform::IoError&) {
    // A file that cannot be opened counts as not invalid; the search for the sample file decides.
    return false;
  }
}

std::optional<std::string> CZK470Doc::FindDataFile(const std::string& path) {
  for (const char* extension : kSampleExtensions) {
    const std::string candidate = document::ReplaceLastThree(path, extension);
    if (!document::CanOpenForReading(candidate)) continue;
    if (std::string_view(extension) == "CMP" && IsDataFileInvalid(path)) return std::nullopt;
    return document::ExistingFile(candidate);
  }
  std::string reference = FindRefSignalFile(path);
  if (reference.empty()) return std::nullopt;
  return reference;
}

std::string CZK470Doc::RecordingNumberFromPath(const std::string& path) {
  if (path.size() < 4) return "-----";
  const std::string base = path.substr(0, path.size() - 4);
  if (base.size() > 4 && base.back() == '-') return base.substr(base.size() - 5);
  return "-----";
}

// --- Opening ---------------------------------------------------------------------------------------

bool CZK470Doc::OnOpenDocument(const std::string& path) {
  const std::string extension = document::LastThreeUpper(path);
  if (extension == "PDF") return OpenPdf(path);
  std::string qrs_path = path;
  if (extension == "KZT") {
    if (!host_->ImportKztFile(*this, path)) {
      ShowMessage("Errors occured during converting to ZK-470 file format.", win::kMbIconExclamation);
      return false;
    }
    qrs_path = document::ReplaceLastThree(path, "QRS");
  } else if (extension != "QRS") {
    if (HasUserInterface())
      ShowMessage(document::DocString(document::strings::kWrongFileType), win::kMbIconExclamation);
    return false;
  }
  return OpenRecording(qrs_path);
}

bool CZK470Doc::OpenPdf(const std::string& path) {
  DeleteContents();
  // Nothing of the recording stays: a later save must not write an empty document into its file.
  CloseRecordingFile(0);
  closed_ = 1;
  modified_ = false;
  document_path_ = path;
  recording_number_ = "-----";
  SetPathName(path);
  display_mode_ = DisplayMode::kPdf;
  UpdateAllViews(nullptr, hint::kDocumentChanged);
  return true;
}

bool CZK470Doc::OpenRecording(const std::string& requested) {
  // A rename that a crash cut short is finished first: the recording may now have its new name.
  const std::string path = document::FinishInterruptedRename(requested);
  const auto refuse = [&](const std::string& text) {
    if (!HasUserInterface()) return;
    if (host_->IsBatchRunning()) {
      host_->SetBatchFileResult(2);
    } else {
      ShowMessage(text + path, win::kMbIconExclamation);
    }
  };
  if (IsDataFileMissing(path)) {
    refuse("ECG datafile not found! ");
    return false;
  }
  if (IsDataFileInvalid(path)) {
    refuse("ECG datafile contains invalid data! ");
    return false;
  }
  std::unique_ptr<LoadedRecording> loaded = ReadRecording(path);
  if (!loaded) return false;
  CommitRecording(path, *loaded);
  return true;
}

std::unique_ptr<CZK470Doc::LoadedRecording> CZK470Doc::ReadRecording(const std::string& path) {
  auto loaded = std::make_unique<LoadedRecording>(clock_);
  // A second lock on the file this process already holds would fail: reopening the open
  // recording takes the held lock over and gives it back on failure.
  const bool same_file = held_file_.Locked() && SameFile(held_path_, path);
  const auto fail = [&]() -> std::unique_ptr<LoadedRecording> {
    if (loaded->reopened_held_file) held_file_ = std::move(loaded->lock);
    return nullptr;
  };

  host_->BeginBusy(path);
  bool locked = false;
  if (same_file) {
    loaded->lock = std::move(held_file_);
    loaded->reopened_held_file = true;
    locked = true;
  } else {
    locked = loaded->lock.Lock(path) == platform::FileLock::Status::kLocked;
  }
  host_->EndBusy();
  if (!locked) {
    if (HasUserInterface())
      ShowMessage(document::FormatText(document::DocString(document::strings::kCannotOpenFile), path),
                  win::kMbIconExclamation);
    return fail();
  }

  // What an interrupted save or backup copy left behind is ours to clear, now that no other
  // instance can be writing this recording.
  (void)platform::RemoveStaleTempFiles(path);
  for (const std::string& backup :
       {document::ReplaceLastThree(path, "BAK"),
        document::ExistingFile(document::ReplaceLastThree(path, "BAK")).value_or("")})
    if (!backup.empty()) (void)platform::RemoveStaleTempFiles(backup);

  std::error_code ec;
  const uintmax_t length = std::filesystem::file_size(path, ec);
  if (!ec && length == 0) {
    const std::optional<std::string> backup = document::ExistingFile(document::ReplaceLastThree(path, "BAK"));
    // A backup larger than any recording would be refused after the copy: it is not copied at all.
    std::error_code size_error;
    const uintmax_t backup_length = backup ? std::filesystem::file_size(*backup, size_error) : 0;
    if (backup && !size_error && backup_length <= kMaxRecordingFileBytes &&
        platform::CopyFile(*backup, path, /*overwrite=*/true)) {
      // The copy replaced the file: the lock must follow it.
      (void)loaded->lock.Lock(path);
      if (HasUserInterface())
        ShowMessage(document::DocString(document::strings::kRestoredFromBackup), win::kMbIconInformation);
    }
  }

  document::MemberReadNotes notes;
  try {
    const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxRecordingFileBytes);
    platform::ArchiveReader ar(bytes, FileNameOf(path));
    ReadMembers(ar, loaded->patient, loaded->recording, loaded->beats, loaded->events, loaded->channels,
                notes);
  } catch (const platform::IoError& error) {
    ShowMessage("The recording " + path + " cannot be read: the file is damaged or not a recording.\n\n" +
                    error.what(),
                win::kMbIconExclamation);
    return fail();
  }
  for (const std::string& text : ReadNoteMessages(path, notes)) ShowMessage(text, win::kMbIconExclamation);

  const std::optional<std::string> data_file = FindDataFile(path);
  if (!data_file) {
    ShowMessage(document::ReplaceLastThree(path, "CMP") + "\n File contains invalid data !",
                win::kMbIconExclamation);
    return fail();
  }
  try {
    loaded->store = std::make_unique<TRawECGData>(&info_list_, *data_file);
  } catch (const platform::IoError& error) {
    ShowMessage(*data_file + "\n File contains invalid data !\n\n" + error.what(), win::kMbIconExclamation);
    return fail();
  }
  if (loaded->store->GetWholeMinutes() <= 0) {
    ShowMessage(document::DocString(document::strings::kNoWholeMinute), win::kMbIconExclamation);
    return fail();
  }
  return loaded;
}

void CZK470Doc::CommitRecording(const std::string& path, LoadedRecording& loaded) {
  // The recording shown until now closes first (with its finalize question), on its own state.
  // Reopening the same recording is not closing it: no question then.
  if (loaded.reopened_held_file) closed_ = 1;
  DeleteContents();
  CloseRecordingFile(0);
  held_file_ = std::move(loaded.lock);
  held_path_ = path;
  closing_ = 0;

  loaded.channels.Apply();
  patient_ = std::move(loaded.patient);
  recording_ = std::move(loaded.recording);
  beats_ = std::move(loaded.beats);
  events_ = std::move(loaded.events);
  RestoreExtremesFromRecord();
  voice_file_ = HasVoiceFile(path) ? 1 : 0;
  document_path_ = path;
  modified_ = false;
  host_->PostMainFrameMessage(msg::kStatusRefresh);

  raw_data_ = std::move(loaded.store);
  const int minutes = raw_data_->GetWholeMinutes();
  span_length_ = minutes;
  span_start_minute_ = 0;
  range_start_ms_ = 0;
  range_end_ms_ = minutes * 60000;
  SetCurrentPosition(0, 0);
  host_->RecordingLengthChanged(minutes);

  channel_count_ = raw_data_->GetChannelCount();
  document::ChannelSet& recording_channels = document::Context().g_RecordingChannels;
  recording_channels.count = std::clamp(channel_count_, 0, recording_channels.capacity);
  for (int i = 0; i < recording_channels.count; ++i) recording_channels.channels[static_cast<size_t>(i)] = i;

  span_start_ms_ = span_start_minute_ * 60000;
  span_end_ms_ = (span_start_minute_ + span_length_) * 60000;
  BuildTemplateClassList();
  BuildPMTemplateClassList();
  recording_number_ = RecordingNumberFromPath(path);

  // Values read from the file stay: mode 2 fills in only what the file did not hold.
  auto trend = std::make_unique<THeartRateTrend>(*this);
  trend->ComputeExtremes(false, false);
  SetHRMin(trend->HRMin().value, trend->HRMin().position, trend->HRMin().beat, 2);
  SetHRMax(trend->HRMax().value, trend->HRMax().position, trend->HRMax().beat, 2);
  SetSinusHRMin(trend->SinusMin().value, trend->SinusMin().position, trend->SinusMin().beat, 2);
  SetSinusHRMax(trend->SinusMax().value, trend->SinusMax().position, trend->SinusMax().beat, 2);
  SetRRMin(trend->RRMin().value, trend->RRMin().position, trend->RRMin().beat, 2);
  SetRRMax(trend->RRMax().value, trend->RRMax().position, trend->RRMax().beat, 2);
  SetNNMin(trend->NNMin().value, trend->NNMin().position, trend->NNMin().beat, 2);
  SetNNMax(trend->NNMax().value, trend->NNMax().position, trend->NNMax().beat, 2);
  trend.reset();
  // Filling in extremes is not a change the user made.
  modified_ = false;

  settings_.SetInt(SettingKey::kHRVXIndex, 0);
  navigation_flags_.fill(0);
  EnableUndo(0, 0);
  closed_ = 0;
  SetPathName(path);
  RefreshBackup(path);
  if (HasUserInterface()) {
    display_mode_ = DisplayMode::kNavigation;
    view_.selector_b = 0;
    display_sub_mode_ = 1;
    UpdateAllViews(nullptr, hint::kDocumentChanged);
  }
}

void CZK470Doc::RefreshBackup(const std::string& qrs_path) {
  const std::string backup = document::ExistingFile(document::ReplaceLastThree(qrs_path, "BAK"))
                                 .value_or(document::ReplaceLastThree(qrs_path, "BAK"));
  // The copy is written beside the backup and renamed over it: there is never a moment without one.
  (void)platform::CopyFile(qrs_path, backup, /*overwrite=*/true);
}

// --- Loading and storing ---------------------------------------------------------------------------

void CZK470Doc::RestoreExtremesFromRecord() {
  const std::array<int32_t, TRecordingData::kExtremeValues> stored = recording_.extremes;
  const int count = beats_.GetSize();
  bool indices_valid = true;
  for (int group = 0; group < 4; ++group)
    for (int field : {kBeatMin, kBeatMax}) {
      const int32_t beat = stored[static_cast<size_t>(group * 6 + field)];
      if (beat < -1 || beat > count - 1) indices_valid = false;
    }
  for (int group = 0; group < 4; ++group)
    for (bool maximum : {false, true}) {
      const size_t at = static_cast<size_t>(group * 6);
      if (indices_valid) {
        StoreExtreme(group, maximum, stored[at + (maximum ? kValueMax : kValueMin)],
                     stored[at + (maximum ? kPosMax : kPosMin)],
                     stored[at + (maximum ? kBeatMax : kBeatMin)]);
      } else {
        StoreExtreme(group, maximum, 0, -1, -1);
      }
    }
  if (!indices_valid) extremes_valid_ = 0;
}

void CZK470Doc::ReadRecordingFile(const std::string& path, TPatientData& patient, TRecordingData& recording,
                                  TQRSList& beats, TEventList& events) {
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(path, kMaxRecordingFileBytes);
  platform::ArchiveReader ar(bytes, FileNameOf(path));
  ChannelSets channels;
  document::MemberReadNotes notes;
  ReadMembers(ar, patient, recording, beats, events, channels, notes);
}

void CZK470Doc::Serialize(platform::ArchiveReader& ar) {
  LoadedRecording loaded(clock_);
  document::MemberReadNotes notes;
  ReadMembers(ar, loaded.patient, loaded.recording, loaded.beats, loaded.events, loaded.channels, notes);
  loaded.channels.Apply();
  patient_ = std::move(loaded.patient);
  recording_ = std::move(loaded.recording);
  beats_ = std::move(loaded.beats);
  events_ = std::move(loaded.events);
  RestoreExtremesFromRecord();
}

void CZK470Doc::Serialize(platform::ArchiveWriter& ar) {
  EnsureAnalysisUpToDate();
  const int32_t version = host_->GetFileFormatVersion();
  patient_.Serialize(ar, version);
  recording_.Serialize(ar, version);
  beats_.Serialize(ar, version);
  events_.Serialize(ar, version);
}

std::vector<uint8_t> CZK470Doc::StoreToBytes() {
  platform::ArchiveWriter ar;
  Serialize(ar);
  return ar.TakeBytes();
}

bool CZK470Doc::OnSaveDocument(const std::string& path) {
  // Every save writes into the held file, whatever name the caller gives.
  const std::string target = held_file_.Locked() ? held_path_ : path;
  if (document::LastThreeUpper(target) != "QRS") {
    ShowMessage("Only a recording (*.QRS) can be saved: " + target, win::kMbIconExclamation);
    return false;
  }
  try {
    const std::vector<uint8_t> bytes = StoreToBytes();
    platform::WriteFileAtomic(target, bytes);
  } catch (const platform::IoError& error) {
    ShowMessage(std::string(kSaveFailedText) + error.what(), win::kMbIconStop);
    return false;
  }
  (void)RelockHeldFile(target);
  modified_ = false;
  RefreshBackup(target);
  if (HasUserInterface()) host_->ShowSaveNotice();
  return true;
}

// --- Finalizing and renaming -----------------------------------------------------------------------

void CZK470Doc::MarkRecordingNumber(int reopen) {
  if (!recording_number_.empty() && recording_number_[0] == 'V') return;
  const std::string previous = recording_number_;
  if (recording_number_.empty()) recording_number_ = "-----";
  recording_number_[0] = 'V';
  if (!RenameRecordingFiles(reopen)) recording_number_ = previous;
}

bool CZK470Doc::RenameRecordingFiles(int reopen) {
  if (!raw_data_ || raw_data_->GetReaderKind() == TRawECGData::kReaderRefSignal) return false;
  // Only an open recording has files to rename (not a PDF, not an untitled document).
  if (raw_data_->GetFileName().empty() || path_name_.size() < 4 ||
      document::LastThreeUpper(path_name_) != "QRS")
    return false;
  std::string base = path_name_.substr(0, path_name_.size() - 4);
  if (base.size() > 4 && base.back() == '-') base.erase(base.size() - std::min<size_t>(6, base.size()));
  const std::string new_qrs = base + " " + recording_number_ + ".QRS";
  const std::string old_qrs = path_name_;

  // Another recording already under the new name is never overwritten.
  if (const std::optional<std::string> existing = document::ExistingFile(new_qrs);
      existing && !SameFile(*existing, old_qrs)) {
    if (HasUserInterface())
      ShowMessage("The recording cannot be renamed: " + *existing + " already exists.",
                  win::kMbIconExclamation);
    return false;
  }
  const document::RecordingRenameResult renamed = document::RenameRecording(old_qrs, new_qrs, nullptr);
  if (!renamed.result) {
    if (HasUserInterface())
      ShowMessage("The recording cannot be renamed:\n" + renamed.result.error, win::kMbIconExclamation);
    return false;
  }
  AdoptRenamedFiles(old_qrs, new_qrs, renamed.moved);

  if (host_->IsAutomationCommandComplete()) {
    if (new_qrs != host_->GetAutomationFileName()) host_->ReplaceLastResultLine(GetRecordingSummary(new_qrs));
    host_->WriteResultFile();
  }
  return true;
}

void CZK470Doc::AdoptRenamedFiles(const std::string& old_qrs, const std::string& new_qrs,
                                  const std::vector<std::pair<std::string, std::string>>& moved) {
  // The held lock stays with the file under its new name.
  if (held_file_.Locked() && (SameFile(held_path_, new_qrs) || held_path_ == old_qrs)) held_path_ = new_qrs;
  const std::string sample_file = raw_data_->GetFileName();
  for (const auto& [from, to] : moved)
    if (from == sample_file) raw_data_->SetFileName(to);
  path_name_ = new_qrs;
  title_ = FileNameOf(new_qrs);
  host_->ReplaceFirstRecentFile(new_qrs);
  if (SameFile(document_path_, new_qrs) || document_path_ == old_qrs) document_path_ = new_qrs;
}

bool CZK470Doc::RenameRecordingByPatient() {
  if (!raw_data_ || raw_data_->GetReaderKind() == TRawECGData::kReaderRefSignal) return DoFileSave();
  if (raw_data_->GetFileName().empty() || document_path_.size() < 4 ||
      document::LastThreeUpper(document_path_) != "QRS")
    return false;
  std::string name;
  if (!patient_.first_name.empty()) name += patient_.first_name + " ";
  if (!patient_.surname.empty()) name += patient_.surname + " ";
  name += recording_.GetStartDateText() + " " + recording_.GetStartTimeText();
  // '.' and ':' as the program always did; a separator or NUL would leave the folder.
  for (char& c : name)
    if (c == '.' || c == ':' || c == '/' || c == '\\' || c == '\0') c = '-';
  const std::filesystem::path folder = std::filesystem::path(document_path_).parent_path();
  const std::string new_qrs = (folder / (name + " " + recording_number_)).string() + ".QRS";
  const std::string old_qrs = document_path_;

  // The save at the end would be refused: the files keep their names as well.
  if (const platform::FileOpResult writable = platform::CheckReplaceable(platform::SaveTarget(old_qrs));
      !writable) {
    ShowMessage(std::string(kSaveFailedText) + writable.error, win::kMbIconStop);
    return false;
  }
  if (const std::optional<std::string> existing = document::ExistingFile(new_qrs);
      existing && !SameFile(*existing, old_qrs)) {
    ShowMessage("The recording cannot be renamed: " + *existing + " already exists.",
                win::kMbIconExclamation);
    return false;
  }
  if (new_qrs == old_qrs) return DoFileSave();

  // The files move and the new content is written as one step: a full disk or a crash leaves the
  // recording under one name with the content of that name.
  document::RecordingRenameResult renamed;
  try {
    const std::vector<uint8_t> bytes = StoreToBytes();
    renamed = document::RenameRecording(old_qrs, new_qrs, &bytes);
  } catch (const platform::IoError& error) {
    renamed.result = platform::FileOpResult::Failure(error.what());
  }
  if (!renamed.result) {
    ShowMessage(std::string(kSaveFailedText) + renamed.result.error, win::kMbIconStop);
    return false;
  }
  AdoptRenamedFiles(old_qrs, new_qrs, renamed.moved);
  document_path_ = new_qrs;
  recording_number_ = RecordingNumberFromPath(new_qrs);
  // The saved file is a new one under the new name: the lock must follow it.
  (void)RelockHeldFile(new_qrs);
  modified_ = false;
  if (HasUserInterface()) host_->ShowSaveNotice();
  return true;
}

std::string CZK470Doc::GetRecordingSummary(const std::string& name) const {
  std::string text = name.empty() ? path_name_ : name;
  text += "\t" + patient_.first_name + "\t" + patient_.surname + "\t" + patient_.patient_id + "\t";
  // Whole, whatever a stored height or weight holds, and with the C locale's digits.
  text += patient_.GetBirthDateText() + "\t" + std::to_string(patient_.sex) + "\t" +
          document::FormatFixedPoint(patient_.height, 0) + "\t" +
          document::FormatFixedPoint(patient_.weight, 0) + "\t" + (patient_.pacemaker == 1 ? "1" : "0") +
          "\n";
  text += voice_file_ == 1 ? "SOUND=1" : "SOUND=0";
  return text;
}
