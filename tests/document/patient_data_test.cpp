#include "document/patient_data.h"

#include <gtest/gtest.h>

#include <optional>
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
#include "platform/resources.h"
#include "record_generator.h"

namespace {

using document::ChannelSet;
using document::Context;

// 10 December 2026 is day 46366 of the framework's calendar.
const platform::ManualClock kClock({2026, 12, 10, 13, 45, 30, 0});
constexpr double kToday = 46366.0;

void Load(TPatientData& patient, const std::vector<uint8_t>& bytes) {
  platform::ArchiveReader r(bytes, "test");
  patient.Load(r);
  EXPECT_TRUE(r.AtEnd());
}

ChannelSet Set(int capacity, std::initializer_list<int32_t> channels) {
  ChannelSet set{capacity, 0, {}};
  set.Assign(std::vector<int32_t>(channels));
  return set;
}

// Surname, first name, identifier; birth date to pacemaker: the part every version holds.
ArchiveBytes& Head(ArchiveBytes& b, const char* surname, const char* first, const char* id) {
  return b.Text(surname).Text(first).Text(id);
}
ArchiveBytes& Middle(ArchiveBytes& b, double birth, int32_t sex, double height, double weight, int32_t pm) {
  return b.Date(0, birth).I32(sex).Double(height).Double(weight).I32(pm);
}

TEST(TPatientData, DefaultRecordBytesAtVersion32) {
  ContextGuard guard;
  ArchiveBytes want;
  want.I32(32).Text("").Text("").Text("").Text("").Text("");
  Middle(want, kToday, 0, 0.0, 0.0, 0);
  want.Text("").Text("").Text("");
  want.I32s({1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2});
  want.Text("").Text("");
  want.I32s({2, 0, 1}).I32s({2, 0, 1});
  EXPECT_EQ(StoreMember(TPatientData(kClock), 32), want.Bytes());
}

TEST(TPatientData, DefaultRecordBytesAtVersion25HoldNoChannelSets) {
  ContextGuard guard;
  ArchiveBytes want;
  want.I32(25).Text("").Text("").Text("");
  Middle(want, kToday, 0, 0.0, 0.0, 0);
  EXPECT_EQ(StoreMember(TPatientData(kClock), 25), want.Bytes());
}

TEST(TPatientData, LayoutsOfVersions26To31) {
  ContextGuard guard;
  Context().g_AnalysisChannels = Set(2, {1});
  Context().g_RecordingChannels = Set(3, {0, 1, 2});
  Context().g_STChannels = Set(2, {0});
  TPatientData p(kClock);
  p.surname = "Muster";
  p.address = "Weg 1";
  p.further_text = "F";
  p.station = "ST3";
  struct Case {
    int32_t version;
    std::vector<uint8_t> want;
  };
  auto full = [&](int32_t version, bool station, std::initializer_list<int32_t> sets) {
    ArchiveBytes b;
    b.I32(version).Text("Muster").Text("").Text("").Text("Weg 1").Text("");
    Middle(b, kToday, 0, 0, 0, 0);
    b.Text("").Text("").Text("").I32s({1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2}).Text("F");
    if (station) b.Text("ST3");
    b.I32s(sets);
    return b.Bytes();
  };
  auto short_layout = [&](int32_t version) {
    ArchiveBytes b;
    b.I32(version).Text("Muster").Text("").Text("");
    Middle(b, kToday, 0, 0, 0, 0);
    b.I32s({1, 1, 3, 0, 1, 2});  // analysis {1}, then recording {0, 1, 2}
    return b.Bytes();
  };
  const Case cases[] = {
      {26, short_layout(26)},
      {27, short_layout(27)},
      {28, full(28, false, {1, 1, 1, 0})},
      {29, full(29, false, {1, 1, 1, 0})},
      {30, full(30, true, {1, 1, 1, 0})},
      {31, full(31, true, {1, 1, 1, 0})},
      {24, ArchiveBytes().I32(24).Bytes()},
      {33, ArchiveBytes().I32(33).Bytes()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(StoreMember(p, c.version), c.want);
  }
}

// Old files: fields the version lacks keep the values the record had; the channel sets follow the
// version's rule.
TEST(TPatientData, LoadsOlderLayouts) {
  ContextGuard guard;
  TPatientData before(kClock);
  before.address = "old address";
  before.telephone = "old phone";
  before.further_text = "old further";
  before.station = "OLD";
  before.letter_switches[5] = 0;

  ArchiveBytes v2;
  Head(v2.I32(2), "Muster", "Max", "4711");
  Middle(v2, 29280.0, 2, 180.5, 75.25, 1);
  TPatientData p = before;
  Context().g_AnalysisChannels = Set(2, {1});
  Context().g_STChannels = Set(2, {1});
  Context().g_RecordingChannels = Set(3, {2});
  Load(p, v2.Bytes());
  TPatientData want = before;
  want.surname = "Muster";
  want.first_name = "Max";
  want.patient_id = "4711";
  want.birth_date = {0, 29280.0};
  want.sex = 2;
  want.height = 180.5;
  want.weight = 75.25;
  want.pacemaker = 1;
  EXPECT_EQ(p, want);
  EXPECT_EQ(Context().g_AnalysisChannels, Set(2, {0, 1}));
  EXPECT_EQ(Context().g_RecordingChannels, Set(3, {0, 1}));
  EXPECT_EQ(Context().g_STChannels, Set(2, {0, 1}));

  // Version 27 whose second set holds only channel 1.
  ArchiveBytes v27;
  Head(v27.I32(27), "A", "B", "C");
  Middle(v27, 1.0, 1, 0, 0, 0).I32s({2, 0, 1, 1, 1});
  p = before;
  Load(p, v27.Bytes());
  EXPECT_EQ(p.address, "old address");
  EXPECT_EQ(Context().g_AnalysisChannels, Set(2, {0, 1}));
  EXPECT_EQ(Context().g_RecordingChannels, Set(3, {1}));
  EXPECT_EQ(Context().g_STChannels, Set(2, {1}));

  // Version 26 of a three-channel recording: the ST set takes the first two.
  ArchiveBytes v26;
  Head(v26.I32(26), "A", "B", "C");
  Middle(v26, 1.0, 1, 0, 0, 0).I32s({1, 2, 3, 2, 1, 0});
  Load(p, v26.Bytes());
  EXPECT_EQ(Context().g_AnalysisChannels, Set(2, {2}));
  EXPECT_EQ(Context().g_RecordingChannels, Set(3, {2, 1, 0}));
  EXPECT_EQ(Context().g_STChannels, Set(2, {2, 1}));

  // Version 28: everything but the station; the recording set becomes channels 0 and 1.
  ArchiveBytes v28;
  Head(v28.I32(28), "S", "F", "I").Text("Addr").Text("Tel");
  Middle(v28, 2.0, 0, 1, 2, 0).Text("R1").Text("R2").Text("R3");
  v28.I32s({0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}).Text("Further").I32s({1, 1, 2, 1, 0});
  p = before;
  Context().g_RecordingChannels = Set(3, {2});
  Load(p, v28.Bytes());
  EXPECT_EQ(p.address, "Addr");
  EXPECT_EQ(p.telephone, "Tel");
  EXPECT_EQ(p.referring_address, "R1");
  EXPECT_EQ(p.insurance_address, "R3");
  EXPECT_EQ(p.letter_switches, (std::array<int32_t, 14>{0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}));
  EXPECT_EQ(p.further_text, "Further");
  EXPECT_EQ(p.station, "OLD");
  EXPECT_EQ(Context().g_AnalysisChannels, Set(2, {1}));
  EXPECT_EQ(Context().g_STChannels, Set(2, {1, 0}));
  EXPECT_EQ(Context().g_RecordingChannels, Set(3, {0, 1}));
}

TEST(TPatientData, RandomRecordsRoundTripAtVersion32) {
  ContextGuard guard;
  RecordGenerator gen(125);
  for (int iteration = 0; iteration < 300; ++iteration) {
    SCOPED_TRACE(iteration);
    const TPatientData p = gen.Patient(kClock);
    const ChannelSet analysis = gen.Channels(2);
    const ChannelSet st = gen.Channels(2);
    Context().g_AnalysisChannels = analysis;
    Context().g_STChannels = st;
    Context().g_RecordingChannels = gen.Channels(3);
    const std::vector<uint8_t> bytes = StoreMember(p, 32);
    Context().Reset();
    TPatientData loaded = gen.Patient(kClock);
    Load(loaded, bytes);
    ASSERT_EQ(loaded, p);
    ASSERT_EQ(Context().g_AnalysisChannels, analysis);
    ASSERT_EQ(Context().g_STChannels, st);
    ASSERT_EQ(Context().g_RecordingChannels, Set(3, {0, 1}));
    ASSERT_EQ(StoreMember(loaded, 32), bytes);
  }
}

TEST(TPatientData, Version25SaveReadsBackWhatItHolds) {
  ContextGuard guard;
  RecordGenerator gen(25);
  for (int iteration = 0; iteration < 100; ++iteration) {
    SCOPED_TRACE(iteration);
    const TPatientData p = gen.Patient(kClock);
    const std::vector<uint8_t> bytes = StoreMember(p, 25);
    TPatientData loaded(kClock);
    Load(loaded, bytes);
    TPatientData want(kClock);
    want.surname = p.surname;
    want.first_name = p.first_name;
    want.patient_id = p.patient_id;
    want.birth_date = p.birth_date;
    want.sex = p.sex;
    want.height = p.height;
    want.weight = p.weight;
    want.pacemaker = p.pacemaker;
    ASSERT_EQ(loaded, want);
  }
}

// Damaged records raise FormatError and change nothing. Where the bytes after stay in step the
// record reads on instead: a version it does not know is the version alone (the record and the sets
// as they were, noted for the message; refused when there are no notes), a negative set count holds
// no channels, and of a set stored with more channels than it holds the first ones are kept.
TEST(TPatientData, BadInputRaisesFormatErrorAndChangesNothing) {
  ContextGuard guard;
  TPatientData full(kClock);
  full.surname = "Muster";
  full.station = "ABC";
  const std::vector<uint8_t> valid = StoreMember(full, 32);
  auto patched = [&](size_t from_end, std::initializer_list<uint8_t> patch) {
    std::vector<uint8_t> bytes = valid;
    std::copy(patch.begin(), patch.end(), bytes.end() - static_cast<std::ptrdiff_t>(from_end));
    return bytes;
  };
  // What a record that reads on leaves: the channel sets, the bytes after it, the noted version.
  struct ReadsOn {
    ChannelSet analysis;
    ChannelSet recording;
    ChannelSet st;
    size_t left;
    std::optional<int32_t> unknown_version;
    std::optional<int32_t> stored_analysis_channels;
  };
  const ChannelSet first_two = Set(2, {0, 1});
  const ChannelSet recording_before = document::DocumentContext().g_RecordingChannels;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* fault;  // nullptr: reads on
    std::optional<ReadsOn> reads_on;
  };
  std::vector<Case> cases = {
      {"version 1", ArchiveBytes().I32(1).Bytes(), nullptr,
       ReadsOn{first_two, recording_before, Set(2, {1}), 0, 1, std::nullopt}},
      {"version 33", ArchiveBytes().I32(33).Text("").Bytes(), nullptr,
       ReadsOn{first_two, recording_before, Set(2, {1}), 1, 33, std::nullopt}},
      {"text longer than the file", ArchiveBytes().I32(32).U8(0xFF).U16(0xFFFF).U32(0xFFFFFFF0).Bytes(),
       "exceeds the stream"},
      // The third stored channel is the ST set's count 2; the ST set then has count 0 and one
      // channel word is left.
      {"analysis set of 3", patched(24, {3}), nullptr,
       ReadsOn{first_two, Set(3, {0, 1}), Set(2, {}), 4, std::nullopt, 3}},
      {"negative ST set", patched(12, {0xFF, 0xFF, 0xFF, 0xFF}), nullptr,
       ReadsOn{first_two, Set(3, {0, 1}), Set(2, {}), 8, std::nullopt, 2}},
      {"channel 3", patched(4, {3}), "names channel 3"},
      {"version 27 recording set of 4",
       [] {
         ArchiveBytes b;
         Head(b.I32(27), "", "", "");
         return Middle(b, 0, 0, 0, 0, 0).I32s({0, 4, 0, 1, 2, 0}).Bytes();
       }(),
       nullptr, ReadsOn{Set(2, {}), Set(3, {0, 1, 2}), Set(2, {0, 1}), 0, std::nullopt, 0}},
      {"set count beyond the file", patched(24, {0xFF, 0xFF, 0xFF, 0x7F}),
       "element count 2147483647 exceeds"},
  };
  // Every truncation of a valid record.
  for (size_t size = 0; size < valid.size(); ++size)
    cases.push_back({"truncated", std::vector<uint8_t>(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(size)),
                     "patient record"});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " (" << c.bytes.size() << " bytes)");
    Context().Reset();
    Context().g_STChannels = Set(2, {1});
    const document::DocumentContext context_before = Context();
    TPatientData p(kClock);
    p.first_name = "unchanged";
    const TPatientData before = p;
    platform::ArchiveReader r(c.bytes, "00012.QRS");
    document::MemberReadNotes notes;
    if (c.reads_on) {
      if (c.reads_on->unknown_version) {
        // Read alone, without notes to tell the user by, the record is refused.
        platform::ArchiveReader alone(c.bytes, "00012.QRS");
        EXPECT_THROW(p.Load(alone), platform::FormatError);
        EXPECT_EQ(p, before);
      }
      ASSERT_NO_THROW(p.Load(r, &notes));
      const ReadsOn& want = *c.reads_on;
      EXPECT_EQ(r.Remaining(), want.left);
      EXPECT_EQ(notes.unknown_patient_version, want.unknown_version);
      EXPECT_EQ(notes.stored_analysis_channels, want.stored_analysis_channels);
      if (want.unknown_version) EXPECT_EQ(p, before);
      EXPECT_EQ(Context().g_AnalysisChannels, want.analysis);
      EXPECT_EQ(Context().g_RecordingChannels, want.recording);
      EXPECT_EQ(Context().g_STChannels, want.st);
      continue;
    }
    try {
      p.Load(r, &notes);
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
    EXPECT_EQ(p, before);
    EXPECT_EQ(Context().g_AnalysisChannels, context_before.g_AnalysisChannels);
    EXPECT_EQ(Context().g_RecordingChannels, context_before.g_RecordingChannels);
    EXPECT_EQ(Context().g_STChannels, context_before.g_STChannels);
  }
}

TEST(TPatientData, AgeTextCountsWholeYearsOf365Days) {
  struct Case {
    double birth;
    const char* want;
  };
  const Case cases[] = {{kToday, "0"}, {kToday - 364, "0"}, {kToday - 365, "1"}, {kToday - 0.5, "0"},
                        {kToday - 3650.9, "10"}, {kToday + 400, "-1"}, {kToday + 100, "0"}, {1e300, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.birth);
    TPatientData p(kClock);
    p.birth_date = {0, c.birth};
    EXPECT_EQ(p.GetAgeText(kClock), c.want);
  }
}

TEST(TPatientData, NumberAndDateTexts) {
  struct Case {
    double value;
    int decimals;
    const char* want;
  };
  const Case cases[] = {{1.5, 1, "1.5"},  {175, 0, "175"},   {0.5, 1, ".5"},    {0.05, 2, ".05"},
                        {0.3, 0, ""},     {-2.25, 2, "2.25"}, {180.0, 1, "180.0"}, {1.96, 1, "2.0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " " << c.decimals);
    EXPECT_EQ(TPatientData::FormatNumber(c.value, c.decimals), c.want);
  }
  TPatientData p(kClock);
  p.height = 175;
  p.weight = 70.5;
  EXPECT_EQ(p.GetHeightText(0), "175");
  EXPECT_EQ(p.GetWeightText(1), "70.5");
  EXPECT_EQ(p.GetBirthDateText(), "10.12.2026");
  p.birth_date = {0, 29280.75};
  EXPECT_EQ(p.GetBirthDateText(), "29.02.1980");
  p.birth_date = {1, 29280.0};
  EXPECT_EQ(p.GetBirthDateText(), "");
  p.birth_date = {0, -1e308};
  EXPECT_EQ(p.GetBirthDateText(), "");
}

TEST(TPatientData, SexTextComesFromTheLanguageStrings) {
  platform::Resources().Reset();
  const platform::StringEntry strings[] = {{21110, "female"}, {21111, "male"}};
  platform::Resources().ExePack().AddStrings(strings);
  TPatientData p(kClock);
  const char* const want[] = {"", "female", "male", ""};
  for (int sex = 0; sex < 4; ++sex) {
    p.sex = sex;
    EXPECT_EQ(p.GetSexText(), want[sex]);
  }
  platform::Resources().Reset();
}

}  // namespace
