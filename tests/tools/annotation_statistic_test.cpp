#include "tools/validation/annotation_statistic.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "tools/validation/validation_records.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

using tools::AnnotationCounts;
using tools::ValidationSet;
using tools::WalkTrace;

struct Beat {
  int32_t position;
  int beat_class = kClassNormal;
};

// A reference at a sample position (written as position x 8 ms) with its label.
struct Ref {
  int32_t position;
  char label;
};

Beat N(int32_t p) { return {p, kClassNormal}; }

// One record of the walk: its beats and references, what must become of each reference ("m<k>"
// matched with beat k, "x" missed, "d" dropped, "w<k>" dropped with beat k, "n" not reached), the
// beats counted as extra and those left out, and the record's counters.
struct WalkCase {
  const char* name;
  ValidationSet set;
  int record;
  std::vector<Beat> beats;
  std::vector<Ref> refs;
  const char* outcomes;
  std::vector<int> extra;
  std::vector<int> dropped;
  AnnotationCounts counts;
  size_t ano_tail = 0;  // bytes of an incomplete record after the last
};

// The fixture records of both statistics; the golden files are made of them.
const std::vector<WalkCase>& WalkCases() {
  static const std::vector<WalkCase> cases = {
      {"a beat at 37499 is not compared",
       ValidationSet::kMit,
       100,
       {N(37499), N(37520)},
       {{37499, '.'}, {37520, '.'}},
       "d m1",
       {},
       {},
       {.n_norm = 1, .rpos = 1}},
      {"a beat at 37500 is compared",
       ValidationSet::kMit,
       101,
       {N(37500), N(37600)},
       {{37500, '.'}, {37600, '.'}},
       "m0 m1",
       {},
       {},
       {.n_norm = 2, .rpos = 2}},
      {"18 samples either side match",
       ValidationSet::kMit,
       102,
       {N(40000), N(41000), N(42000)},
       {{40018, '.'}, {40982, '.'}, {42000, 'V'}},
       "m0 m1 m2",
       {},
       {},
       {.n_norm = 2, .a_norm = 1, .rpos = 3},
       3},
      {"19 samples either side do not",
       ValidationSet::kMit,
       103,
       {N(40000), N(41000), N(42000)},
       {{40000, '.'}, {41019, '.'}, {41981, '.'}},
       "m0 x x",
       {1},
       {},
       {.n_norm = 1, .n_fneg = 2, .n_fpos = 1, .rpos = 1, .total_missed = 2, .total_fpos = 1}},
      {"two references within one tolerance",
       ValidationSet::kMit,
       104,
       {N(40000), N(40200)},
       {{39995, '.'}, {40005, 'V'}, {40200, '.'}},
       "m0 x m1",
       {},
       {},
       {.n_norm = 2, .a_fneg = 1, .rpos = 2, .total_missed = 1}},
      {"! leaves the beats in the flutter out",
       ValidationSet::kMit,
       105,
       {N(40000), {40010, kClassVES}, N(40020), N(41000)},
       {{40000, '.'}, {40015, '!'}, {41000, '.'}},
       "m0 d m3",
       {},
       {1, 2},
       {.n_norm = 2, .rpos = 2}},
      {"[ takes the beat after it along",
       ValidationSet::kMit,
       106,
       {N(40000), N(40030), N(41000)},
       {{40000, '.'}, {40060, '['}, {41000, '.'}},
       "m0 w1 m2",
       {},
       {},
       {.n_norm = 2, .rpos = 2}},
      {"] within the tolerance takes one beat",
       ValidationSet::kMit,
       107,
       {N(40000), {40010, kClassVES}, N(41000)},
       {{40000, '.'}, {40012, ']'}, {41000, '.'}},
       "m0 m1 m2",
       {},
       {},
       {.n_norm = 2, .a_abnor = 1, .rpos = 3}},
      {"] after a beat leaves it out, before one is missed",
       ValidationSet::kMit,
       108,
       {N(40000), N(40030), N(41000)},
       {{40000, '.'}, {40060, ']'}, {41000, '.'}},
       "m0 x m2",
       {},
       {1},
       {.n_norm = 2, .a_fneg = 1, .rpos = 2, .total_missed = 1}},
      {"A and S on classes 9, 1, 15 and 5",
       ValidationSet::kMit,
       109,
       {{40000, kClassSVES}, N(40100), {40200, kClassVES}, {40300, kClassArtefact}},
       {{40000, 'A'}, {40100, 'S'}, {40200, 'A'}, {40300, 'S'}},
       "m0 m1 m2 m3",
       {},
       {},
       {.n_norm = 2, .n_abnor = 1, .n_ar = 1, .rpos = 4, .sves_yes = 1, .sves_no = 2}},
      {"a missed fusion is a missed abnormal beat",
       ValidationSet::kMit,
       110,
       {N(40000), N(41000)},
       {{40000, '.'}, {40500, 'F'}, {41000, 'F'}},
       "m0 x m1",
       {},
       {},
       {.n_norm = 1, .f_norm = 1, .a_fneg = 1, .fusion_missed = 1, .rpos = 2, .total_missed = 1}},
      {"extra beats by class",
       ValidationSet::kMit,
       111,
       {N(40000),
        {40100, kClassSVES},
        {40200, kClassVES},
        {40300, kClassArtefact},
        {40400, kClassUndefined},
        {40500, kClassPacedBeat},
        N(41000)},
       {{40000, '.'}, {41000, '.'}},
       "m0 m6",
       {1, 2, 3, 4, 5},
       {},
       {.n_norm = 2, .n_fpos = 1, .a_fpos = 1, .ar_fpos = 2, .fpos_22 = 1, .rpos = 2, .total_fpos = 5}},
      {"ignored, questionable and unreadable labels",
       ValidationSet::kMit,
       112,
       {N(40000), {40100, kClassUndefined}, {40200, kClassVES}, {40300, kClassArtefact}, N(41000)},
       {{40000, 'a'},
        {40100, 'Q'},
        {40200, '|'},
        {40300, 'p'},
        {40700, 'e'},
        {40800, 'Q'},
        {40900, '|'},
        {41000, '.'}},
       "m0 m1 m2 m3 x x x m4",
       {},
       {},
       {.n_norm = 1, .q_norm = 1, .u_abnor = 1, .qu_fneg = 1, .u_missed = 1, .rpos = 5, .total_missed = 3}},
      {"an abnormal reference on each beat group",
       ValidationSet::kMit,
       113,
       {N(40000),
        {40100, kClassVES},
        {40200, kClassArtefact},
        {40300, kClassUndefined},
        {40400, kClassPacedBeat}},
       {{40000, 'V'}, {40100, 'V'}, {40200, 'E'}, {40300, 'r'}, {40400, '/'}},
       "m0 m1 m2 m3 m4",
       {},
       {},
       {.a_norm = 2, .a_abnor = 1, .a_ar = 1, .a_22 = 1, .rpos = 5}},
      {"no beat after the first five minutes",
       ValidationSet::kMit,
       114,
       {N(100)},
       {{100, '.'}},
       "n",
       {},
       {},
       {}},
      {"no beats", ValidationSet::kMit, 115, {}, {{40000, '.'}}, "n", {}, {}, {}},
      {"AHA: [ after a beat is dropped alone",
       ValidationSet::kAha,
       1201,
       {N(40000), N(40030), N(41000)},
       {{40000, 'N'}, {40060, '['}, {41000, 'N'}},
       "m0 d m2",
       {1},
       {},
       {.n_norm = 2, .n_fpos = 1, .rpos = 2, .total_fpos = 1}},
      {"AHA: U, V, F, ! and [ within the tolerance",
       ValidationSet::kAha,
       1202,
       {N(40000), {40100, kClassVES}, N(40200), {40300, kClassVES}, N(40400), {40500, kClassVES}},
       {{40000, 'U'}, {40100, 'V'}, {40200, 'F'}, {40300, '!'}, {40400, '['}, {40500, 'Q'}},
       "m0 m1 m2 m3 w4 m5",
       {},
       {},
       {.a_abnor = 2, .f_norm = 1, .q_abnor = 1, .u_norm = 1, .rpos = 5}},
      {"AHA 7209 matches up to 22 samples",
       ValidationSet::kAha,
       7209,
       {N(40000), N(41000)},
       {{40022, 'N'}, {41023, 'N'}},
       "m0 n",
       {1},
       {},
       {.n_norm = 1, .n_fpos = 1, .rpos = 1, .total_fpos = 1}},
      {"AHA 8202 matches up to 34 samples",
       ValidationSet::kAha,
       8202,
       {N(40000), N(41000), N(42000)},
       {{39966, 'N'}, {40965, 'N'}, {42035, 'N'}},
       "m0 x n",
       {1, 2},
       {},
       {.n_norm = 1, .n_fneg = 1, .n_fpos = 2, .rpos = 1, .total_missed = 1, .total_fpos = 2}},
      {"AHA 1203 matches up to 18 samples",
       ValidationSet::kAha,
       1203,
       {N(40000), N(41000)},
       {{40018, 'N'}, {41019, 'N'}},
       "m0 n",
       {1},
       {},
       {.n_norm = 1, .n_fpos = 1, .rpos = 1, .total_fpos = 1}},
  };
  return cases;
}

std::string Describe(const WalkTrace& trace) {
  std::string out;
  for (const WalkTrace::Reference& r : trace.references) {
    if (!out.empty()) out += ' ';
    switch (r.outcome) {
      case WalkTrace::Outcome::kNotReached:
        out += "n";
        break;
      case WalkTrace::Outcome::kMatched:
        out += "m" + std::to_string(r.beat);
        break;
      case WalkTrace::Outcome::kMissed:
        out += "x";
        break;
      case WalkTrace::Outcome::kDropped:
        out += "d";
        break;
      case WalkTrace::Outcome::kDroppedWithBeat:
        out += "w" + std::to_string(r.beat);
        break;
    }
  }
  return out;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Compares with tests/golden/tools/<name>; UPDATE_GOLDEN=1 writes it instead.
void ExpectGolden(const std::string& name, const std::string& text) {
  const fs::path golden = fs::path(ZK_SOURCE_DIR) / "tests/golden/tools" / name;
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    fs::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << text;
  }
  ASSERT_TRUE(fs::exists(golden)) << "missing golden file " << golden << " (run with UPDATE_GOLDEN=1)";
  EXPECT_EQ(text, ReadText(golden)) << golden;
}

std::vector<uint8_t> AnoBytes(const std::vector<Ref>& refs) {
  std::vector<uint8_t> bytes;
  for (const Ref& r : refs) {
    uint8_t record[5];
    platform::StoreLE32(record, static_cast<uint32_t>(r.position * 8));
    record[4] = static_cast<uint8_t>(r.label);
    bytes.insert(bytes.end(), record, record + 5);
  }
  return bytes;
}

class AnnotationStatisticTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    data_ = testsupport::MakeTestDir("annotation_statistic");
    SettingsDefaults defaults;
    defaults.home = data_.string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    doc_->SetDataDirectory(data_.string());
  }

  fs::path Path(ValidationSet set, int record, const char* extension) const {
    return tools::ValidationRecordPath(data_.string(), set, record, extension);
  }

  void WriteQrs(ValidationSet set, int record, const std::vector<Beat>& beats) {
    TQRSList list;
    for (const Beat& b : beats) list.Append(TQRSComplex(b.position, static_cast<uint8_t>(b.beat_class)));
    platform::ArchiveWriter ar;
    TPatientData(doc_clock_).Serialize(ar, 32);
    TRecordingData(doc_clock_).Serialize(ar, 32);
    list.Serialize(ar, 32);
    TEventList().Serialize(ar, 32);
    platform::WriteFileAtomic(Path(set, record, ".QRS"), ar.Bytes());
  }

  void WriteAno(ValidationSet set, int record, std::vector<uint8_t> bytes) {
    testsupport::WriteBytes(Path(set, record, ".ANO"), bytes);
  }

  void WriteCase(const WalkCase& c) {
    WriteQrs(c.set, c.record, c.beats);
    std::vector<uint8_t> ano = AnoBytes(c.refs);
    ano.insert(ano.end(), c.ano_tail, 0x41);
    WriteAno(c.set, c.record, ano);
  }

  fs::path data_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_{platform::LocalDateTime{2024, 3, 1, 10, 30, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(AnnotationStatisticTest, WalkTakesEachReferenceAsTheTableSays) {
  for (const WalkCase& c : WalkCases()) {
    SCOPED_TRACE(c.name);
    WriteCase(c);
    tools::TAnnotationStatistic statistic(*doc_);
    WalkTrace trace;
    AnnotationCounts counts;
    int seen = 0;
    statistic.SetWalkObserver([&](int record, const WalkTrace& t, const AnnotationCounts& n) {
      EXPECT_EQ(record, c.record);
      trace = t;
      counts = n;
      ++seen;
    });
    const bool mit = c.set == ValidationSet::kMit;
    statistic.SetRecordNumber(c.record);
    ASSERT_TRUE(statistic.ReadRecord(Path(c.set, c.record, ".QRS")));
    ASSERT_TRUE(statistic.ReadReference(Path(c.set, c.record, ".ANO")));
    EXPECT_EQ(statistic.References().size(), c.refs.size());
    if (mit)
      statistic.CompareMitRecord();
    else
      statistic.CompareAhaRecord();
    ASSERT_EQ(seen, 1);
    EXPECT_EQ(Describe(trace), c.outcomes);
    EXPECT_EQ(trace.extra_beats, c.extra);
    EXPECT_EQ(trace.dropped_beats, c.dropped);
    EXPECT_EQ(trace.tolerance, tools::TAnnotationStatistic::Tolerance(mit, c.record));
    EXPECT_TRUE(counts == c.counts) << "rpos " << counts.rpos << ", missed " << counts.total_missed
                                    << ", extra " << counts.total_fpos;
    EXPECT_TRUE(statistic.Totals() == c.counts);
  }
}

TEST(AnnotationStatisticTolerance, ByRecord) {
  EXPECT_EQ(tools::TAnnotationStatistic::Tolerance(true, 100), 19);
  EXPECT_EQ(tools::TAnnotationStatistic::Tolerance(true, 8202), 19);
  EXPECT_EQ(tools::TAnnotationStatistic::Tolerance(false, 1201), 19);
  EXPECT_EQ(tools::TAnnotationStatistic::Tolerance(false, 7209), 23);
  EXPECT_EQ(tools::TAnnotationStatistic::Tolerance(false, 8202), 35);
}

// The MIT file of the fixture records, with fillers up to 29 rows so that the title and the column
// header come again before the 28th row.
TEST_F(AnnotationStatisticTest, MitFileIsTheGoldenFile) {
  int rows = 0;
  for (const WalkCase& c : WalkCases()) {
    if (c.set != ValidationSet::kMit) continue;
    WriteCase(c);
    ++rows;
  }
  for (int record = 200; rows < 29; ++record, ++rows) {
    WriteQrs(ValidationSet::kMit, record, {N(40000 + record), N(41000)});
    WriteAno(ValidationSet::kMit, record, AnoBytes({{40000, '.'}, {41000, 'V'}}));
  }
  // An ".ANO" without its ".QRS" and a ".QRS" without its ".ANO": no rows, no message.
  WriteAno(ValidationSet::kMit, 300, AnoBytes({{40000, '.'}}));
  WriteQrs(ValidationSet::kMit, 301, {N(40000)});

  tools::TAnnotationStatistic statistic(*doc_);
  statistic.RunMit();
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"MIT-Statistic successful."});
  EXPECT_EQ(win::Windows().BeepCount(), 1);

  const std::string text = ReadText(data_ / "MITStat.txt");
  ExpectGolden("MITStat.txt", text);
  const std::vector<std::string> lines = Lines(text);
  // Title and header (9 lines), 27 rows, title and header again, the 28th row.
  ASSERT_GT(lines.size(), 46u);
  EXPECT_EQ(lines[36], lines[0]);
  EXPECT_EQ(lines[44], lines[8]);
  EXPECT_EQ(lines[45].substr(0, 11), " MIT   211 ");
  EXPECT_EQ(lines[35].substr(0, 11), " MIT   210 ");
}

TEST_F(AnnotationStatisticTest, AhaFileIsTheGoldenFile) {
  for (const WalkCase& c : WalkCases())
    if (c.set == ValidationSet::kAha) WriteCase(c);
  tools::TAnnotationStatistic statistic(*doc_);
  statistic.RunAha();
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"AHA-Statistic successful."});
  ExpectGolden("AHAStat.txt", ReadText(data_ / "AHAStat.txt"));
}

// No record at all: every ratio has an empty denominator and prints "-" at its width.
TEST_F(AnnotationStatisticTest, EmptyDenominatorsPrintADash) {
  tools::TAnnotationStatistic statistic(*doc_);
  statistic.RunMit();
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"MIT-Statistic successful."});
  const std::vector<std::string> lines = Lines(ReadText(data_ / "MITStat.txt"));
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(std::find(lines.begin(), lines.end(), " Total Proz. #      -|     - #      -|     - #"),
            lines.end());
  EXPECT_EQ(lines.back(), "           #      -|      -#      -|      -#      -|      - #");
  for (const std::string& line : lines) EXPECT_EQ(line.find("nan"), std::string::npos) << line;
}

// Each unreadable record is left out of the rows and the totals and named with its file and the
// place of the fault; the good records are still reported.
TEST_F(AnnotationStatisticTest, UnreadableRecordsAreNamedAndLeftOut) {
  WriteCase(WalkCases()[1]);  // MIT 101, good
  const WalkCase& good = WalkCases()[1];
  struct Bad {
    int record;
    std::vector<uint8_t> ano;
    bool truncate_qrs;
    const char* line_start;
  };
  std::vector<uint8_t> truncated_ano = AnoBytes({{40000, '.'}});
  const Bad bad[] = {
      {120, AnoBytes({{40000, '.'}, {41000, '.'}, {40999, '.'}}), false,
       "MIT120.ANO, offset 10: time 327992 ms before"},
      {121, AnoBytes({{-5, '.'}}), false, "MIT121.ANO, offset 0: negative time -40 ms"},
      {122, AnoBytes({{40000, '.'}, {41000, '\x01'}}), false, "MIT122.ANO, offset 5: label byte 1 is not"},
      {123, truncated_ano, true, "MIT123.QRS, "},
  };
  for (const Bad& b : bad) {
    WriteQrs(ValidationSet::kMit, b.record, {N(40000), N(41000)});
    if (b.truncate_qrs) {
      const fs::path qrs = Path(ValidationSet::kMit, b.record, ".QRS");
      fs::resize_file(qrs, fs::file_size(qrs) - 7);
    }
    WriteAno(ValidationSet::kMit, b.record, b.ano);
  }
  tools::TAnnotationStatistic statistic(*doc_);
  std::vector<int> compared;
  statistic.SetWalkObserver(
      [&](int record, const WalkTrace&, const AnnotationCounts&) { compared.push_back(record); });
  statistic.RunMit();

  EXPECT_EQ(compared, std::vector<int>{good.record});
  EXPECT_TRUE(statistic.Totals() == good.counts);
  const std::vector<std::string> asked = MessagesAsked();
  ASSERT_EQ(asked.size(), 1u);
  const std::vector<std::string> message = Lines(asked[0]);
  ASSERT_EQ(message.size(), 3u + std::size(bad)) << asked[0];
  EXPECT_EQ(message[0], "MIT-Statistic successful.");
  for (size_t i = 0; i < std::size(bad); ++i) {
    SCOPED_TRACE(bad[i].record);
    EXPECT_EQ(message[3 + i].rfind(bad[i].line_start, 0), 0u) << message[3 + i];
  }
  const std::string text = ReadText(data_ / "MITStat.txt");
  EXPECT_NE(text.find(" MIT   101 #"), std::string::npos);
  for (const char* left_out : {" MIT   120 ", " MIT   121 ", " MIT   122 ", " MIT   123 "})
    EXPECT_EQ(text.find(left_out), std::string::npos) << left_out;
}

TEST_F(AnnotationStatisticTest, AFileThatCannotBeWrittenIsReportedAndKept) {
  WriteCase(WalkCases()[1]);
  const fs::path output = data_ / "MITStat.txt";
  testsupport::WriteText(output, "old statistic\n");
  ASSERT_EQ(::chmod(output.c_str(), 0444), 0);
  tools::TAnnotationStatistic statistic(*doc_);
  statistic.RunMit();
  ::chmod(output.c_str(), 0644);
  const std::vector<std::string> asked = MessagesAsked();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].rfind("Error writing " + output.string(), 0), 0u) << asked[0];
  EXPECT_EQ(ReadText(output), "old statistic\n");
}

TEST(AnoFile, ChecksEveryRecordAndIgnoresAnIncompleteLast) {
  const fs::path dir = testsupport::MakeTestDir("ano_file");
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<tools::RefBeat> want;
    const char* error;  // the message's start when the file is refused
  };
  const Case cases[] = {
      {"empty", {}, {}, nullptr},
      {"two records and a tail",
       {0x10, 0, 0, 0, '.', 0x20, 0, 0, 0, 'V', 1, 2, 3},
       {{16, '.'}, {32, 'V'}},
       nullptr},
      {"equal times", {8, 0, 0, 0, 'N', 8, 0, 0, 0, '['}, {{8, 'N'}, {8, '['}}, nullptr},
      {"time going back",
       {9, 0, 0, 0, 'N', 8, 0, 0, 0, 'N'},
       {},
       "rec.ANO, offset 5: time 8 ms before the previous 9 ms"},
      {"negative time",
       {0, 0, 0, 0, 'N', 0xFF, 0xFF, 0xFF, 0xFF, 'N'},
       {},
       "rec.ANO, offset 5: negative time -1 ms"},
      {"control character", {0, 0, 0, 0, '\n'}, {}, "rec.ANO, offset 0: label byte 10 is not"},
      {"high byte", {0, 0, 0, 0, 0xB7}, {}, "rec.ANO, offset 0: label byte 183 is not"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::WriteBytes(dir / "rec.ANO", c.bytes);
    if (c.error == nullptr) {
      EXPECT_EQ(tools::ReadAnoFile((dir / "rec.ANO").string()), c.want);
      continue;
    }
    try {
      (void)tools::ReadAnoFile((dir / "rec.ANO").string());
      ADD_FAILURE() << "not refused";
    } catch (const platform::FormatError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
    }
  }
  EXPECT_THROW((void)tools::ReadAnoFile((dir / "missing.ANO").string()), platform::IoError);
}

}  // namespace
