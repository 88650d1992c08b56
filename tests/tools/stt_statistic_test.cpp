#include "tools/validation/stt_statistic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "support/esc_records.h"
#include "support/test_files.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;
using coretest::SttReference;

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
void ExpectGoldenText(const std::string& name, const std::string& text) {
  const fs::path golden = fs::path(ZK_SOURCE_DIR) / "tests/golden/tools" / name;
  if (const char* update = std::getenv("UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    std::ofstream(golden, std::ios::binary) << text;
    return;
  }
  ASSERT_TRUE(fs::exists(golden)) << "missing golden file " << golden << " (run with UPDATE_GOLDEN=1)";
  EXPECT_EQ(text, ReadText(golden)) << golden;
}

// What a record's analysis stored: the ST levels of both channels and their segment length.
struct StoredST {
  std::vector<double> channel1;
  std::vector<double> channel2;
  int interval_s = 15;
  platform::LocalDateTime start{2024, 5, 6, 8, 0, 0, 0};
};

class STTStatisticTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    data_ = testsupport::MakeTestDir("stt_statistic");
    SettingsDefaults defaults;
    defaults.home = data_.string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    doc_->SetDataDirectory(data_.string());
  }

  fs::path File(int number, const std::string& extension) const {
    return data_ / (coretest::EscRecordName(number) + extension);
  }

  // The record's ".QRS" as a saved analysis holds it, a few beats, and an ".ANO".
  void WriteRecord(int number, const StoredST& st, const std::vector<SttReference>& references) {
    TPatientData patient(doc_clock_);
    TRecordingData recording(doc_clock_);
    recording.start_date = document::OleDateOnly(st.start);
    recording.start_time = document::OleTimeOnly(st.start);
    recording.st_interval = st.interval_s;
    for (const double v : st.channel1) recording.st_levels[0].Add(v);
    for (const double v : st.channel2) recording.st_levels[1].Add(v);
    TQRSList beats;
    for (int32_t p = 100; p < 2000; p += 100) beats.Append(TQRSComplex(p, 1, '!'));
    platform::ArchiveWriter ar;
    patient.Serialize(ar, 32);
    recording.Serialize(ar, 32);
    beats.Serialize(ar, 32);
    TEventList().Serialize(ar, 32);
    testsupport::WriteBytes(File(number, ".QRS"), ar.Bytes());
    testsupport::WriteBytes(File(number, ".ANO"), Bytes{0x20, 0x03, 0, 0, '.'});
    coretest::WriteSttFile(File(number, ".STT"), references);
  }

  // Runs the statistic; returns the file it wrote.
  std::string Run() {
    prompt_.ClearLog();
    tools::TSTTStatistic statistic(*doc_);
    statistic.Run();
    return ReadText(data_ / "STTStat.txt");
  }

  std::string LastMessage() const {
    const std::vector<std::string> messages = MessagesAsked();
    return messages.empty() ? std::string() : messages.back();
  }

  fs::path data_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_{platform::LocalDateTime{2024, 6, 1, 10, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
};

constexpr const char* kHeader[] = {
    "==========================================",
    "             ESC     ZK-470         Kanal ",
    "==========================================",
};

// One reference against the stored values: the segment of its time, the sign bit, the channel bit,
// a zero reference and a time past the stored values. Expected lines worked out by hand.
TEST_F(STTStatisticTest, EachReferenceMeetsTheValueOfItsSegment) {
  const StoredST two_segments{{-1.0, -2.0}, {0.5, 0.25}};
  StoredST other_interval = two_segments;
  other_interval.interval_s = 30;
  StoredST near_midnight = two_segments;
  near_midnight.start = {2024, 5, 6, 23, 59, 50, 0};
  struct Case {
    const char* name;
    StoredST st;
    std::vector<SttReference> references;
    std::vector<std::string> lines;
  };
  const Case kCases[] = {
      {"14999 ms is segment 0",
       two_segments,
       {{14999, 0, -150}},
       {"08:00:14   -1.50   -1.00     -33       0 "}},
      {"15000 ms is segment 1",
       two_segments,
       {{15000, 0, -150}},
       {"08:00:15   -1.50   -2.00      33       0 "}},
      {"25 with the sign bit is -0.25",
       two_segments,
       {{0, 0, -25}},
       {"08:00:00   -0.25   -1.00     300       0 "}},
      {"bit 7 reads channel 2",
       two_segments,
       {{20000, 1, 50}},
       {"08:00:20    0.50    0.25     -50       1 "}},
      {"a zero reference has no percentage",
       two_segments,
       {{0, 0, 0}},
       {"08:00:00    0.00   -1.00       -       0 "}},
      {"past the stored values",
       two_segments,
       {{30000, 1, 120}},
       {"08:00:30    1.20       -       -       1 "}},
      {"segments of another length",
       other_interval,
       {{0, 0, -100}},
       {"08:00:00   -1.00       -       -       0 "}},
      {"time of day past midnight",
       near_midnight,
       {{15000, 0, -100}},
       {"00:00:05   -1.00   -2.00     100       0 "}},
      {"only measurements are listed",
       two_segments,
       {{0, 0, -100, 1}, {15000, 1, 25}, {16000, 0, -100, 3}},
       {"08:00:15    0.25    0.25       0       1 "}},
      {"no measurement: only the record's line", two_segments, {{0, 0, -100, 1}, {5000, 1, 0, 4}}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteRecord(103, c.st, c.references);
    const std::vector<std::string> lines = Lines(Run());
    std::vector<std::string> want(std::begin(kHeader), std::end(kHeader));
    want.push_back("====ESC0103.STT=================");
    want.insert(want.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(lines, want);
    EXPECT_EQ(LastMessage(), "ST-T statistic successful.");
  }
}

// The whole file for three records: their order, the name of a number above 999, a record
// without ".ANO" left out, the header once.
TEST_F(STTStatisticTest, WritesTheGoldenFile) {
  WriteRecord(103, {{-1.0, -2.0, -2.5, 0.0}, {0.5, 0.25, 0.0, -0.1}},
              {{0, 0, -100},
               {0, 1, 50},
               {14999, 0, -150},
               {15000, 0, -150},
               {31000, 1, 10},
               {45000, 0, 0},
               {60000, 1, -30}});
  WriteRecord(104, {{1.5}, {}}, {{1000, 0, 100, 1}});
  WriteRecord(105, {{0.3}, {0.3}}, {{0, 0, 30}});
  fs::remove(File(105, ".ANO"));
  WriteRecord(1001, {{-0.5, -0.6}, {-0.7, -0.8}}, {{3000, 0, -50}, {16000, 1, -75}});
  const int beeps = win::Windows().BeepCount();

  const std::string text = Run();

  ExpectGoldenText("STTStat.txt", text);
  EXPECT_EQ(text.find("ESC0105"), std::string::npos);
  EXPECT_EQ(win::Windows().BeepCount() - beeps, 1);
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"ST-T statistic successful."});
}

TEST_F(STTStatisticTest, NoRecordsGiveTheHeaderAlone) {
  EXPECT_EQ(Lines(Run()), std::vector<std::string>(std::begin(kHeader), std::end(kHeader)));
  EXPECT_EQ(LastMessage(), "ST-T statistic successful.");
}

// A record with a bad file is refused whole and named with file and place; the records around it
// are still listed, and no input file changes.
TEST_F(STTStatisticTest, RefusesABadRecordAndListsTheOthers) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& qrs, const fs::path& stt)> spoil;
    std::string reason;
  };
  auto stt_bytes = [](std::vector<SttReference> references, size_t at, Bytes patch) {
    Bytes bytes = coretest::EncodeSttRecords(references);
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
    return bytes;
  };
  const Case kCases[] = {
      {"decreasing time",
       [](const fs::path&, const fs::path& stt) {
         coretest::WriteSttFile(stt, {{0, 0, 10}, {20000, 0, 10}, {19999, 1, 10}});
       },
       "ESC0101.STT, offset 16: time 19999 ms before the previous record's 20000 ms"},
      {"negative time",
       [](const fs::path&, const fs::path& stt) {
         coretest::WriteSttFile(stt, {{0, 0, 10}, {-15000, 0, 10}});
       },
       "ESC0101.STT, offset 8: negative time -15000 ms"},
      {"record type 0",
       [](const fs::path&, const fs::path& stt) {
         coretest::WriteSttFile(stt, {{0, 0, 10, 0}});
       },
       "ESC0101.STT, offset 0: unknown record type, flags 0x0000"},
      {"flags beyond type, sign and channel",
       [&](const fs::path&, const fs::path& stt) {
         testsupport::WriteBytes(stt, stt_bytes({{0, 0, 10}, {0, 0, 10}}, 13, {0x01}));
       },
       "ESC0101.STT, offset 8: unknown record type, flags 0x0102"},
      {"negative magnitude with the sign bit",
       [&](const fs::path&, const fs::path& stt) {
         testsupport::WriteBytes(stt, stt_bytes({{0, 0, -10}}, 6, {0xF6, 0xFF}));
       },
       "ESC0101.STT, offset 0: negative magnitude -10 with the sign bit"},
      {"truncated .QRS",
       [](const fs::path& qrs, const fs::path&) {
         const std::string bytes = ReadText(qrs);
         testsupport::WriteText(qrs, bytes.substr(0, bytes.size() / 2));
       },
       "ESC0101.QRS"},
      {"not a recording",
       [](const fs::path& qrs, const fs::path&) { testsupport::WriteBytes(qrs, Bytes(40, 0xFF)); },
       "ESC0101.QRS"},
      {".ANO that is no file",
       [](const fs::path& qrs, const fs::path&) {
         const fs::path ano = fs::path(qrs).replace_extension(".ANO");
         fs::remove(ano);
         fs::create_directory(ano);
       },
       "ESC0101.ANO: cannot be opened"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(data_);
    fs::create_directories(data_);
    WriteRecord(100, {{-1.0}, {}}, {{0, 0, -200}});
    WriteRecord(101, {{-1.0}, {}}, {{0, 0, -100}});
    WriteRecord(102, {{-2.0}, {}}, {{0, 0, -100}});
    c.spoil(File(101, ".QRS"), File(101, ".STT"));
    const std::string qrs_before = ReadText(File(101, ".QRS"));
    const std::string stt_before = ReadText(File(101, ".STT"));

    const std::vector<std::string> lines = Lines(Run());

    std::vector<std::string> want(std::begin(kHeader), std::end(kHeader));
    for (const char* line : {"====ESC0100.STT=================", "08:00:00   -2.00   -1.00     -50       0 ",
                             "====ESC0102.STT=================", "08:00:00   -1.00   -2.00     100       0 "})
      want.push_back(line);
    EXPECT_EQ(lines, want);
    const std::string message = LastMessage();
    EXPECT_EQ(message.rfind("ST-T statistic successful.\n\nRecords left out:\n", 0), 0u) << message;
    const std::vector<std::string> message_lines = Lines(message);
    ASSERT_EQ(message_lines.size(), 4u) << message;
    EXPECT_EQ(message_lines[3].rfind(c.reason, 0), 0u) << message_lines[3];
    EXPECT_EQ(ReadText(File(101, ".QRS")), qrs_before);
    EXPECT_EQ(ReadText(File(101, ".STT")), stt_before);
  }
}

TEST_F(STTStatisticTest, EveryRefusedRecordIsNamed) {
  WriteRecord(100, {{-1.0}, {}}, {{0, 0, -100}});
  WriteRecord(1200, {{-1.0}, {}}, {{0, 0, -100}});
  coretest::WriteSttFile(File(100, ".STT"), {{-1, 0, 10}});
  testsupport::WriteBytes(File(1200, ".QRS"), Bytes{1, 2, 3});

  EXPECT_EQ(Lines(Run()).size(), 3u);

  const std::vector<std::string> message = Lines(LastMessage());
  ASSERT_EQ(message.size(), 5u);
  EXPECT_EQ(message[3], "ESC0100.STT, offset 0: negative time -1 ms");
  EXPECT_EQ(message[4].rfind("ESC1200.QRS", 0), 0u) << message[4];
}

// A statistic that cannot be written says so, names the file, and claims no success; the file of
// an earlier run stays whole.
TEST_F(STTStatisticTest, UnwritableFileIsAnErrorNamingIt) {
  WriteRecord(100, {{-1.0}, {}}, {{0, 0, -100}});
  const fs::path target = data_ / "STTStat.txt";
  testsupport::WriteText(target, "earlier run\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  EXPECT_EQ(Run(), "earlier run\n");

  const std::vector<std::string> messages = MessagesAsked();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("The ST-T statistic could not be written to " + target.string(), 0), 0u)
      << messages[0];
  fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

// The reader alone: what it keeps and where it points at a fault.
TEST(STTFile, ParsesRecordsAndIgnoresAnIncompleteLast) {
  Bytes bytes = coretest::EncodeSttRecords({{0, 0, -25}, {0, 1, 25}, {15000, 0, 0, 3}});
  const std::vector<tools::STTRecord> whole = tools::ParseSTTRecords(bytes, "X.STT");
  ASSERT_EQ(whole.size(), 3u);
  EXPECT_EQ(whole[0], (tools::STTRecord{0, 0x42, 25}));
  EXPECT_DOUBLE_EQ(whole[0].Reference(), -0.25);
  EXPECT_EQ(whole[1].Channel(), 1);
  EXPECT_DOUBLE_EQ(whole[1].Reference(), 0.25);
  EXPECT_EQ(whole[2].Type(), 3);

  bytes.resize(bytes.size() - 1);
  EXPECT_EQ(tools::ParseSTTRecords(bytes, "X.STT").size(), 2u);
  EXPECT_TRUE(tools::ParseSTTRecords(Bytes(7, 0xFF), "X.STT").empty());
}

TEST(STTFile, MissingFileIsAnIoError) {
  const fs::path dir = testsupport::MakeTestDir("stt_file");
  EXPECT_THROW((void)tools::ReadSTTFile((dir / "ESC0100.STT").string()), platform::IoError);
}

}  // namespace
