#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_programmer.h"
#include "recorder_online_fixture.h"

namespace {

using recordertest::RecorderScreenTest;
using P = TRecorderProgrammer;
using WordList = std::vector<std::string>;

constexpr int kZK130 = TRecorderProtocol::kKindZK130;
constexpr int kZK133 = TRecorderProtocol::kKindZK133;
constexpr int kZK131 = TRecorderProtocol::kKindZK131;

platform::OleDateTime Date(int year, int month, int day) {
  return document::ToOleDateTime({year, month, day, 0, 0, 0, 0});
}

TEST(TRecorderProgrammer, AgeCountsWholeYearsToTheBirthday) {
  struct Case {
    const char* name;
    platform::OleDateTime birth;
    platform::LocalDateTime today;
    int want;
  };
  const Case cases[] = {
      {"the day before the birthday", Date(1950, 12, 9), {2026, 12, 8}, 75},
      {"on the birthday", Date(1950, 12, 9), {2026, 12, 9}, 76},
      {"a month before the birthday", Date(1950, 12, 9), {2026, 11, 30}, 75},
      {"born this year, after today's date", Date(2026, 12, 20), {2026, 3, 1}, 0},
      {"born this year", Date(2026, 1, 5), {2026, 12, 8}, 0},
      {"no birth date", platform::OleDateTime{1, 0.0}, {2026, 12, 8}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(P::AgeInYears(c.birth, c.today), c.want);
  }
}

class ProgrammingTest : public RecorderScreenTest {
 protected:
  void SetUp() override {
    RecorderScreenTest::SetUp();
    TPatientData& patient = doc_->GetPatientData();
    patient.surname = "Muster";
    patient.first_name = "Erika";
    patient.patient_id = "P-4711";
    patient.birth_date = Date(1950, 12, 9);
    patient.sex = 1;
    patient.height = 168;
    patient.weight = 61;
    patient.pacemaker = 0;
    patient.address = "Hauptstr. 1\r\n12345 Stadt";
    patient.telephone = "0123 456";
    patient.station = "K3";
    TRecordingData& recording = doc_->GetRecordingData();
    recording.pacemaker_recording = 1;
    recording.programmed_length = 48;
  }
  void TearDown() override {
    link_.reset();
    RecorderScreenTest::TearDown();
  }

  static recsim::SimConfig Config(int kind, std::string version = "V1.20") {
    recsim::SimConfig config = recsim::SimConfig::ForKind(kind);
    config.version = std::move(version);
    // The two-channel family echoes the patient record like any other command.
    config.echo_data = kind != kZK131;
    return config;
  }

  // The link as the recorder area opens it.
  bool Program(recsim::SimConfig config) {
    StartRecorder(std::move(config));
    link_ = recorder::MakeRecorderLink(recorder::kInterfaceUsbConverter);
    EXPECT_TRUE(link_->Open(0, sim_->DevicePath()));
    link_->Reset();
    recorder::Clock().SleepMs(500);
    (void)link_->SendText("Reset\r", true, 0);
    recorder::Clock().SleepMs(1000);
    {
      auto lock = sim_->Lock();
      sim_->Model().ClearLog();
    }
    return P(*doc_, link_.get()).Run();
  }

  int Count(const std::string& word) {
    const WordList words = WordList(sim_->CommandWords());
    return static_cast<int>(std::count(words.begin(), words.end(), word));
  }
  int Asked(int string_id) const {
    const std::string text = platform::LoadString(string_id);
    const auto texts = MessagesAsked();
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
  }

  std::unique_ptr<recorder::RecorderLink> link_;
};

TEST_F(ProgrammingTest, CommandSequencePerKindAndFirmware) {
  const WordList zk130 = {"PMOn", "PDat", "REC"};
  const WordList zk131_old = {"ResetStat", "MMCStat",   "BATStat", "MMCSize",   "PMOn",
                              "SetPatDat", "SetRecDat", "REC",     "ResetStat", "RECStat"};
  const WordList zk131_new = {"ResetStat", "MMCStat",     "BATStat",    "MMCSize",   "PMOn",
                              "SetPatDat", "SetFileVers", "SetFlexBlk", "SetRecDat", "SetRecLen",
                              "REC",       "ResetStat",   "RECStat"};
  struct Case {
    const char* name;
    int kind;
    const char* version;
    WordList want;
  };
  const Case cases[] = {
      {"ZK-130", kZK130, "", zk130},
      {"ZK-133", kZK133, "", zk130},
      {"ZK-131 firmware 1.10", kZK131, "V1.10", zk131_old},
      {"ZK-131 firmware 1.20", kZK131, "V1.20", zk131_new},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    ASSERT_TRUE(Program(Config(c.kind, c.version))) << ::testing::PrintToString(sim_->CommandWords());
    EXPECT_EQ(sim_->CommandWords(), c.want);
    // Only the card recorder asks; it shows its confirmation once.
    EXPECT_EQ(MessagesAsked().size(), c.kind == kZK131 ? 1u : 0u);
    auto lock = sim_->Lock();
    EXPECT_TRUE(sim_->Model().Recording());
    EXPECT_EQ(sim_->Model().PacemakerDetection(), std::optional<bool>(true));
  }
}

TEST_F(ProgrammingTest, TheTwoChannelRecordHoldsTheDocumentAndTheStartTime) {
  clock_.Set({2026, 12, 8, 11, 0, 0, 0});
  ASSERT_TRUE(Program(Config(kZK130)));
  const TRecordingData& recording = doc_->GetRecordingData();
  EXPECT_EQ(recording.start_date, Date(2026, 12, 8));
  EXPECT_NEAR(recording.start_time.days, 11.0 / 24.0, 1e-9);

  auto lock = sim_->Lock();
  ASSERT_TRUE(sim_->Model().PatientRecordBytes().has_value());
  const TRecorderPatientRecord record =
      TRecorderProtocol::DecodePatientRecord(*sim_->Model().PatientRecordBytes());
  EXPECT_EQ(record.last_name, "Muster");
  EXPECT_EQ(record.first_name, "Erika");
  EXPECT_EQ(record.pat_id, "P-4711");
  EXPECT_EQ(record.date_of_birth, Date(1950, 12, 9).days);
  EXPECT_EQ(record.sex, 1);
  EXPECT_EQ(record.height, 168.0);
  EXPECT_EQ(record.weight, 61.0);
  EXPECT_FALSE(record.pace_maker);
  EXPECT_EQ(record.start_date, Date(2026, 12, 8).days);
  EXPECT_NEAR(record.start_time, 11.0 / 24.0, 1e-12);
  EXPECT_TRUE(record.pace_maker_detection);
}

TEST_F(ProgrammingTest, TheCardRecorderStoresBlocksEqualToTheDocument) {
  clock_.Set({2026, 12, 8, 9, 15, 30, 0});
  ASSERT_TRUE(Program(Config(kZK131, "V1.20")));
  const TPatientData& patient = doc_->GetPatientData();
  const TRecordingData& recording = doc_->GetRecordingData();

  auto lock = sim_->Lock();
  const TPatientBlockFields p = TRecorderBlocks::UnpackPatientBlock(sim_->Model().PatientBlock(), clock_);
  EXPECT_EQ(p.pat_nr, patient.patient_id);
  EXPECT_EQ(p.last_name, patient.surname);
  EXPECT_EQ(p.first_name, patient.first_name);
  EXPECT_EQ(p.date_of_birth.days, patient.birth_date.days);
  EXPECT_EQ(p.age, 75);  // the day before the 76th birthday
  EXPECT_EQ(p.race, 1);
  EXPECT_EQ(p.sex, patient.sex);
  EXPECT_EQ(p.height, patient.height);
  EXPECT_EQ(p.weight, patient.weight);
  EXPECT_EQ(p.pace_maker, 0);
  EXPECT_EQ(p.pace_maker_type, "");
  EXPECT_EQ(p.pace_maker_act_date.days, Date(2026, 12, 8).days);

  const std::optional<TRecorderBlocks::Block> flex = sim_->Model().FlexBlock(P::kAddressBlockNumber);
  ASSERT_TRUE(flex.has_value());
  const TAddressBlockFields a = TRecorderBlocks::UnpackAddressBlock(P::kFileVersion, *flex);
  EXPECT_EQ(a.address, patient.address);
  EXPECT_EQ(a.fon, patient.telephone);
  EXPECT_EQ(a.station, patient.station);
  EXPECT_EQ(sim_->Model().FileVersion(), 2u);

  const TRecordingBlockFields r =
      TRecorderBlocks::UnpackRecordingBlock(sim_->Model().RecordingBlock(), clock_);
  EXPECT_EQ(r.recording_date.days, recording.start_date.days);
  EXPECT_EQ(recording.start_date, Date(2026, 12, 8));
  EXPECT_NEAR(r.recording_time.days, (9 * 3600 + 15 * 60 + 30) / 86400.0, 1.0 / 86400.0);
  EXPECT_NEAR(recording.start_time.days, r.recording_time.days, 1.0 / 86400.0);
  EXPECT_EQ(r.recording_type, 7);
  EXPECT_EQ(r.dev_type, "ZK-131");
  EXPECT_EQ(r.dev_version, "V1.20");
  EXPECT_EQ(r.dev_serial, sim_->Model().Config().serial);
  EXPECT_EQ(r.recording_pace_maker, 1);
  EXPECT_EQ(sim_->Model().RecLenHours(), std::optional<int>(48));
}

TEST_F(ProgrammingTest, AnUnformattedCardIsFormattedAndExaminedAgain) {
  recsim::SimConfig config = Config(kZK131);
  config.card_status = 4;
  config.format_status_polls = 1;
  ASSERT_TRUE(Program(config));  // the prompt's defaults: Retry, then Yes
  const WordList want = {"ResetStat", "MMCStat",   "MMCFormat", "ResetStat",
                         "MMCStat",   "ResetStat", "MMCStat",   "BATStat"};
  const WordList words = sim_->CommandWords();
  ASSERT_GE(words.size(), want.size());
  EXPECT_EQ(WordList(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(want.size())), want);
  EXPECT_EQ(Asked(P::kNotFormattedString), 1);
  EXPECT_EQ(Asked(P::kStillFormattingString), 1);
  auto lock = sim_->Lock();
  EXPECT_EQ(sim_->Model().FormatCount(), 1);
}

TEST_F(ProgrammingTest, CardRecorderQuestionsOfferRetryAndCancel) {
  struct Case {
    const char* name;
    void (*setup)(recsim::SimConfig&);
    std::vector<int> answers;
    int question;
    const char* queried;  // asked once per answer
  };
  const Case cases[] = {
      {"flat battery: Retry asks again, Cancel gives up",
       [](recsim::SimConfig& c) { c.battery_hours = 0; },
       {win::kIdRetry, win::kIdCancel},
       P::kBatteryEmptyString,
       "BATStat"},
      // Failed battery queries no longer repeat without end.
      {"battery query fails",
       [](recsim::SimConfig& c) { c.faults.silent_word = "BATStat"; },
       {win::kIdRetry, win::kIdCancel},
       P::kBatteryFailedString,
       "BATStat"},
      // Retry after a failed capacity query queries again.
      {"capacity query fails",
       [](recsim::SimConfig& c) { c.faults.short_answer = "MMCSize"; },
       {win::kIdRetry, win::kIdCancel},
       P::kCapacityFailedString,
       "MMCSize"},
      {"write-protected card",
       [](recsim::SimConfig& c) { c.card_status = 2; },
       {win::kIdRetry, win::kIdCancel},
       P::kWriteProtectedString,
       "MMCStat"},
      {"no card",
       [](recsim::SimConfig& c) { c.card_status = 0; },
       {win::kIdCancel},
       P::kNoCardString,
       "MMCStat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    for (const int answer : c.answers) prompt_.QueueAnswer(answer);
    recsim::SimConfig config = Config(kZK131);
    c.setup(config);
    EXPECT_FALSE(Program(config));
    EXPECT_EQ(Asked(c.question), static_cast<int>(c.answers.size()));
    EXPECT_EQ(Count(c.queried), static_cast<int>(c.answers.size()));
    EXPECT_EQ(Count("SetPatDat"), 0);
    EXPECT_EQ(Count("REC"), 0);
  }
}

TEST_F(ProgrammingTest, ConfirmationNoChecksTheCardAgainAndCancelFails) {
  prompt_.QueueAnswer(win::kIdNo);
  prompt_.QueueAnswer(win::kIdCancel);
  EXPECT_FALSE(Program(Config(kZK131)));
  EXPECT_EQ(Count("MMCStat"), 2);
  EXPECT_EQ(Count("MMCSize"), 2);
  EXPECT_EQ(Count("PMOn"), 0);
}

TEST_F(ProgrammingTest, ConfirmationTextAddsTheSmallCardNoteUpTo32Mb) {
  ASSERT_FALSE(platform::LoadString(P::kSmallCardString).empty());
  for (const int mb : {31, 32, 33, 1024}) {
    SCOPED_TRACE(mb);
    const std::string text = P::ConfirmationText(40, mb);
    EXPECT_NE(text.find("40 h"), std::string::npos);
    EXPECT_NE(text.find(std::to_string(mb) + " MB"), std::string::npos);
    EXPECT_EQ(text.find(platform::LoadString(P::kSmallCardString)) != std::string::npos, mb <= 32);
    EXPECT_NE(text.find("\n\n" + platform::LoadString(P::kConfirmNote3String)), std::string::npos);
  }
}

TEST_F(ProgrammingTest, RecordStatusDecidesTheStart) {
  struct Case {
    const char* name;
    void (*setup)(recsim::SimConfig&);
    bool want;
  };
  const Case cases[] = {
      {"idle twice, then started", [](recsim::SimConfig& c) { c.rec_stat_idle_polls = 2; }, true},
      {"start error", [](recsim::SimConfig& c) { c.rec_status = 3; }, false},
      {"idle for more than 2 s", [](recsim::SimConfig& c) { c.faults.rec_stat_stuck = true; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recsim::SimConfig config = Config(kZK131);
    c.setup(config);
    const int64_t start = recorder::Clock().TickMs();
    EXPECT_EQ(Program(config), c.want);
    EXPECT_GE(Count("RECStat"), 1);
    // Bounded by the 2 s of the recorder's clock (and the waits before it).
    EXPECT_LT(recorder::Clock().TickMs() - start, 10000);
  }
}

TEST_F(ProgrammingTest, TheTwoChannelFamilyConfirmsRecordAndStart) {
  for (const char* word : {"PMOn", "PDat", "REC"}) {
    SCOPED_TRACE(word);
    recsim::SimConfig config = Config(kZK133);
    config.faults.bad_echo = word;
    EXPECT_FALSE(Program(config));
    if (std::string(word) != "REC") EXPECT_EQ(Count("REC"), 0);
  }
  // A recorder that does not echo the record has not taken it.
  recsim::SimConfig config = Config(kZK130);
  config.echo_data = false;
  EXPECT_FALSE(Program(config));
  EXPECT_EQ(Count("REC"), 0);
}

TEST_F(ProgrammingTest, UnknownRecorderFailsWithItsMessage) {
  StartRecorder(Config(kZK130));
  doc_->GetRecorderIdentification().recorder_kind = 9;
  link_ = recorder::MakeRecorderLink(recorder::kInterfaceUsbConverter);
  ASSERT_TRUE(link_->Open(0, sim_->DevicePath()));
  EXPECT_FALSE(P(*doc_, link_.get()).Run());
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"HolterTyp unbekannt!"});
  EXPECT_FALSE(P(*doc_, nullptr).Run());
}

// --- Through the online screen: hint 1143 from the panel ---

TEST_F(ProgrammingTest, StartButtonProgramsAndLeavesWithOneExitCode) {
  struct Case {
    const char* name;
    int kind;
    void (*setup)(recsim::SimConfig&);
    std::vector<int> answers;
    int want_exit;
    std::vector<int> want_messages;
    bool document_emptied;
  };
  const Case cases[] = {
      {"ZK-130 programmed",
       kZK130,
       [](recsim::SimConfig&) {},
       {},
       0,
       {CRecorderArea::kProgrammedString},
       true},
      {"ZK-131 programmed",
       kZK131,
       [](recsim::SimConfig&) {},
       {},
       0,
       {-1, CRecorderArea::kProgrammedString},
       true},
      // A failed programming reports 10, and only once.
      {"ZK-130 start refused",
       kZK130,
       [](recsim::SimConfig& c) { c.faults.bad_echo = "REC"; },
       {},
       10,
       {CRecorderArea::kCommFailureString},
       false},
      {"ZK-131 cancelled", kZK131, [](recsim::SimConfig&) {}, {win::kIdCancel}, 10, {-1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    exit_codes_.clear();
    for (const int answer : c.answers) prompt_.QueueAnswer(answer);
    recsim::SimConfig config = Config(c.kind);
    c.setup(config);
    StartRecorder(config);
    Show();
    StartMonitor();
    ASSERT_TRUE(Area()->IsMonitoring());
    const int beeps = win::Windows().BeepCount();

    doc_->UpdateAllViews(nullptr, hint::kArea1143);
    EXPECT_FALSE(Area()->IsMonitoring());
    EXPECT_TRUE(sim_->WaitForCommand("ExMON"));
    std::vector<std::string> want;
    for (const int id : c.want_messages)
      if (id >= 0) want.push_back(platform::LoadString(id));
    std::vector<std::string> asked = MessagesAsked();
    // -1: the card recorder's confirmation, whose text depends on the card.
    if (!asked.empty() && c.want_messages.size() == asked.size() && c.want_messages.front() == -1)
      asked.erase(asked.begin());
    EXPECT_EQ(asked, want);
    // A failed card recorder adds nothing to what its questions said.
    EXPECT_EQ(win::Windows().BeepCount() > beeps, c.want_exit == 0 || c.kind != kZK131);
    EXPECT_EQ(doc_->GetPatientData().surname.empty(), c.document_emptied);

    win::Windows().RunPending();
    EXPECT_EQ(exit_codes_, std::vector<int>{c.want_exit});
    EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
    Close();
    if (!c.document_emptied) continue;
    doc_->GetPatientData().surname = "Muster";
  }
}

}  // namespace
