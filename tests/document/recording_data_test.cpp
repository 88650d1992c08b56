#include "document/recording_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive_bytes.h"
#include "context_guard.h"
#include "document/document_context.h"
#include "document/file_version.h"
#include "member_io.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "record_generator.h"

// Failure messages name the record instead of dumping its bytes.
void PrintTo(const TRecordingData& r, std::ostream* os) {
  *os << "recording record \"" << r.identity_text << "\", pause " << r.pause_threshold;
}

namespace {

using document::Context;

const platform::ManualClock kClock({2026, 12, 10, 13, 45, 30, 0});
constexpr double kToday = 46366.0;
constexpr double kTimeOfDay = (13 * 3600 + 45 * 60 + 30) / 86400.0;
constexpr double kAnalysisTime = 35796.0 + 7.0 / 24.0;  // 1 January 1998, 07:00

void Load(TRecordingData& record, const std::vector<uint8_t>& bytes) {
  platform::ArchiveReader r(bytes, "test");
  record.Load(r);
  EXPECT_TRUE(r.AtEnd()) << r.Remaining() << " bytes left";
}

void EmptyMembers(ArchiveBytes& b, int32_t version, int count) {
  for (int i = 0; i < count; ++i) b.EmptyMember(version);
}

// The default record in the layout of version 32 (with_v31_v32 true) or 25, row by row.
std::vector<uint8_t> DefaultLayout(int32_t v) {
  const bool late = v >= 31;
  ArchiveBytes b;
  b.I32(v);                                    // 1 version
  b.I32(0);                                    // 2 pacemaker recording
  b.Date(0, kToday).Date(0, kTimeOfDay);       // 3, 4 start date and time
  if (late) b.I32(0);                          // 5 programmed length
  b.Text("      ");                            // 6 identity text
  if (late) b.Text("");                        // 7 analysing program
  b.I32(1);                                    // 8 day 1 switch
  if (late) b.I32s({1, 1, 1});                 // 9 three day switches
  b.I32Repeat(0, 48);                          // 10 day 1 half hours
  if (late) b.I32Repeat(0, 144);               // 11 three days of half hours
  if (v >= 30) b.Text("");                     // 12 analysis engine
  if (late) b.Date(0, kAnalysisTime);          // 13 analysis time
  b.I32Repeat(-1, 4);                          // 14 thresholds
  b.I32(-1);                                   // 15 deviation
  if (v >= 30) b.I32(-1);                      // 16 minimum duration
  b.I32s({1, 1});                              // 17 switches
  b.U16(0);                                    // 18 legacy entry list
  b.Text("").Text("").Text("").Text("").Text("");  // 19 texts
  b.I32s({-1, -1, -1});                        // 20 ST interval, reserved A, B
  b.Double(-1).Double(-1).Double(-1);          // 21 ST offsets
  if (late) b.I32(-1);                         // 22 ST point distance
  EmptyMembers(b, v, 2 + 2 + 2);               // 23 to 26 ST series and episodes
  b.I32s({-1, 0, -1, -1, 0, -1});              // 27 per ST channel
  b.U16(0);                                    // 28 recorder markers
  b.I32(1);                                    // 29 ST results current
  EmptyMembers(b, v, 900);                     // 30 template classes
  b.I32Repeat(0, 900);                         // 31 current members
  EmptyMembers(b, v, 6);                       // 32 reserved lists
  b.I32s({-1, -1, -1});                        // 33 special classes
  b.I32(-1);                                   // 34 VES second special
  EmptyMembers(b, v, 300);                     // 35 SVES classes
  b.I32s({-1, -1});                            // 36 SVES special classes
  b.I32Repeat(0, 300);                         // 37 SVES current members
  b.I32Repeat(-1, 120);                        // 38 example strips
  EmptyMembers(b, v, 50);                      // 39 pacemaker classes
  b.I32Repeat(0, 50).I32Repeat(0, 50);         // 40, 41 pacemaker codes and current members
  b.Date(0, 0).Date(0, 0).I32(0);              // 42, 43 HRV window
  if (v >= 32)
    for (int group = 0; group < 4; ++group) b.I32s({-1, -1, -1, -1, 0, 0});  // 44 extremes
  return b.Bytes();
}

TEST(TRecordingData, DefaultRecordBytesAtVersion32And25) {
  ContextGuard guard;
  const TRecordingData record(kClock);
  for (const int32_t version : {32, 25}) {
    SCOPED_TRACE(version);
    EXPECT_EQ(StoreMember(record, version), DefaultLayout(version));
  }
  EXPECT_EQ(StoreMember(record, 32).size(), 16874u);  // the sum of the rows
}

TEST(TRecordingData, VersionsOutside25To32WriteNothing) {
  const TRecordingData record(kClock);
  for (const int32_t version : {2, 24, 33}) EXPECT_TRUE(StoreMember(record, version).empty()) << version;
}

TEST(TRecordingData, DefaultsOfAFreshRecord) {
  const TRecordingData record(kClock);
  for (int group = 0; group < 4; ++group)
    for (int i = 0; i < 6; ++i) EXPECT_EQ(record.extremes[group * 6 + i], i < 4 ? -1 : 0);
  for (const auto& code : record.example_strips)
    for (const int32_t time : code) EXPECT_EQ(time, -1);
  EXPECT_EQ(record.GetStartDateText(), "10.12.2026");
  EXPECT_EQ(record.GetStartTimeText(), "13:45");
  TRecordingData noon(0, {0, kToday}, {0, 0.5}, 1440);
  EXPECT_EQ(noon.GetStartTimeFractionText(), ".500000000000000");
  EXPECT_EQ(noon.programmed_length, 1440);
  EXPECT_EQ(noon.identity_text, "      ");
}

// A record whose every field differs from the default, to see what an old layout leaves alone.
TRecordingData Marked() {
  TRecordingData r(kClock);
  r.analysing_program = "kept program";
  r.programmed_length = 77;
  r.analysis_engine = "kept engine";
  r.diagnosis = "kept diagnosis";
  r.st_interval = 15;
  r.st_levels[0].Add(1.0);
  r.st_levels[1].Add(2.0);
  r.st_slopes[1].Add(3.0);
  r.deepest_st_position = {11, 22};
  r.normal_classes[0].Append(5);
  r.sves_special = {4, 5};
  r.example_strips[1] = {1, 2, 3};
  r.pm_class_codes[0] = 1;
  r.hrv_window_value = 9;
  r.extremes[0] = 1234;
  return r;
}

// Version 2: rows 1 to 4, 6, 8, 10, the four thresholds and the legacy list (here with two entries,
// whose 8 bytes each are skipped).
TEST(TRecordingData, LoadsVersion2) {
  ArchiveBytes b;
  b.I32(2).I32(1).Date(0, 40000).Date(0, 0.25).Text("RX3   ").I32(0);
  for (int i = 0; i < 48; ++i) b.I32(i % 2);
  b.I32s({2, 1, 3, 4});
  b.U16(2).U32(0xDEADBEEF).I32(7).U32(0).I32(8);
  TRecordingData r = Marked();
  Load(r, b.Bytes());
  TRecordingData want = Marked();
  want.pacemaker_recording = 1;
  want.start_date = {0, 40000};
  want.start_time = {0, 0.25};
  want.identity_text = "RX3   ";
  want.fd_day_switches[0] = 0;
  for (int i = 0; i < 48; ++i) want.fd_half_hours[0][i] = i % 2;
  want.tachycardia_threshold = 2;
  want.sves_prematurity = 1;
  want.pause_threshold = 3 + 2;  // the older pause index
  want.bradycardia_threshold = 4;
  EXPECT_EQ(r, want);
}

// Version 6: the first ST level series sits between the ST settings and the ST offsets.
TEST(TRecordingData, LoadsVersion6) {
  ArchiveBytes b;
  b.I32(6).I32(0).Date(0, 1).Date(0, 0).Text("").I32(1).I32Repeat(0, 48);
  b.I32s({1, 1, -1, 2});          // thresholds: pause never set stays -1
  b.I32(3);                       // deviation
  b.I32s({0, 1});                 // switches
  b.U16(0);                       // legacy
  b.Text("Dx").Text("T2").Text("AH").Text("AT").Text("Med");
  b.I32s({15, 7, 8});             // ST interval, reserved A, B
  b.I32(6).I32(2).Double(-0.5).Double(-1.5);  // ST levels of ST channel 0
  b.Double(0.056).Double(0.056).Double(0.064);
  TRecordingData r = Marked();
  Load(r, b.Bytes());
  EXPECT_EQ(r.pause_threshold, -1);
  EXPECT_EQ(r.arrhythmia_deviation, 3);
  EXPECT_EQ(r.sves_analysis_on, 0);
  EXPECT_EQ(r.diagnosis, "Dx");
  EXPECT_EQ(r.medication, "Med");
  EXPECT_EQ(r.st_interval, 15);
  EXPECT_EQ(r.reserved_st_a, 7);
  EXPECT_EQ(r.reserved_st_b, 8);
  ASSERT_EQ(r.st_levels[0].GetSize(), 2);
  EXPECT_EQ(r.st_levels[0].GetAt(1).GetValue(), -1.5);
  EXPECT_EQ(r.st_levels[1], Marked().st_levels[1]);
  EXPECT_EQ(r.st_offset1, 0.056);
  EXPECT_EQ(r.st_point_offset, 0.064);
  EXPECT_EQ(r.st_point_distance, -1);
  EXPECT_EQ(r.deepest_st_position, Marked().deepest_st_position);
  EXPECT_EQ(r.normal_classes, Marked().normal_classes);
}

// Rows 1 to 22 of versions 25 to 29 after the version number, with a chosen pause threshold.
ArchiveBytes& Version25Head(ArchiveBytes& b, int32_t pause) {
  b.I32(0).Date(0, kToday).Date(0, kTimeOfDay).Text("      ").I32(1).I32Repeat(0, 48);
  b.I32s({-1, -1, pause, -1}).I32(-1).I32s({1, 1}).U16(0);
  b.Text("").Text("").Text("").Text("").Text("");
  b.I32s({-1, -1, -1}).Double(-1).Double(-1).Double(-1);
  return b;
}

// Rows 28 to 43 of the default record in any version from 23 on.
ArchiveBytes& Version25Tail(ArchiveBytes& b, int32_t v) {
  b.U16(0).I32(1);
  EmptyMembers(b, v, 900);
  b.I32Repeat(0, 900);
  return b;
}
ArchiveBytes& Version25End(ArchiveBytes& b, int32_t v) {
  b.I32s({-1, -1, -1, -1});
  EmptyMembers(b, v, 300);
  b.I32s({-1, -1}).I32Repeat(0, 300).I32Repeat(-1, 120);
  EmptyMembers(b, v, 50);
  return b.I32Repeat(0, 100).Date(0, 0).Date(0, 0).I32(0);
}

// Version 26 written while one channel was analysed: one series, one episode list, one triple, one
// reserved pair.
TEST(TRecordingData, LoadsVersion26WithOneAnalysedChannel) {
  ContextGuard guard;
  Context().g_AnalysisChannels.Assign(std::vector<int32_t>{1});
  ArchiveBytes b;
  Version25Head(b.I32(26), -1);
  b.I32(26).I32(1).Double(-2.0);  // levels of ST channel 0
  b.I32(26).I32(1).Double(0.5);   // slopes
  b.EmptyMember(26);              // episodes
  b.I32s({900, 1, 10});           // deepest, analysed, limit of ST channel 0
  Version25Tail(b, 26);
  b.I32(26).I32s({1, 42}).EmptyMember(26);                       // reserved lists 1 and 3
  b.EmptyMember(26).EmptyMember(26);                             // reserved lists 5 and 6
  Version25End(b, 26);
  TRecordingData r = Marked();
  Load(r, b.Bytes());
  EXPECT_EQ(r.pause_threshold, -1);
  EXPECT_EQ(r.st_levels[0].GetAt(0).GetValue(), -2.0);
  EXPECT_EQ(r.st_slopes[0].GetAt(0).GetValue(), 0.5);
  EXPECT_EQ(r.st_levels[1], Marked().st_levels[1]);
  EXPECT_EQ(r.st_slopes[1], Marked().st_slopes[1]);
  EXPECT_EQ(r.deepest_st_position, (std::array<int32_t, 2>{900, 22}));
  EXPECT_EQ(r.st_channel_analysed, (std::array<int32_t, 2>{1, 0}));
  EXPECT_EQ(r.st_depression_limit, (std::array<int32_t, 2>{10, -1}));
  ASSERT_EQ(r.reserved_templates.lists[0].GetSize(), 1);
  EXPECT_EQ(r.reserved_templates.lists[0].GetAt(0).GetBeatIndex(), 42);
  // Written back as version 26 with the same channel set, the bytes are the same.
  EXPECT_EQ(StoreMember(r, 26), b.Bytes());
}

// Version 26 written while three channels were analysed (the patient record before it stored the
// count 3): the rows of the first two ST channels are read, those of the third read past, and
// everything after them stays in step.
TEST(TRecordingData, Version26WithMoreThanTwoAnalysedChannelsReadsTheFirstTwo) {
  ContextGuard guard;
  ArchiveBytes b;
  Version25Head(b.I32(26), -1);
  b.I32(26).I32(1).Double(-2.0).I32(26).I32(1).Double(-3.0).I32(26).I32(1).Double(-9.0);  // levels
  b.I32(26).I32(1).Double(0.5).EmptyMember(26).I32(26).I32(2).Double(1.0).Double(1.0);    // slopes
  b.EmptyMember(26).EmptyMember(26).I32(26).I32(1).I32Repeat(7, 18);                      // episodes
  b.I32s({900, 1, 10, 800, 1, 20, 700, 1, 30});  // deepest, analysed, limit per channel
  Version25Tail(b, 26);
  b.I32(26).I32s({1, 42}).EmptyMember(26);  // reserved lists 1 and 3
  b.EmptyMember(26).EmptyMember(26);        // reserved lists 2 and 4
  b.I32(26).I32s({1, 99}).EmptyMember(26);  // the third channel's pair
  b.EmptyMember(26).I32(26).I32s({1, 5});   // reserved lists 5 and 6
  Version25End(b, 26);

  TRecordingData r = Marked();
  document::MemberReadNotes notes;
  notes.stored_analysis_channels = 3;
  platform::ArchiveReader reader(b.Bytes(), "test");
  r.Load(reader, &notes);
  EXPECT_TRUE(reader.AtEnd()) << reader.Remaining() << " bytes left";
  EXPECT_EQ(r.st_levels[0].GetAt(0).GetValue(), -2.0);
  EXPECT_EQ(r.st_levels[1].GetAt(0).GetValue(), -3.0);
  EXPECT_EQ(r.st_slopes[0].GetAt(0).GetValue(), 0.5);
  EXPECT_EQ(r.st_slopes[1].GetSize(), 0);
  EXPECT_EQ(r.st_episodes[1].GetSize(), 0);
  EXPECT_EQ(r.deepest_st_position, (std::array<int32_t, 2>{900, 800}));
  EXPECT_EQ(r.st_depression_limit, (std::array<int32_t, 2>{10, 20}));
  ASSERT_EQ(r.reserved_templates.lists[0].GetSize(), 1);
  EXPECT_EQ(r.reserved_templates.lists[0].GetAt(0).GetBeatIndex(), 42);
  EXPECT_EQ(r.reserved_templates.lists[4].GetSize(), 0) << "the third channel's pair is not list 5";
  ASSERT_EQ(r.reserved_templates.lists[5].GetSize(), 1);
  EXPECT_EQ(r.reserved_templates.lists[5].GetAt(0).GetBeatIndex(), 5);
  EXPECT_EQ(r.example_strips[1], (std::array<int32_t, 3>{-1, -1, -1}));

  // What was kept saves as a current record and reads back the same.
  TRecordingData again = Marked();
  ASSERT_NO_FATAL_FAILURE(ExpectRoundTrip(r, again));
}

// The pause threshold of versions 27 and older holds the older index (2 lower) only in files the
// program never writes; version 25 is its own old-format save and reads back unchanged.
TEST(TRecordingData, PauseThresholdUpgradeByVersion) {
  struct Case {
    int32_t version;
    int32_t stored;
    int32_t want;
  };
  const Case cases[] = {{27, 0, 2}, {27, 4, 6}, {27, -1, -1}, {26, 1, 3}, {28, 0, 0},
                        {25, 0, 0}, {25, 6, 6}, {25, -1, -1}, {29, 3, 3},
                        // Fuzz finding: a damaged value overflowed.
                        {27, 2147483647, 2147483647}, {27, 2147483645, 2147483647}};
  ContextGuard guard;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " pause " << c.stored);
    TRecordingData r(kClock);
    r.pause_threshold = c.stored;
    TRecordingData loaded(kClock);
    Load(loaded, StoreMember(r, c.version));
    EXPECT_EQ(loaded.pause_threshold, c.want);
  }
}

TEST(TRecordingData, SpecialClassesBelowMinusOneAreRepaired) {
  struct Case {
    const char* name;
    std::array<int32_t, 2> normal, ves, sves;
    std::array<int32_t, 2> want_normal, want_ves, want_sves;
  };
  const Case cases[] = {
      {"SVES pair", {-1, -1}, {-1, -1}, {-5, 7}, {-1, -1}, {-1, -1}, {1, 0}},
      {"VES pair", {-1, -1}, {3, -2}, {-1, -1}, {-1, -1}, {0, 1}, {-1, -1}},
      {"normal pair", {-3, 4}, {2, 3}, {4, 5}, {0, 4}, {2, 3}, {4, 5}},
      {"both normal", {-9, -9}, {-1, -1}, {-1, -1}, {0, 0}, {-1, -1}, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingData r(kClock);
    r.normal_special = c.normal;
    r.ves_special = c.ves;
    r.sves_special = c.sves;
    TRecordingData loaded(kClock);
    Load(loaded, StoreMember(r, 32));
    EXPECT_EQ(loaded.normal_special, c.want_normal);
    EXPECT_EQ(loaded.ves_special, c.want_ves);
    EXPECT_EQ(loaded.sves_special, c.want_sves);
  }
}

// Version 27 equals 25; 30 adds the engine text and the minimum duration.
TEST(TRecordingData, LoadsVersions27And30) {
  ArchiveBytes v27;
  Version25Head(v27.I32(27), 1);
  EmptyMembers(v27, 27, 6);
  v27.I32s({-1, 0, -1, -1, 0, -1});
  Version25Tail(v27, 27);
  EmptyMembers(v27, 27, 6);
  Version25End(v27, 27);
  TRecordingData r = Marked();
  Load(r, v27.Bytes());
  EXPECT_EQ(r.pause_threshold, 3);
  EXPECT_EQ(r.analysis_engine, "kept engine");
  EXPECT_EQ(r.normal_classes[0].GetSize(), 0);
  EXPECT_EQ(r.extremes[0], 1234);

  ArchiveBytes v30;
  v30.I32(30).I32(0).Date(0, 1).Date(0, 0).Text("ID").I32(1).I32Repeat(0, 48);
  v30.Text("Olvek 1.78");
  v30.I32s({1, 2, 3, 4}).I32(5).I32(6).I32s({1, 0}).U16(0);
  v30.Text("").Text("").Text("").Text("").Text("");
  v30.I32s({15, -1, -1}).Double(0.056).Double(0.056).Double(0.064);
  EmptyMembers(v30, 30, 6);
  v30.I32s({-1, 1, 20, -1, 1, 20});
  Version25Tail(v30, 30);
  EmptyMembers(v30, 30, 6);
  Version25End(v30, 30);
  r = Marked();
  Load(r, v30.Bytes());
  EXPECT_EQ(r.analysis_engine, "Olvek 1.78");
  EXPECT_EQ(r.pause_threshold, 3);
  EXPECT_EQ(r.arrhythmia_deviation, 5);
  EXPECT_EQ(r.arrhythmia_min_duration, 6);
  EXPECT_EQ(r.arrhythmia_analysis_on, 0);
  EXPECT_EQ(r.st_depression_limit, (std::array<int32_t, 2>{20, 20}));
  EXPECT_EQ(r.analysing_program, "kept program");
  EXPECT_EQ(r.st_point_distance, -1);
}

// Version 31 repeats day 1 of the full-disclosure selection; the second reading wins.
TEST(TRecordingData, LoadsVersion31) {
  ArchiveBytes b;
  b.I32(31).I32(1).Date(0, 2).Date(0, 0.5).I32(1440).Text("ID").Text("ZK-470 2.04");
  b.I32(0).I32s({1, 0, 1});
  b.I32Repeat(9, 48);
  for (int i = 0; i < 144; ++i) b.I32(i);
  b.Text("VRA 3.1").Date(0, 45000.5);
  b.I32s({1, 2, 3, 4}).I32(5).I32(6).I32s({1, 1}).U16(0);
  b.Text("").Text("").Text("").Text("").Text("");
  b.I32s({15, -1, -1}).Double(0.056).Double(0.056).Double(0.064).I32(60);
  EmptyMembers(b, 31, 6);
  b.I32s({-1, 0, -1, -1, 0, -1});
  Version25Tail(b, 31);
  EmptyMembers(b, 31, 6);
  Version25End(b, 31);
  TRecordingData r = Marked();
  Load(r, b.Bytes());
  EXPECT_EQ(r.programmed_length, 1440);
  EXPECT_EQ(r.analysing_program, "ZK-470 2.04");
  EXPECT_EQ(r.fd_day_switches, (std::array<int32_t, 3>{1, 0, 1}));
  for (int day = 0; day < 3; ++day)
    for (int h = 0; h < 48; ++h) ASSERT_EQ(r.fd_half_hours[day][h], day * 48 + h);
  EXPECT_EQ(r.analysis_time, (platform::OleDateTime{0, 45000.5}));
  EXPECT_EQ(r.st_point_distance, 60);
  EXPECT_EQ(r.extremes[0], 1234);  // version 32 only
  EXPECT_EQ(r.pause_threshold, 3);
}

TEST(TRecordingData, RandomRecordsRoundTripAtVersion32) {
  ContextGuard guard;
  RecordGenerator gen(32);
  for (int iteration = 0; iteration < 60; ++iteration) {
    SCOPED_TRACE(iteration);
    const TRecordingData r = gen.Recording(kClock);
    const std::vector<uint8_t> bytes = StoreMember(r, 32);
    TRecordingData loaded = gen.Recording(kClock);
    Load(loaded, bytes);
    ASSERT_EQ(loaded, r);
    ASSERT_EQ(StoreMember(loaded, 32), bytes);
  }
}

// The old-format save: every field it holds reads back unchanged, the pause threshold included.
TEST(TRecordingData, Version25SaveReadsBackUnchanged) {
  ContextGuard guard;
  RecordGenerator gen(25);
  for (int iteration = 0; iteration < 30; ++iteration) {
    SCOPED_TRACE(iteration);
    TRecordingData r = gen.Recording(kClock);
    r.pause_threshold = gen.Int(-1, 6);
    const std::vector<uint8_t> bytes = StoreMember(r, 25);
    TRecordingData loaded = r;
    loaded.reserved_templates.lists = r.reserved_templates.lists;
    Load(loaded, bytes);
    ASSERT_EQ(loaded, r);
    TRecordingData fresh(kClock);
    Load(fresh, bytes);
    ASSERT_EQ(StoreMember(fresh, 25), bytes);
    ASSERT_EQ(fresh.pause_threshold, r.pause_threshold);
  }
}

TEST(TRecordingData, CopyTakesEverythingButTheReservedLists) {
  RecordGenerator gen(1);
  TRecordingData source = gen.Recording(kClock);
  source.reserved_templates.lists[2].Append(99);
  source.st_levels[0].Add(5.0);
  TRecordingData copy = source;
  EXPECT_EQ(copy.reserved_templates.lists[2].GetSize(), 0);
  copy.reserved_templates = source.reserved_templates;  // assignment keeps the target's
  EXPECT_EQ(copy.reserved_templates.lists[2].GetSize(), 0);
  copy.reserved_templates.lists = source.reserved_templates.lists;
  EXPECT_EQ(copy, source);
  source.st_levels[0].RemoveAll();
  EXPECT_NE(copy.st_levels[0].GetSize(), 0);
}

// Damaged records raise FormatError and leave the record unchanged. Where the bytes after stay in
// step the record reads on instead: a record of unknown version reads nothing more and stays as it
// was (noted), a list of unknown version is read past, a negative list count holds nothing.
TEST(TRecordingData, BadInputRaisesFormatErrorAndLeavesTheRecordUnchanged) {
  ContextGuard guard;
  const std::vector<uint8_t> valid = DefaultLayout(32);
  // Offset of the first template list (row 30): everything before it of the default layout.
  const size_t first_template = 4 + 4 + 24 + 4 + 7 + 1 + 4 + 12 + 48 * 4 + 144 * 4 + 1 + 12 + 16 + 4 + 4 + 8 + 2 +
                                5 + 12 + 24 + 4 + 6 * 8 + 24 + 2 + 4;
  ASSERT_EQ(platform::LoadLE32(valid.data() + first_template), 32u);
  const size_t markers = first_template - 6;
  const size_t legacy = 4 + 4 + 24 + 4 + 7 + 1 + 4 + 12 + 48 * 4 + 144 * 4 + 1 + 12 + 16 + 4 + 4 + 8;
  auto patched = [&](size_t offset, std::initializer_list<uint8_t> patch) {
    std::vector<uint8_t> bytes = valid;
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
  };
  const TRecordingData marked = Marked();
  TRecordingData defaults(kClock);
  // The valid layout over the marked record, with what the read-on rows leave as it was.
  auto loaded_with = [&](const std::function<void(TRecordingData&)>& kept) {
    TRecordingData want = defaults;
    kept(want);
    return want;
  };
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string fault;                       // empty: reads on
    std::optional<TRecordingData> reads_on;  // the record afterwards
    size_t left = 0;
    std::optional<int32_t> unknown_version;
  };
  std::vector<Case> cases = {
      {"version 1", ArchiveBytes().I32(1).Bytes(), "", marked, 0, 1},
      {"version 33", ArchiveBytes().I32(33).I32(0).Bytes(), "", marked, 4, 33},
      {"legacy list count beyond the file", patched(legacy, {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10}),
       "legacy entry list"},
      {"marker count beyond the file", patched(markers, {0xFE, 0xFF}), "recorder markers"},
      {"template list of version 99", patched(first_template + 8 * 52, {99}), "",
       loaded_with([&](TRecordingData& r) { r.ves_classes[17] = marked.ves_classes[17]; })},
      {"template list of version 0 keeps its entries", patched(first_template, {0}), "",
       loaded_with([&](TRecordingData& r) { r.normal_classes[0] = marked.normal_classes[0]; })},
      {"template list count beyond the file", patched(first_template + 4, {0xFF, 0xFF, 0xFF, 0x0F}),
       "template class 0"},
      {"ST level series count negative", patched(first_template - 6 - 24 - 48 + 4, {0xFF, 0xFF, 0xFF, 0xFF}),
       "", loaded_with([](TRecordingData&) {})},
      {"text longer than the file", patched(4 + 4 + 24 + 4, {0xFF, 0xFE, 0xFF}), "exceeds the stream"},
  };
  for (size_t size = 0; size < valid.size(); size += size < 1200 ? 1 : 97)
    cases.push_back({"truncated",
                     std::vector<uint8_t>(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(size)),
                     "recording record"});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " (" << c.bytes.size() << " bytes)");
    TRecordingData r = marked;
    r.reserved_templates.lists[3].Append(3);
    platform::ArchiveReader reader(c.bytes, "00012.QRS");
    document::MemberReadNotes notes;
    if (c.reads_on) {
      ASSERT_NO_THROW(r.Load(reader, &notes));
      EXPECT_EQ(reader.Remaining(), c.left);
      EXPECT_EQ(notes.unknown_recording_version, c.unknown_version);
      if (c.unknown_version) EXPECT_EQ(r.reserved_templates.lists[3].GetSize(), 1);
      r.reserved_templates.lists = c.reads_on->reserved_templates.lists;
      EXPECT_EQ(r, *c.reads_on);
      continue;
    }
    try {
      r.Load(reader, &notes);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("00012.QRS"), std::string::npos) << e.what();
    }
    EXPECT_EQ(r.reserved_templates.lists[3].GetSize(), 1);
    r.reserved_templates.lists = marked.reserved_templates.lists;
    EXPECT_EQ(r, marked);
  }
}

}  // namespace
