#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "document/doc_test_support.h"
#include "document/raw_ecg_data.h"
#include "document/recording_files.h"
#include "platform/file_system.h"

namespace {

using doctest::DocFixture;
using doctest::ReadBytes;
using doctest::RecordingContent;
using doctest::RegularBeats;
using doctest::Snapshot;
using doctest::WriteBytes;
using doctest::WriteRecording;

class DocumentFile : public DocFixture {
 protected:
  RecordingContent Content(int beats = 40) {
    RecordingContent content;
    content.beats = RegularBeats(beats, 50, 100);
    content.events = {TEvent(300, 900, kClassTachycardia), TEvent(2000, 2000, kClassUser)};
    return content;
  }
};

TEST_F(DocumentFile, OpenHoldsTheRecordingAndMakesAnIdenticalBackup) {
  const std::string qrs = WriteRecording(clock_, Base("Anna Meier 0123-"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));

  EXPECT_EQ(ReadBytes(Base("Anna Meier 0123-.BAK")), ReadBytes(qrs));
  EXPECT_EQ(doc_->GetQRSList().GetSize(), 40);
  EXPECT_EQ(doc_->GetEventList().GetSize(), 2);
  EXPECT_EQ(doc_->GetPatientData().surname, "Meier");
  ASSERT_NE(doc_->GetRawECGData(), nullptr);
  EXPECT_EQ(doc_->GetRawECGData()->GetWholeMinutes(), 2);
  EXPECT_EQ(doc_->GetRecordingNumber(), "0123-");
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNavigation);
  EXPECT_EQ(doc_->GetDisplaySubMode(), 1);
  EXPECT_EQ(doc_->GetSpanLength(), 2);
  EXPECT_EQ(doc_->GetTimeRangeEnd(), 120000);
  EXPECT_EQ(doc_->GetSpanEndMs(), 120000);
  EXPECT_EQ(doc_->GetChannelCount(), 2);
  EXPECT_EQ(doc_->GetClosedFlag(), 0);
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(doc_->GetPathName(), qrs);
  EXPECT_EQ(doc_->GetTitle(), "Anna Meier 0123-.QRS");
  EXPECT_EQ(host_.recent.front(), qrs);
  EXPECT_EQ(host_.recording_length, 2);
  EXPECT_EQ(host_.posted, (std::vector<uint32_t>{2025}));
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kDocumentChanged}));
  // The extremes were filled in on opening: 100 samples between beats is 75 per minute.
  EXPECT_EQ(doc_->GetHRMinValue(), 75);
  EXPECT_EQ(doc_->GetRRMinValue(), 100);

  // The file is held: another instance cannot take it.
  platform::FileLock other;
  EXPECT_EQ(other.Lock(qrs), platform::FileLock::Status::kInUse);
}

TEST_F(DocumentFile, EmptyRecordingFileIsRestoredFromTheBackup) {
  const std::string qrs = WriteRecording(clock_, Base("00007"), Content(12));
  const std::vector<uint8_t> good = ReadBytes(qrs);
  WriteBytes(Base("00007.BAK"), good);
  WriteBytes(qrs, {});

  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  EXPECT_EQ(doc_->GetQRSList().GetSize(), 12);
  EXPECT_EQ(ReadBytes(qrs), good);
  EXPECT_EQ(ReadBytes(Base("00007.BAK")), good);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("restored from its backup"), std::string::npos);
  platform::FileLock other;
  EXPECT_EQ(other.Lock(qrs), platform::FileLock::Status::kInUse) << "the lock follows the restored file";
}

// A backup larger than any recording is never copied: 3 GB would be written only to be refused.
TEST_F(DocumentFile, OversizedBackupIsNotCopiedOverAnEmptyRecording) {
  const std::string qrs = WriteRecording(clock_, Base("00007"), Content(12));
  WriteBytes(qrs, {});
  WriteBytes(Base("00007.BAK"), {});
  std::filesystem::resize_file(Base("00007.BAK"), uintmax_t{3} << 30);  // sparse

  EXPECT_FALSE(doc_->OnOpenDocument(qrs));
  EXPECT_EQ(std::filesystem::file_size(qrs), 0u);
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
    EXPECT_EQ(entry.path().string().find(".~"), std::string::npos) << entry.path();
}

TEST_F(DocumentFile, DamagedRecordingIsRefusedAndChangesNothing) {
  const std::string first = WriteRecording(clock_, Base("00001"), Content(20));
  ASSERT_TRUE(doc_->OnOpenDocument(first));
  view_.hints.clear();

  const std::string qrs = WriteRecording(clock_, Base("00002"), Content());
  WriteBytes(Base("00002.BAK"), ReadBytes(qrs));
  struct Case {
    const char* name;
    size_t keep_bytes;
  };
  const size_t full = ReadBytes(qrs).size();
  const Case cases[] = {
      {"cut inside the patient record", 30}, {"cut inside the beat list", full - 300}, {"one byte", 1}};
  const std::vector<uint8_t> whole = ReadBytes(qrs);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(qrs, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(c.keep_bytes)));
    const auto before = Snapshot(temp_.Path());
    prompt_.ClearLog();

    EXPECT_FALSE(doc_->OnOpenDocument(qrs));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("cannot be read"), std::string::npos);
    EXPECT_EQ(Snapshot(temp_.Path()), before) << "the good backup and every other file stay";
    // The recording shown before is still open, whole and held.
    EXPECT_EQ(doc_->GetPathName(), first);
    EXPECT_EQ(doc_->GetQRSList().GetSize(), 20);
    ASSERT_NE(doc_->GetRawECGData(), nullptr);
    EXPECT_TRUE(doc_->IsFileHeld());
    EXPECT_EQ(document::Context().g_RecordingChannels.count, 2);
    EXPECT_TRUE(view_.hints.empty());
  }
}

// Files the reader takes although no recorder writes them (fuzz findings among them): opening
// computes the extremes without fault and leaves out what cannot be an interval.
TEST_F(DocumentFile, RecordingsWithImpossibleValuesOpen) {
  struct Case {
    const char* name;
    std::vector<TQRSComplex> beats;
    int32_t rr_min, rr_max, hr_min;
  };
  // Twenty beats 100 samples apart; the first one is moved.
  const auto beats_after = [](int32_t first) {
    std::vector<TQRSComplex> beats = RegularBeats(20, 486772834, 100);
    beats[0] = TQRSComplex(first, kClassNormal);
    return beats;
  };
  const Case cases[] = {
      // qrs_file/crash-09a92c56...: an interval wider than an int
      {"first interval beyond the int range", beats_after(-2145386496), 100, 100, 75},
      {"first interval just inside the int range", beats_after(486772934 - INT32_MAX), 100, INT32_MAX, 75},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingContent content;
    content.beats = c.beats;
    const std::string qrs = WriteRecording(clock_, Base("odd" + std::to_string(n++)), content);
    ASSERT_TRUE(doc_->OnOpenDocument(qrs)) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(doc_->GetRRMinValue(), c.rr_min);
    EXPECT_EQ(doc_->GetRRMaxValue(), c.rr_max);
    EXPECT_EQ(doc_->GetHRMinValue(), c.hr_min);
  }
}

TEST_F(DocumentFile, RecordingWithoutUsableSampleFileIsRefusedAndChangesNothing) {
  struct Case {
    const char* name;
    std::vector<uint8_t> cmp;  // empty vector: no sample file at all
    bool write_cmp;
    const char* message;
  };
  const Case cases[] = {
      {"no sample file", {}, false, "ECG datafile not found! "},
      {"sample file of 0xFF bytes", std::vector<uint8_t>(4096, 0xFF), true,
       "ECG datafile contains invalid data! "},
      {"sample file shorter than 256 bytes", std::vector<uint8_t>(200, 0), true,
       "ECG datafile contains invalid data! "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doctest::TempFolder folder;
    const std::string qrs = folder.File("00003.QRS");
    WriteBytes(qrs, doctest::QrsBytes(clock_, Content()));
    if (c.write_cmp) WriteBytes(folder.File("00003.CMP"), c.cmp);
    const auto before = Snapshot(folder.Path());
    prompt_.ClearLog();

    EXPECT_FALSE(doc_->OnOpenDocument(qrs));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], c.message + qrs);
    EXPECT_EQ(Snapshot(folder.Path()), before);
    EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
    EXPECT_FALSE(doc_->IsFileHeld());
  }
}

TEST_F(DocumentFile, SampleFileWithoutWholeMinuteIsRefusedAndTheOpenRecordingStays) {
  const std::string first = WriteRecording(clock_, Base("00001"), Content(20));
  ASSERT_TRUE(doc_->OnOpenDocument(first));
  view_.hints.clear();
  // A tape file of half a minute: the reader shows no whole minute.
  const std::string qrs = Base("00004.QRS");
  WriteBytes(qrs, doctest::QrsBytes(clock_, Content()));
  WriteBytes(Base("00004.TAP"), std::vector<uint8_t>(7000, 0));
  const auto before = Snapshot(temp_.Path());
  prompt_.ClearLog();

  EXPECT_FALSE(doc_->OnOpenDocument(qrs));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("no complete minute"), std::string::npos);
  EXPECT_EQ(Snapshot(temp_.Path()), before);
  EXPECT_EQ(doc_->GetPathName(), first);
  ASSERT_NE(doc_->GetRawECGData(), nullptr);
  EXPECT_EQ(doc_->GetRawECGData()->GetWholeMinutes(), 2);
  EXPECT_TRUE(view_.hints.empty());
}

TEST_F(DocumentFile, RecordingWithOnlyAnRx3SampleFileOpens) {
  const std::string qrs = Base("00005.QRS");
  WriteBytes(qrs, doctest::QrsBytes(clock_, Content()));
  WriteBytes(Base("00005.rx3"), std::vector<uint8_t>(3 * 15000, 0));
  ASSERT_TRUE(doc_->OnOpenDocument(qrs)) << (Messages().empty() ? "" : Messages()[0]);
  EXPECT_EQ(doc_->GetRawECGData()->GetReaderKind(), TRawECGData::kReaderRx3);
  EXPECT_EQ(doc_->GetRawECGData()->GetWholeMinutes(), 3);
}

TEST_F(DocumentFile, OtherExtensionsAndPdf) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  view_.hints.clear();

  EXPECT_FALSE(doc_->OnOpenDocument(Base("letter.TXT")));
  EXPECT_EQ(doc_->GetPathName(), qrs);

  ASSERT_TRUE(doc_->OnOpenDocument(Base("report.pdf")));
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kPdf);
  EXPECT_EQ(doc_->GetPathName(), Base("report.pdf"));
  EXPECT_EQ(doc_->GetQRSList().GetSize(), 0);
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kDocumentChanged}));
  // The recording was let go: nothing can be saved into it any more.
  EXPECT_FALSE(doc_->IsFileHeld());
  const std::vector<uint8_t> before = ReadBytes(qrs);
  doc_->SetModifiedFlag(true);
  EXPECT_FALSE(doc_->DoFileSave());
  EXPECT_EQ(ReadBytes(qrs), before);

  // A KZT file without a converter fails with the conversion message.
  prompt_.ClearLog();
  EXPECT_FALSE(doc_->OnOpenDocument(Base("exchange.KZT")));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Errors occured during converting to ZK-470 file format."}));
}

TEST_F(DocumentFile, SaveWritesTheHeldFileKeepsItLockedAndRefreshesTheBackup) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  doc_->GetQRSList().Append(TQRSComplex(9000, kClassVES));
  doc_->SetModifiedFlag(true);

  ASSERT_TRUE(doc_->DoFileSave());
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(ReadBytes(qrs), doc_->StoreToBytes());
  EXPECT_EQ(ReadBytes(Base("00001.BAK")), ReadBytes(qrs));
  EXPECT_EQ(host_.save_notices, 1);
  platform::FileLock other;
  EXPECT_EQ(other.Lock(qrs), platform::FileLock::Status::kInUse) << "the new file is locked after the save";

  // The saved file opens with the new beat.
  CZK470Doc second(CZK470Doc::NoUserInterface{}, profile_, clock_);
  doc_->OnCloseDocument();
  ASSERT_TRUE(second.OnOpenDocument(qrs));
  EXPECT_EQ(second.GetQRSList().GetSize(), 41);
  EXPECT_EQ(second.GetQRSList().GetCounter(kClassVES), 1);
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit previous_{};
  void (*previous_handler_)(int) = nullptr;
};

TEST_F(DocumentFile, SaveThatFailsHalfWayLeavesTheOldFileWhole) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content(2000));
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  const std::vector<uint8_t> old_bytes = ReadBytes(qrs);
  doc_->GetQRSList().RemoveAt(0, 1000);
  doc_->SetModifiedFlag(true);
  prompt_.ClearLog();

  bool saved = true;
  {
    const FileSizeLimit limit(4096);
    saved = doc_->DoFileSave();
  }
  EXPECT_FALSE(saved);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(ReadBytes(qrs), old_bytes);
  EXPECT_EQ(ReadBytes(Base("00001.BAK")), old_bytes);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("file on disk is unchanged"), std::string::npos);
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Path())) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos)
        << "no temp file is left: " << entry.path();
    EXPECT_EQ(entry.path().string().find(".~"), std::string::npos)
        << "no temp file is left: " << entry.path();
  }

  // Once the disk has room again the save succeeds.
  EXPECT_TRUE(doc_->DoFileSave());
  EXPECT_EQ(ReadBytes(qrs), doc_->StoreToBytes());
}

// A rename after the patient on a full disk: the save fails, and so every file keeps its name and
// content; once there is room both succeed together.
TEST_F(DocumentFile, RenameByPatientOnAFullDiskChangesNothing) {
  const std::string qrs = WriteRecording(clock_, Base("00001 0042-"), Content(2000));
  WriteBytes(Base("00001 0042-.PID"), {1, 2, 3});
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  doc_->GetRecordingData().start_date = {0, 45361.0};  // 10.03.2024
  doc_->GetRecordingData().start_time = {0, 0.5};      // 12:00
  doc_->GetPatientData().surname = "Other";
  doc_->SetModifiedFlag(true);
  const auto before = Snapshot(temp_.Path());
  prompt_.ClearLog();

  bool renamed = true;
  {
    const FileSizeLimit limit(4096);
    renamed = doc_->RenameRecordingByPatient();
  }
  EXPECT_FALSE(renamed);
  EXPECT_EQ(Snapshot(temp_.Path()), before);
  EXPECT_EQ(doc_->GetPathName(), qrs);
  EXPECT_EQ(doc_->GetRawECGData()->GetFileName(), Base("00001 0042-.CMP"));
  EXPECT_TRUE(doc_->IsModified());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("file on disk is unchanged"), std::string::npos) << Messages()[0];

  ASSERT_TRUE(doc_->RenameRecordingByPatient());
  const std::string base = Base("Anna Other 10-03-2024 12-00 0042-");
  EXPECT_EQ(ReadBytes(base + ".QRS"), doc_->StoreToBytes());
  EXPECT_EQ(ReadBytes(base + ".BAK"), ReadBytes(base + ".QRS"));
  EXPECT_EQ(Snapshot(temp_.Path()).size(), 4u) << "QRS, BAK, CMP and PID, nothing else";
  EXPECT_EQ(doc_->GetRawECGData()->GetFileName(), base + ".CMP");
  platform::FileLock other;
  EXPECT_EQ(other.Lock(base + ".QRS"), platform::FileLock::Status::kInUse) << "the saved file is held";
}

TEST_F(DocumentFile, SaveModifiedAsksAndFollowsTheAnswer) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  const std::vector<uint8_t> original = ReadBytes(qrs);
  doc_->GetEventList().RemoveAll();
  doc_->SetModifiedFlag(true);

  prompt_.QueueAnswer(win::kIdCancel);
  EXPECT_FALSE(doc_->SaveModified());
  prompt_.QueueAnswer(win::kIdNo);
  EXPECT_TRUE(doc_->SaveModified());
  EXPECT_EQ(ReadBytes(qrs), original);
  prompt_.QueueAnswer(win::kIdYes);
  EXPECT_TRUE(doc_->SaveModified());
  EXPECT_NE(ReadBytes(qrs), original);
}

TEST_F(DocumentFile, FinalizingRenamesEveryCompanionFileAndTheRecentEntryFollows) {
  const std::string base = Base("Anna Meier 0123-");
  RecordingContent content = Content();
  content.pause_threshold = 1;  // analysed
  const std::string qrs = WriteRecording(clock_, base, content);
  WriteBytes(base + ".PID", {1, 2, 3});
  WriteBytes(base + ".VQN", {4, 5});
  // Reference annotations of a converted record go along; another recording's files stay.
  WriteBytes(base + ".ANO", {6});
  WriteBytes(base + ".152", {7});
  WriteBytes(base + "1.ANO", {8});
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  EXPECT_EQ(doc_->GetVoiceFileFlag(), 1);

  prompt_.QueueAnswer(win::kIdYes);
  ASSERT_TRUE(doc_->CanCloseFrame());

  const std::string renamed = Base("Anna Meier V123-");
  for (const char* extension : {".QRS", ".CMP", ".PID", ".VQN", ".BAK", ".ANO", ".152"}) {
    EXPECT_TRUE(std::filesystem::exists(renamed + extension)) << extension;
    EXPECT_FALSE(std::filesystem::exists(base + extension)) << extension;
  }
  EXPECT_TRUE(std::filesystem::exists(base + "1.ANO"));
  EXPECT_EQ(doc_->GetRecordingNumber(), "V123-");
  EXPECT_EQ(doc_->GetPathName(), renamed + ".QRS");
  EXPECT_EQ(doc_->GetTitle(), "Anna Meier V123-.QRS");
  EXPECT_EQ(host_.recent.front(), renamed + ".QRS");
  EXPECT_EQ(host_.recent.size(), 1u);
  EXPECT_EQ(doc_->GetRawECGData()->GetFileName(), renamed + ".CMP");
  EXPECT_EQ(doc_->GetClosedFlag(), 1);
  platform::FileLock other;
  EXPECT_EQ(other.Lock(renamed + ".QRS"), platform::FileLock::Status::kInUse) << "the lock follows the file";
  // The sample store reads under the new name.
  EXPECT_NO_THROW(doc_->GetRawECGData()->LoadMinute(1, false));
}

TEST_F(DocumentFile, OpeningAnotherRecordingOffersToFinalizeTheOneShown) {
  RecordingContent analysed = Content();
  analysed.pause_threshold = 2;
  const std::string first = WriteRecording(clock_, Base("Anna Meier 0007-"), analysed);
  const std::string second = WriteRecording(clock_, Base("Otto Kern 0008-"), analysed);
  ASSERT_TRUE(doc_->OnOpenDocument(first));
  prompt_.ClearLog();

  prompt_.QueueAnswer(win::kIdYes);
  ASSERT_TRUE(doc_->OnOpenDocument(second));
  ASSERT_EQ(prompt_.Log().size(), 1u);
  EXPECT_NE(prompt_.Log()[0].text.find("Anna Meier 0007-"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(Base("Anna Meier V007-.QRS")));
  EXPECT_TRUE(std::filesystem::exists(Base("Anna Meier V007-.CMP")));
  EXPECT_EQ(doc_->GetPathName(), second);
  EXPECT_EQ(doc_->GetRawECGData()->GetFileName(), Base("Otto Kern 0008-.CMP"));

  // Reopening the recording shown is not closing it: no question.
  prompt_.ClearLog();
  ASSERT_TRUE(doc_->OnOpenDocument(second));
  EXPECT_TRUE(prompt_.Log().empty());
  EXPECT_TRUE(doc_->IsFileHeld());
}

TEST_F(DocumentFile, FinalizingNeverOverwritesAnotherRecording) {
  RecordingContent analysed = Content();
  analysed.pause_threshold = 2;
  const std::string qrs = WriteRecording(clock_, Base("Anna Meier 0123-"), analysed);
  WriteBytes(Base("Anna Meier V123-.QRS"), {9, 9, 9});
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));

  doc_->MarkRecordingNumber(1);
  EXPECT_EQ(doc_->GetRecordingNumber(), "0123-");
  EXPECT_EQ(ReadBytes(Base("Anna Meier V123-.QRS")), (std::vector<uint8_t>{9, 9, 9}));
  EXPECT_TRUE(std::filesystem::exists(qrs));
  EXPECT_EQ(doc_->GetPathName(), qrs);
}

TEST_F(DocumentFile, NoFinalizeQuestionWhenItDoesNotApply) {
  struct Case {
    const char* name;
    int32_t pause_threshold;
    const char* base;
    bool batch;
    bool automation;
  };
  const Case cases[] = {
      {"never analysed", -1, "Anna 0123-", false, false},
      {"already finalized", 1, "Anna V123-", false, false},
      {"batch running", 1, "Anna 0124-", true, false},
      {"automation command", 1, "Anna 0125-", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingContent content = Content();
    content.pause_threshold = c.pause_threshold;
    const std::string qrs = WriteRecording(clock_, Base(c.base), content);
    host_.batch_running = false;
    host_.automation_complete = false;
    ASSERT_TRUE(doc_->OnOpenDocument(qrs));
    host_.batch_running = c.batch;
    host_.automation_complete = c.automation;
    prompt_.ClearLog();
    doc_->DeleteContents();
    EXPECT_TRUE(prompt_.Log().empty());
    EXPECT_TRUE(std::filesystem::exists(qrs));
  }
}

TEST_F(DocumentFile, RenameByPatientMovesEveryFileAndSaves) {
  const std::string qrs = WriteRecording(clock_, Base("00001 0042-"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  doc_->GetRecordingData().start_date = {0, 45361.0};  // 10.03.2024
  doc_->GetRecordingData().start_time = {0, 0.5};      // 12:00

  ASSERT_TRUE(doc_->RenameRecordingByPatient());
  const std::string renamed = Base("Anna Meier 10-03-2024 12-00 0042-");
  EXPECT_EQ(doc_->GetPathName(), renamed + ".QRS");
  for (const char* extension : {".QRS", ".CMP", ".BAK"})
    EXPECT_TRUE(std::filesystem::exists(renamed + extension)) << extension;
  EXPECT_FALSE(std::filesystem::exists(qrs));
  EXPECT_EQ(ReadBytes(renamed + ".QRS"), doc_->StoreToBytes());
  EXPECT_EQ(host_.recent.front(), renamed + ".QRS");
}

// What a folder holds, by name: the kind and permissions of each entry, where a link points, and
// the bytes of small files (the size and time of large ones, which are never read whole).
struct EntryState {
  std::filesystem::file_type type;
  mode_t mode;
  std::string link;
  uintmax_t size;
  int64_t modified_ns;
  std::vector<uint8_t> bytes;
  bool operator==(const EntryState&) const = default;
};

std::map<std::string, EntryState> FolderState(const std::filesystem::path& folder) {
  std::map<std::string, EntryState> state;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    struct stat info {};
    EXPECT_EQ(::lstat(entry.path().c_str(), &info), 0);
    EntryState item{entry.symlink_status().type(),
                    info.st_mode & 07777,
                    {},
                    0,
                    int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
                    {}};
    if (entry.is_symlink()) item.link = std::filesystem::read_symlink(entry.path()).string();
    if (S_ISREG(info.st_mode)) {
      item.size = static_cast<uintmax_t>(info.st_size);
      if (info.st_size < (1 << 20)) item.bytes = ReadBytes(entry.path().string());
    }
    state[entry.path().filename().string()] = std::move(item);
  }
  return state;
}

mode_t ModeOf(const std::string& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
  return info.st_mode & 07777;
}

// Files no recorder writes in place of a recording or its samples. Each is refused at once (an
// open of a pipe without a writer would wait for ever; a file longer than any recording would be
// read whole), names the fault, and leaves the recording shown before and every file as it was.
TEST_F(DocumentFile, HostileFilesAreRefusedWithoutWaitingAndChangeNothing) {
  const std::string first = WriteRecording(clock_, Base("00001"), Content(20));
  ASSERT_TRUE(doc_->OnOpenDocument(first));
  struct Case {
    const char* name;
    std::function<void(const std::string& base)> spoil;
    const char* message;
  };
  const auto pipe = [](const std::string& file) {
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
  };
  const Case cases[] = {
      {"recording is a named pipe", [&](const std::string& base) { pipe(base + ".QRS"); },
       "cannot be opened"},
      {"sample file is a named pipe", [&](const std::string& base) { pipe(base + ".CMP"); },
       "datafile not found"},
      {"recording is a folder",
       [](const std::string& base) {
         std::filesystem::remove(base + ".QRS");
         std::filesystem::create_directory(base + ".QRS");
       },
       "cannot be opened"},
      {"recording longer than any recording",
       [](const std::string& base) {
         ASSERT_EQ(::truncate((base + ".QRS").c_str(), CZK470Doc::kMaxRecordingFileBytes + 1), 0);
       },
       "1073741825 bytes long"},
  };
  int number = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = Base("0000" + std::to_string(number++));
    WriteRecording(clock_, base, Content());
    c.spoil(base);
    const auto before = FolderState(temp_.Path());
    prompt_.ClearLog();
    view_.hints.clear();

    EXPECT_FALSE(doc_->OnOpenDocument(base + ".QRS"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(c.message), std::string::npos) << Messages()[0];
    EXPECT_EQ(FolderState(temp_.Path()), before);
    EXPECT_EQ(doc_->GetPathName(), first);
    EXPECT_EQ(doc_->GetQRSList().GetSize(), 20);
    EXPECT_TRUE(doc_->IsFileHeld());
    EXPECT_TRUE(view_.hints.empty());
  }
}

// A save replaces the recording's content and nothing else about it: who may read it, and that it
// is a link to a file elsewhere, stay as they were; the backup copy follows the recording's mode.
TEST_F(DocumentFile, SaveKeepsPermissionsAndLinks) {
  std::filesystem::create_directories(temp_.Path() / "store");
  struct Case {
    const char* name;
    bool linked;
    mode_t mode;
  };
  const Case cases[] = {{"private recording", false, 0600},
                        {"shared with the group", false, 0640},
                        {"linked recording", true, 0640}};
  int number = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = Base("0000" + std::to_string(number++));
    std::string stored = WriteRecording(clock_, base, Content());
    if (c.linked) {
      stored = (temp_.Path() / "store" / std::filesystem::path(stored).filename()).string();
      std::filesystem::rename(base + ".QRS", stored);
      std::filesystem::create_symlink(
          std::filesystem::path("store") / std::filesystem::path(stored).filename(), base + ".QRS");
    }
    ASSERT_EQ(::chmod(stored.c_str(), c.mode), 0);
    ASSERT_TRUE(doc_->OnOpenDocument(base + ".QRS"));
    EXPECT_EQ(ModeOf(base + ".BAK"), c.mode) << "the backup made on opening";
    doc_->GetPatientData().patient_id = "changed";
    doc_->SetModifiedFlag(true);

    ASSERT_TRUE(doc_->DoFileSave());
    EXPECT_EQ(ReadBytes(stored), doc_->StoreToBytes());
    EXPECT_EQ(ModeOf(stored), c.mode);
    EXPECT_EQ(std::filesystem::is_symlink(base + ".QRS"), c.linked);
    EXPECT_EQ(ReadBytes(base + ".BAK"), ReadBytes(stored));
    EXPECT_EQ(ModeOf(base + ".BAK"), c.mode);
    platform::FileLock other;
    EXPECT_EQ(other.Lock(base + ".QRS"), platform::FileLock::Status::kInUse) << "the saved file is held";
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.Path() / "store"), {}), 1);
}

// A recording the user may not write is not replaced, whatever the system would let this
// process do: the save fails with its message, and a rename after the patient that would end in
// that save leaves every file where it was.
TEST_F(DocumentFile, ReadOnlyRecordingIsNeverReplacedOrRenamed) {
  const std::string qrs = WriteRecording(clock_, Base("00001 0042-"), Content());
  ASSERT_EQ(::chmod(qrs.c_str(), 0444), 0);
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  doc_->GetPatientData().surname = "Other";
  doc_->SetModifiedFlag(true);
  const auto before = FolderState(temp_.Path());

  struct Case {
    const char* name;
    std::function<bool()> save;
  };
  const Case cases[] = {{"save in place", [&] { return doc_->DoFileSave(); }},
                        {"rename after the patient", [&] { return doc_->RenameRecordingByPatient(); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    EXPECT_FALSE(c.save());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("cannot be saved"), std::string::npos) << Messages()[0];
    EXPECT_NE(Messages()[0].find("read-only"), std::string::npos) << Messages()[0];
    EXPECT_EQ(FolderState(temp_.Path()), before);
    EXPECT_TRUE(doc_->IsModified());
    EXPECT_EQ(doc_->GetPathName(), qrs);
  }
}

// A process killed while it copied the backup (its file size limit reached) leaves the copy's
// temp file; the next opening of that recording removes it, and only what is that recording's.
TEST_F(DocumentFile, OpeningRemovesWhatAnInterruptedCopyLeftBehind) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content(2000));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    (void)platform::CopyFile(qrs, Base("00001.BAK"), /*overwrite=*/true);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
    if (entry.path().filename().string().starts_with("00001.BAK.~")) left.push_back(entry.path().string());
  ASSERT_EQ(left.size(), 1u) << "the killed copy leaves its temp file";
  WriteBytes(Base("00001.QRS.tmp4711_0"), {1});
  const std::vector<std::string> others = {Base("00002.BAK.~0A1B2C3D"), Base("00001.BAK.~notours"),
                                           Base("00001.CMP.~0A1B2C3D")};
  for (const std::string& other : others) WriteBytes(other, {2});

  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  EXPECT_FALSE(std::filesystem::exists(left[0]));
  EXPECT_FALSE(std::filesystem::exists(Base("00001.QRS.tmp4711_0")));
  for (const std::string& other : others) EXPECT_TRUE(std::filesystem::exists(other)) << other;
  EXPECT_EQ(ReadBytes(Base("00001.BAK")), ReadBytes(qrs));
}

TEST(ReplacingMove, NeverDeletesTheTargetWithoutASource) {
  doctest::TempFolder folder;
  const std::string target = folder.File("b.CMP");
  WriteBytes(target, {1, 2, 3});
  EXPECT_FALSE(document::ReplacingMove(folder.File("a.CMP"), target));
  EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));

  WriteBytes(folder.File("a.cmp"), {7});
  EXPECT_TRUE(document::ReplacingMove(folder.File("a.CMP"), target));
  EXPECT_EQ(ReadBytes(folder.File("b.cmp")), (std::vector<uint8_t>{7})) << "the extension keeps its spelling";
  EXPECT_FALSE(std::filesystem::exists(folder.File("a.cmp")));
}

TEST(CZK470DocFiles, RecordingNumberFromPath) {
  struct Case {
    const char* path;
    const char* number;
  };
  const Case cases[] = {{"/d/Anna Meier 0123-.QRS", "0123-"},
                        {"/d/Anna Meier 0123.QRS", "-----"},
                        {"0123-.QRS", "0123-"},
                        {"123-.QRS", "-----"},
                        {"a0123-.QRS", "0123-"},
                        {"Q", "-----"}};
  for (const Case& c : cases) EXPECT_EQ(CZK470Doc::RecordingNumberFromPath(c.path), c.number) << c.path;
}

TEST(CZK470DocFiles, DataFileChecks) {
  doctest::TempFolder folder;
  const std::string qrs = folder.File("x.QRS");
  EXPECT_TRUE(CZK470Doc::IsDataFileMissing(qrs));
  EXPECT_FALSE(CZK470Doc::FindDataFile(qrs).has_value());

  std::vector<uint8_t> cmp(256, 0xFF);
  cmp[31] = 0;
  WriteBytes(folder.File("x.CMP"), cmp);
  EXPECT_FALSE(CZK470Doc::IsDataFileMissing(qrs));
  EXPECT_FALSE(CZK470Doc::IsDataFileInvalid(qrs)) << "256 bytes whose first 32 are not all 0xFF are valid";
  EXPECT_EQ(CZK470Doc::FindDataFile(qrs), folder.File("x.CMP"));

  cmp[31] = 0xFF;
  WriteBytes(folder.File("x.CMP"), cmp);
  EXPECT_TRUE(CZK470Doc::IsDataFileInvalid(qrs));
  EXPECT_FALSE(CZK470Doc::FindDataFile(qrs).has_value());

  EXPECT_FALSE(CZK470Doc::HasVoiceFile(qrs));
  WriteBytes(folder.File("x.PID"), {0});
  EXPECT_TRUE(CZK470Doc::HasVoiceFile(qrs));
}

TEST_F(DocumentFile, RecordingSummary) {
  const std::string qrs = WriteRecording(clock_, Base("00001"), Content());
  ASSERT_TRUE(doc_->OnOpenDocument(qrs));
  TPatientData& patient = doc_->GetPatientData();
  patient.patient_id = "P-17";
  patient.birth_date = {0, 25569.0};  // 01.01.1970
  patient.sex = 2;
  patient.height = 180.4;
  patient.weight = 79.6;
  patient.pacemaker = 1;

  EXPECT_EQ(doc_->GetRecordingSummary(""), qrs + "\tAnna\tMeier\tP-17\t01.01.1970\t2\t180\t80\t1\nSOUND=0");
  EXPECT_EQ(doc_->GetRecordingSummary("other.QRS").substr(0, 10), "other.QRS\t");
}

}  // namespace
