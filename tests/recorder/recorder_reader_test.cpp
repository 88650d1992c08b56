#include "recorder/recorder_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/read_recorder_dlg.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "recorder/recording_naming.h"
#include "support/recorder_sim.h"
#include "support/test_files.h"
#include "win/controls.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr double kDec8th2004 = 38329.0;
constexpr double kHalfPastTwoPm = 14.5 / 24.0;
constexpr const char* kBrandLea = "Brand Lea 08-12-2004 14-30 -----";

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }

// Every entry of a folder, by name.
std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// ---- Base name ---------------------------------------------------------------------------------

TEST(NewRecordingBaseName, FollowsTheNamingRule) {
  struct Case {
    const char* name;
    const char* last;
    const char* first;
    const char* want;
  };
  const Case cases[] = {
      {"both names", "Brand", "Lea", kBrandLea},
      {"no first name", "Brand", "", "Brand 08-12-2004 14-30 -----"},
      {"no names", "", "", "08-12-2004 14-30 -----"},
      {"dots and colons", "St. Moritz", "A:B", "St- Moritz A-B 08-12-2004 14-30 -----"},
      {"umlauts stay", "Müller", "Jürgen", "Müller Jürgen 08-12-2004 14-30 -----"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NewRecordingBaseName(c.last, c.first, "08.12.2004", "14:30"), c.want);
  }
}

TEST(NewRecordingBaseName, HostileNamesBecomeOneSafeComponent) {
  struct Case {
    const char* name;
    std::string last;
    std::string first;
  };
  const Case cases[] = {
      {"separators", "../../etc/passwd", "a\\b"},
      {"dot dot alone", "..", "."},
      {"wildcards", "*", "?????"},
      {"control characters", std::string("a\nb\tc\x7f", 6) + std::string(1, '\0') + "d", "\r"},
      {"very long", std::string(5000, 'x'), std::string(400, 'y')},
      {"long multibyte", std::string(300, 'x') + "ü" + std::string(300, 'y'), "Jürgen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = NewRecordingBaseName(c.last, c.first, "08.12.2004", "14:30");
    EXPECT_TRUE(base.ends_with(" 08-12-2004 14-30 -----")) << base;
    EXPECT_EQ(base.find_first_of(std::string("/\\*?\0\n\r\t\x7f", 10)), std::string::npos) << base;
    EXPECT_EQ(fs::path(base + ".qrs").filename().string(), base + ".qrs");
    EXPECT_LE(base.size() + 4, 255u);
    // Cut at a character boundary: the name is still valid UTF-8 where it ends.
    EXPECT_NE(static_cast<unsigned char>(base[base.find(" 08-12") - 1]) & 0xC0, 0xC0);
  }
}

// ---- Naming and moving ---------------------------------------------------------------------------

class NamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = testsupport::MakeTestDir("naming");
    data_ = root_ / "data";
    work_ = root_ / "work";
    fs::create_directories(data_);
    fs::create_directories(work_);
    doc_.SetDataDirectory(data_.string());
    doc_.SetWorkDirectory(work_.string());
  }

  // Work files 6, 7 (and 8) holding their kind's name.
  void MakeWorkFiles(bool voice) {
    WriteAll(doc_.GetWorkFileName(0), "new qrs");
    WriteAll(doc_.GetWorkFileName(1), "new cmp");
    if (voice) WriteAll(doc_.GetWorkFileName(2), "new pid");
  }

  fs::path root_, data_, work_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2026, 12, 10, 12, 0, 0, 0}};
  CZK470Doc doc_{CZK470Doc::NoUserInterface{}, profile_, clock_};
};

TEST_F(NamingTest, MovesSamplesVoiceAndDocumentIntoTheDataDirectory) {
  MakeWorkFiles(/*voice=*/true);
  const std::string path = NameNewRecording(doc_, "Brand", "Lea", "08.12.2004", "14:30");
  EXPECT_EQ(path, (data_ / (std::string(kBrandLea) + ".qrs")).string());
  const std::string base = kBrandLea;
  EXPECT_EQ(Listing(data_), (std::vector<std::string>{base + ".cmp", base + ".pid", base + ".qrs"}));
  EXPECT_EQ(ReadAll(data_ / (base + ".cmp")), (Bytes{'n', 'e', 'w', ' ', 'c', 'm', 'p'}));
  EXPECT_TRUE(Listing(work_).empty());
  EXPECT_EQ(doc_.GetWorkFileName(6), "");
  EXPECT_EQ(doc_.GetWorkFileName(7), "");
}

TEST_F(NamingTest, ExistingRecordingOfAnyNumberIsOpenedAndTheNewFilesGo) {
  struct Case {
    const char* name;
    const char* qrs;
    const char* cmp;
  };
  // The search is literal and ignores case.
  const Case cases[] = {
      {"numbered", "Brand Lea 08-12-2004 14-30 00017.QRS", "Brand Lea 08-12-2004 14-30 00017.CMP"},
      {"lower case", "brand lea 08-12-2004 14-30 00017.qrs", "brand lea 08-12-2004 14-30 00017.cmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    WriteAll(data_ / c.qrs, "analysed");
    WriteAll(data_ / c.cmp, "samples");
    MakeWorkFiles(true);
    EXPECT_EQ(NameNewRecording(doc_, "Brand", "Lea", "08.12.2004", "14:30"), (data_ / c.qrs).string());
    EXPECT_EQ(Listing(data_), (std::vector<std::string>{c.cmp, c.qrs}));
    EXPECT_EQ(ReadAll(data_ / c.qrs), (Bytes{'a', 'n', 'a', 'l', 'y', 's', 'e', 'd'}));
    EXPECT_TRUE(Listing(work_).empty());
  }
}

TEST_F(NamingTest, ALoneFileOfTheNameIsKeptAndTheRecordingOpensFromItsWorkFiles) {
  struct Case {
    const char* name;
    const char* file;
  };
  const Case cases[] = {
      {"lone analysed document", "Brand Lea 08-12-2004 14-30 00003.QRS"},
      {"lone samples", "Brand Lea 08-12-2004 14-30 00003.CMP"},
      {"same name unnumbered", "Brand Lea 08-12-2004 14-30 -----.qrs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    WriteAll(data_ / c.file, "keep me");
    MakeWorkFiles(false);
    const std::string work_qrs = doc_.GetWorkFileName(6);
    EXPECT_EQ(NameNewRecording(doc_, "Brand", "Lea", "08.12.2004", "14:30"), work_qrs);
    EXPECT_EQ(Listing(data_), (std::vector<std::string>{c.file}));
    EXPECT_EQ(ReadAll(data_ / c.file), (Bytes{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_TRUE(fs::exists(work_qrs));
    EXPECT_TRUE(fs::exists(doc_.GetWorkFileName(7)));
  }
}

TEST_F(NamingTest, WildcardNamesMatchOnlyThemselves) {
  // A recording of another patient must not be taken for one whose name is a pattern.
  WriteAll(data_ / "Brand Lea 08-12-2004 14-30 00001.QRS", "other");
  WriteAll(data_ / "Brand Lea 08-12-2004 14-30 00001.CMP", "other");
  MakeWorkFiles(false);
  const std::string path = NameNewRecording(doc_, "*", "?", "08.12.2004", "14:30");
  EXPECT_EQ(path, (data_ / "_ _ 08-12-2004 14-30 -----.qrs").string());
  EXPECT_TRUE(fs::exists(data_ / "_ _ 08-12-2004 14-30 -----.cmp"));
}

TEST_F(NamingTest, HostileNamesStayInsideTheDataDirectory) {
  const char* const names[] = {"../../escaped", "/tmp/abs", "..", "sub/dir"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    SetUp();
    MakeWorkFiles(false);
    const std::string path = NameNewRecording(doc_, name, name, "08.12.2004", "14:30");
    EXPECT_EQ(fs::path(path).parent_path(), data_);
    EXPECT_EQ(Listing(data_).size(), 2u);
    EXPECT_EQ(Listing(root_), (std::vector<std::string>{"data", "work"}));
  }
}

TEST_F(NamingTest, AFailedMoveUndoesTheMovesMade) {
  MakeWorkFiles(true);
  const std::string work_qrs = doc_.GetWorkFileName(6);
  const std::string work_cmp = doc_.GetWorkFileName(7);
  // The document file cannot be moved: its work file is gone.
  fs::remove(work_qrs);
  EXPECT_EQ(NameNewRecording(doc_, "Brand", "Lea", "08.12.2004", "14:30"), work_qrs);
  EXPECT_TRUE(Listing(data_).empty());
  EXPECT_EQ(ReadAll(work_cmp), (Bytes{'n', 'e', 'w', ' ', 'c', 'm', 'p'}));
  EXPECT_TRUE(fs::exists(doc_.GetWorkFileName(8)));
}

// ---- Read-out against the simulated recorder ----------------------------------------------------

// Answers as a user would, and remembers what was shown.
class ScriptedReaderUi : public TRecorderReader::Ui {
 public:
  void Beep() override { ++beeps; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskRetry() override {
    ++comm_errors;
    if (retries.empty()) return false;
    const bool retry = retries.front();
    retries.pop_front();
    return retry;
  }
  void SetProgressRange(int upper) override { range = upper; }
  void SetProgressPos(int pos) override { position = pos; }

  int beeps = 0;
  int comm_errors = 0;
  std::vector<std::string> messages;
  std::deque<bool> retries;
  int range = -1;
  int position = -1;
};

// A recorder voice file: 16-byte header, the sample count, the delta-coded samples.
Bytes VoiceFile(size_t samples) {
  Bytes voice(16, 0x20);
  for (int i = 0; i < 4; ++i) voice.push_back(static_cast<uint8_t>(samples >> (8 * i)));
  for (size_t i = 0; i < samples; ++i) voice.push_back(static_cast<uint8_t>(i % 3));
  return voice;
}

recsim::SimConfig BrandLea(int kind, size_t voice_samples = 0) {
  recsim::SimConfig config = recsim::SimConfig::WithSyntheticEcg(kind, 1);
  TPatientBlockFields patient;
  patient.pat_nr = "P-17";
  patient.last_name = "Brand";
  patient.first_name = "Lea";
  patient.date_of_birth = {0, 25000.0};
  patient.sex = 1;
  patient.height = 170;
  patient.weight = 60;
  config.patient_block = TRecorderBlocks::PackPatientBlock(patient);
  TRecordingBlockFields recording;
  recording.recording_date = {0, kDec8th2004};
  recording.recording_time = {0, kHalfPastTwoPm};
  recording.dev_type = config.TypeText();
  recording.dev_version = config.version;
  recording.dev_serial = config.serial;
  config.recording_block = TRecorderBlocks::PackRecordingBlock(recording);
  config.review_record.last_name = "Brand";
  config.review_record.first_name = "Lea";
  config.review_record.pat_id = "P-17";
  config.review_record.start_date = kDec8th2004;
  config.review_record.start_time = kHalfPastTwoPm;
  config.voice = voice_samples > 0 ? VoiceFile(voice_samples) : Bytes{};
  return config;
}

class ReadOutTest : public NamingTest {
 protected:
  void SetUp() override {
    NamingTest::SetUp();
    saved_environment_ = recorder::Environment();
    recorder::SetClock(&recorder_clock_);
    doc_.GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
    document::Context().Reset();
  }
  void TearDown() override {
    recorder::SetClock(nullptr);
    recorder::Environment() = saved_environment_;
  }

  // The device search as the real one leaves it, for the simulator's recorder.
  TRecorderReader::DeviceSearch FoundAt(recsim::PtyRecorder& sim, int kind, bool has_72_hours = true) {
    return [&sim, kind, has_72_hours](CZK470Doc& doc) {
      recorder::CurrentRecorder current(doc);
      current.SetKind(kind);
      current.DeviceName() = sim.DevicePath();
      current.Set72HourCapability(has_72_hours);
      return kind;
    };
  }

  // Start and Run on this thread; the reader is gone afterwards, as after its dialog.
  std::string ReadOut(recsim::PtyRecorder& sim, int kind, bool has_72_hours = true,
                      bool* succeeded = nullptr) {
    TRecorderReader reader(doc_, ui_, FoundAt(sim, kind, has_72_hours));
    if (reader.Start()) reader.Run();
    if (succeeded != nullptr) *succeeded = reader.Succeeded();
    patient_ = reader.GetPatientData();
    return reader.GetResultPath();
  }

  std::pair<TPatientData, TRecordingData> LoadRecords(const fs::path& qrs) {
    const Bytes bytes = ReadAll(qrs);
    platform::ArchiveReader ar(bytes, qrs.string());
    TPatientData patient(clock_);
    TRecordingData recording(clock_);
    patient.Load(ar);
    recording.Load(ar);
    return {patient, recording};
  }

  // Fast enough for the suite, slow enough that the simulator keeps up on a loaded machine.
  recorder::ScaledRecorderClock recorder_clock_{25};
  recorder::LinkEnvironment saved_environment_;
  ScriptedReaderUi ui_;
  TPatientData patient_{clock_};
};

TEST_F(ReadOutTest, ZK131RecordingArrivesUnderItsNameWithSamplesAndVoice) {
  recsim::PtyRecorder sim(BrandLea(TRecorderProtocol::kKindZK131, 4000));
  bool succeeded = false;
  const std::string path = ReadOut(sim, TRecorderProtocol::kKindZK131, true, &succeeded);
  ASSERT_TRUE(succeeded) << (ui_.messages.empty() ? "" : ui_.messages.front());
  const std::string base = kBrandLea;
  EXPECT_EQ(path, (data_ / (base + ".qrs")).string());
  EXPECT_EQ(Listing(data_), (std::vector<std::string>{base + ".cmp", base + ".pid", base + ".qrs"}));
  EXPECT_EQ(ReadAll(data_ / (base + ".cmp")), sim.Model().Config().ecg);

  const auto [patient, recording] = LoadRecords(path);
  EXPECT_EQ(patient.surname, "Brand");
  EXPECT_EQ(patient.first_name, "Lea");
  EXPECT_EQ(patient.patient_id, "P-17");
  EXPECT_EQ(patient.sex, 1);
  EXPECT_EQ(patient.address, "Hauptstr. 1\r\n12345 Musterstadt");
  EXPECT_EQ(recording.GetStartDateText(), "08.12.2004");
  EXPECT_EQ(recording.GetStartTimeText(), "14:30");

  // The voice conversion keeps n - 1 samples: 8-bit mono, the data chunk at byte 40.
  const Bytes wave = ReadAll(data_ / (base + ".pid"));
  ASSERT_GE(wave.size(), 44u);
  EXPECT_EQ(platform::LoadLE32(wave.data() + 40), 3999u);
  EXPECT_TRUE(Listing(work_).empty());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.position, ui_.range - 1);
}

TEST_F(ReadOutTest, ZK130SamplesAreTheStreamBehindTheHeadWithoutItsLastByte) {
  recsim::PtyRecorder sim(BrandLea(TRecorderProtocol::kKindZK130));
  const Bytes stream = sim.Model().ReviewStreamBytes();
  bool succeeded = false;
  const std::string path = ReadOut(sim, TRecorderProtocol::kKindZK130, false, &succeeded);
  ASSERT_TRUE(succeeded);
  const Bytes want(stream.begin() + TRecorderProtocol::kReviewHeadSize, stream.end() - 1);
  EXPECT_EQ(ReadAll(data_ / (std::string(kBrandLea) + ".cmp")), want);
  EXPECT_EQ(want, sim.Model().Config().ecg);
  EXPECT_EQ(LoadRecords(path).first.patient_id, "P-17");
  // Sent without waiting for its echo: the recorder may take it only after the read-out ended.
  EXPECT_TRUE(sim.WaitForCommand("ExREV"));
  EXPECT_EQ(ui_.beeps, 1);
}

TEST_F(ReadOutTest, BrokenAndEmptyStreamsReportAndLeaveNothingBehind) {
  struct Case {
    const char* name;
    int kind;
    int64_t cut_after;
    bool ff_start;
    int want_string;
  };
  constexpr int64_t kHalfWay = -2;
  const Case cases[] = {
      {"ZK-131 cut after 400 bytes", TRecorderProtocol::kKindZK131, 400, false,
       TRecorderReader::kStrBrokenOff},
      {"ZK-131 cut after 250 bytes", TRecorderProtocol::kKindZK131, 250, false, TRecorderReader::kStrNoData},
      {"ZK-131 cut half-way", TRecorderProtocol::kKindZK131, kHalfWay, false, TRecorderReader::kStrBrokenOff},
      {"ZK-130 cut half-way", TRecorderProtocol::kKindZK130, kHalfWay, false, TRecorderReader::kStrBrokenOff},
      {"ZK-131 empty recorder", TRecorderProtocol::kKindZK131, -1, true, TRecorderReader::kStrEmptyRecorder},
  };
  platform::Resources().Reset();
  AddReadRecorderResources(platform::Resources().ExePack());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ui_ = {};
    WriteAll(data_ / "Other 01-01-2004 10-00 00001.QRS", "kept");
    recsim::SimConfig config = BrandLea(c.kind, 3000);
    config.faults.cut_stream_after =
        c.cut_after == kHalfWay ? static_cast<int64_t>(config.ecg.size() / 2) : c.cut_after;
    config.faults.ff_start = c.ff_start;
    recsim::PtyRecorder sim(config);
    bool succeeded = true;
    EXPECT_EQ(ReadOut(sim, c.kind, true, &succeeded), "");
    EXPECT_FALSE(succeeded);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], platform::LoadString(c.want_string));
    EXPECT_EQ(Listing(data_), (std::vector<std::string>{"Other 01-01-2004 10-00 00001.QRS"}));
    EXPECT_TRUE(Listing(work_).empty());
  }
  platform::Resources().Reset();
}

TEST_F(ReadOutTest, ZeroEcgLengthReportsNoData) {
  recsim::SimConfig config = BrandLea(TRecorderProtocol::kKindZK131);
  config.ecg.clear();
  recsim::PtyRecorder sim(config);
  EXPECT_EQ(ReadOut(sim, TRecorderProtocol::kKindZK131), "");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], platform::LoadString(TRecorderReader::kStrNoData));
  const std::vector<std::string> words = sim.CommandWords();
  EXPECT_EQ(std::find(words.begin(), words.end(), "GetECGDat"), words.end());
  EXPECT_TRUE(Listing(work_).empty());
}

TEST_F(ReadOutTest, AddressAndVoiceAreOptional) {
  struct Case {
    const char* name;
    bool has_72_hours;
    bool flex_fails;
  };
  const Case cases[] = {
      {"flexible block fails", true, true},
      {"no 72-hour capability", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ui_ = {};
    recsim::SimConfig config = BrandLea(TRecorderProtocol::kKindZK131);
    if (c.flex_fails) config.faults.silent_word = "GetFlexBlk";
    recsim::PtyRecorder sim(config);
    bool succeeded = false;
    const std::string path = ReadOut(sim, TRecorderProtocol::kKindZK131, c.has_72_hours, &succeeded);
    ASSERT_TRUE(succeeded);
    const auto [patient, recording] = LoadRecords(path);
    EXPECT_EQ(patient.address, "");
    EXPECT_EQ(patient.telephone, "");
    EXPECT_EQ(patient.surname, "Brand");
    const std::vector<std::string> words = sim.CommandWords();
    EXPECT_EQ(std::count(words.begin(), words.end(), "GetFileVers"), c.has_72_hours ? 1 : 0);
    // "GetVoicLen" answered 0x80 0 0 0: no voice transfer, one beep after the samples.
    EXPECT_EQ(std::count(words.begin(), words.end(), "GetVoiceDat"), 0);
    EXPECT_EQ(ui_.beeps, 1);
    const std::string base = kBrandLea;
    EXPECT_EQ(Listing(data_), (std::vector<std::string>{base + ".cmp", base + ".qrs"}));
  }
}

TEST_F(ReadOutTest, SecondReadOutOpensTheFirstAndLeavesNoWorkFiles) {
  recsim::PtyRecorder sim(BrandLea(TRecorderProtocol::kKindZK131, 500));
  const std::string first = ReadOut(sim, TRecorderProtocol::kKindZK131);
  ASSERT_FALSE(first.empty());
  // The document numbers the recording once it is opened.
  const std::string numbered = (data_ / "Brand Lea 08-12-2004 14-30 00017.qrs").string();
  fs::rename(first, numbered);
  fs::rename(data_ / (std::string(kBrandLea) + ".cmp"), data_ / "Brand Lea 08-12-2004 14-30 00017.cmp");
  const std::vector<std::string> before = Listing(data_);
  EXPECT_EQ(ReadOut(sim, TRecorderProtocol::kKindZK131), numbered);
  EXPECT_EQ(Listing(data_), before);
  EXPECT_TRUE(Listing(work_).empty());
}

TEST_F(ReadOutTest, LateEchoOfAnUnconfirmedCommandIsNotTakenForTheNextEcho) {
  struct Case {
    const char* name;
    int kind;
    const char* word;
    int late_ms;
  };
  // Later than the pause behind "Reset\r", and later than the first look for input before
  // "GetVoiceDat\r" that follows "StopSend\r" at once.
  const Case cases[] = {
      {"ZK-131 reset", TRecorderProtocol::kKindZK131, "Reset", 1200},
      {"ZK-131 end of the samples", TRecorderProtocol::kKindZK131, "StopSend", 300},
      {"ZK-130 reset", TRecorderProtocol::kKindZK130, "Reset", 1200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ui_ = {};
    recsim::SimConfig config = BrandLea(c.kind, 1000);
    config.faults.late_word = c.word;
    config.faults.late_reply_ms = c.late_ms;
    recsim::PtyRecorder sim(config);
    bool succeeded = false;
    const bool sd_card = c.kind == TRecorderProtocol::kKindZK131;
    const std::string path = ReadOut(sim, c.kind, sd_card, &succeeded);
    ASSERT_TRUE(succeeded);
    EXPECT_EQ(ui_.comm_errors, 0);
    const std::string base = kBrandLea;
    EXPECT_EQ(path, (data_ / (base + ".qrs")).string());
    EXPECT_EQ(ReadAll(data_ / (base + ".cmp")), sim.Model().Config().ecg);
    EXPECT_EQ(fs::exists(data_ / (base + ".pid")), sd_card);
    EXPECT_TRUE(Listing(work_).empty());
  }
}

TEST_F(ReadOutTest, CommunicationErrorAsksAndRetriesTheWholeRequest) {
  recsim::SimConfig config = BrandLea(TRecorderProtocol::kKindZK131);
  config.faults.silent_word = "GetRecDat";
  recsim::PtyRecorder sim(config);
  ui_.retries = {true};
  EXPECT_EQ(ReadOut(sim, TRecorderProtocol::kKindZK131), "");
  EXPECT_EQ(ui_.comm_errors, 2);
  const std::vector<std::string> words = sim.CommandWords();
  EXPECT_EQ(std::count(words.begin(), words.end(), "GetPatDat"), 2);
  EXPECT_TRUE(Listing(work_).empty());
  EXPECT_TRUE(Listing(data_).empty());
}

TEST_F(ReadOutTest, NoRecorderFoundOrNoDeviceEndsBeforeTheTransfer) {
  recsim::PtyRecorder sim(BrandLea(TRecorderProtocol::kKindZK131));
  {
    TRecorderReader reader(doc_, ui_, [](CZK470Doc&) { return 9; });
    EXPECT_FALSE(reader.Start());
  }
  {
    TRecorderReader reader(doc_, ui_, [](CZK470Doc& doc) {
      recorder::CurrentRecorder(doc).DeviceName() = "/nonexistent/tty";
      return TRecorderProtocol::kKindZK131;
    });
    EXPECT_FALSE(reader.Start());
  }
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(Listing(work_).empty());
}

}  // namespace

namespace dialog_tests {

class ReadRecorderDlgTest : public ReadOutTest {
 protected:
  void SetUp() override {
    ReadOutTest::SetUp();
    platform::Resources().Reset();
    AddReadRecorderResources(platform::Resources().ExePack());
  }
  void TearDown() override {
    win::Windows().SetModalIdleHandler(nullptr);
    platform::Resources().Reset();
    ReadOutTest::TearDown();
  }
};

TEST_F(ReadRecorderDlgTest, WorkerReadsUnderTheDialogWhichEndsOnItsMessage) {
  recsim::PtyRecorder sim(BrandLea(TRecorderProtocol::kKindZK131));
  TReadRecorderDlg dialog(nullptr, doc_, FoundAt(sim, TRecorderProtocol::kKindZK131));
  int last_position = -1;
  win::Windows().SetModalIdleHandler([&](win::Window* modal) {
    if (auto* bar = modal != nullptr ? dynamic_cast<TReadRecorderDlg*>(modal)->Item<win::ProgressBar>(
                                           TReadRecorderDlg::kProgressId)
                                     : nullptr)
      last_position = bar->GetPos();
    return false;
  });
  EXPECT_EQ(dialog.DoModal(), TReadRecorderDlg::kResultDone);
  EXPECT_EQ(dialog.GetResultPath(), (data_ / (std::string(kBrandLea) + ".qrs")).string());
  EXPECT_GE(last_position, 0);
}

TEST_F(ReadRecorderDlgTest, ClosingActsAsCancelAndWaitsForTheWorker) {
  recsim::SimConfig config = BrandLea(TRecorderProtocol::kKindZK131);
  config.throttle_bytes_per_second = 20000;
  recsim::PtyRecorder sim(config);
  TReadRecorderDlg dialog(nullptr, doc_, FoundAt(sim, TRecorderProtocol::kKindZK131));
  bool closed = false;
  win::Windows().SetModalIdleHandler([&](win::Window* modal) {
    int64_t sent = 0;
    {
      const auto lock = sim.Lock();
      sent = sim.Model().StreamBytesSent();
    }
    if (closed || modal == nullptr || sent == 0) return false;
    closed = true;
    modal->SendMessage(win::kWmClose, 0, 0);
    // Still up: only the worker's end message ends it.
    EXPECT_TRUE(dialog.IsModalRunning());
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), TReadRecorderDlg::kResultCancelled);
  EXPECT_TRUE(closed);
  EXPECT_EQ(dialog.GetResultPath(), "");
  EXPECT_TRUE(Listing(data_).empty());
}

}  // namespace dialog_tests
