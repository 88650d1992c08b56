#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/fake_vra_library.h"
#include "analysis/vra_api.h"
#include "analysis/vra_interface.h"
#include "platform/dynamic_library.h"
#include "platform/io_error.h"
#include "support/test_files.h"
#include "tools/validation/aha_record_reader.h"
#include "tools/validation/library_test_bench.h"
#include "win/prompt.h"

namespace {

namespace fs = std::filesystem;
using tools::TAhaAnnotation;
using tools::TAhaRecordReader;

std::vector<uint8_t> Annotation(uint8_t first, char character, uint32_t time, int16_t value) {
  const auto v = static_cast<uint16_t>(value);
  return {first,
          static_cast<uint8_t>(character),
          static_cast<uint8_t>(time >> 16),
          static_cast<uint8_t>(time >> 24),
          static_cast<uint8_t>(time),
          static_cast<uint8_t>(time >> 8),
          static_cast<uint8_t>(v),
          static_cast<uint8_t>(v >> 8),
          1,
          2,
          3,
          4,
          5,
          6,
          7,
          8};
}

std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& parts) {
  std::vector<uint8_t> bytes;
  for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

std::vector<uint8_t> Samples(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (const int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s)));
    bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
  }
  return bytes;
}

// Sample i of channel 1 is i - 1000, of channel 2 is 3 * i wrapped to 16 bits: every pair tells
// its place.
std::vector<int16_t> Channel(int channel, int count) {
  std::vector<int16_t> samples(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    samples[static_cast<size_t>(i)] =
        static_cast<int16_t>(channel == 1 ? i - 1000 : static_cast<uint16_t>(3 * i));
  return samples;
}

const std::vector<uint8_t> kEnd = Annotation(255, 'N', 0, 0);

// A record "REC01.dat", "REC02.dat", "RECAN.dat" in a folder of the test's own.
class AhaRecordTest : public ::testing::Test {
 protected:
  std::string WriteRecord(int pairs, const std::vector<uint8_t>& annotations, int second_pairs = -1) {
    folder_.Write("REC02.dat", Samples(Channel(2, second_pairs < 0 ? pairs : second_pairs)));
    folder_.Write("RECAN.dat", annotations);
    return folder_.Write("REC01.dat", Samples(Channel(1, pairs)));
  }

  testsupport::TempFolder folder_{"aha"};
};

TEST(AhaRecordNames, TheOtherTwoFilesDifferInTheTwoCharactersBeforeTheExtension) {
  struct Case {
    const char* first;
    const char* second;
    const char* annotation;
  };
  const Case kCases[] = {
      {"/d/REC01.dat", "/d/REC02.dat", "/d/RECAN.dat"},
      {"/d/1201_1.DAT", "/d/1201_2.DAT", "/d/1201AN.DAT"},
      {"x1.dat", "x2.dat", "AN.dat"},
      {"/d/REC02.dat", "", ""},  // the second channel is not a record's first file
      {"/d/RECAN.dat", "", ""},
      {"/d/1.dat", "", ""},  // no character before the channel number
      {"/d/REC01.txt", "", ""},
      {"/d1.dat/REC", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(TAhaRecordReader::SecondChannelPath(c.first), c.second);
    EXPECT_EQ(TAhaRecordReader::AnnotationPath(c.first), c.annotation);
  }
}

TEST_F(AhaRecordTest, ReadsTheRecordsFieldsAndCountsPerCharacter) {
  // One of each counted character, three others, then the end: records after it are not read.
  std::vector<std::vector<uint8_t>> parts;
  for (const char c : std::string("NVEFRPQU[]")) parts.push_back(Annotation(0, c, 100, 1));
  parts.push_back(Annotation(0, 'N', 0x00012345, -5));  // the time's high word comes first
  parts.push_back(Annotation(0, 'A', 7, 0));
  parts.push_back(Annotation(0, '+', 8, 0));
  parts.push_back(Annotation(0, '\0', 9, 0));
  parts.push_back(kEnd);
  parts.push_back(Annotation(0, 'V', 10, 0));
  const TAhaRecordReader reader(WriteRecord(20, Join(parts)));

  ASSERT_EQ(reader.GetAnnotations().size(), 14u);
  EXPECT_EQ(reader.GetAnnotations()[10], (TAhaAnnotation{'N', 0x00012345u, -5}));
  EXPECT_EQ(reader.GetAnnotations()[13], (TAhaAnnotation{'\0', 9u, 0}));
  const std::map<char, int64_t> kWant = {{'N', 2}, {'V', 1}, {'E', 1}, {'F', 1}, {'R', 1}, {'P', 1},
                                         {'Q', 1}, {'U', 1}, {'[', 1}, {']', 1}, {'A', 3}, {'j', 3}};
  for (const auto& [character, want] : kWant) EXPECT_EQ(reader.GetCount(character), want) << character;
  EXPECT_EQ(reader.GetOtherCount(), 3);
  EXPECT_EQ(reader.GetTotalCount(), 14);
  EXPECT_EQ(reader.GetSamplePairCount(), 20);
}

TEST_F(AhaRecordTest, HoldsTheFirst9000AnnotationsAndCountsThemAll) {
  struct Case {
    int records;
    bool end_marker;
  };
  const Case kCases[] = {{8999, true}, {9000, true}, {9001, false}, {9050, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.records);
    std::vector<std::vector<uint8_t>> parts;
    for (int i = 0; i < c.records; ++i)
      parts.push_back(Annotation(0, i % 3 == 0 ? 'V' : 'N', static_cast<uint32_t>(i) * 200, 0));
    if (c.end_marker) parts.push_back(kEnd);
    const TAhaRecordReader reader(WriteRecord(10, Join(parts)));
    const size_t held = std::min<size_t>(static_cast<size_t>(c.records), TAhaRecordReader::kMaxAnnotations);
    ASSERT_EQ(reader.GetAnnotations().size(), held);
    EXPECT_EQ(reader.GetAnnotations().back().time, static_cast<uint32_t>(held - 1) * 200);
    EXPECT_EQ(reader.GetTotalCount(), c.records);
    EXPECT_EQ(reader.GetCount('V'), (c.records + 2) / 3);
    EXPECT_EQ(reader.GetCount('N') + reader.GetCount('V'), c.records);
  }
}

TEST_F(AhaRecordTest, ReadsSamplePairsWithinTheShorterChannel) {
  const TAhaRecordReader reader(WriteRecord(300, kEnd, 250));
  EXPECT_EQ(reader.GetSamplePairCount(), 250);
  std::vector<int16_t> first;
  std::vector<int16_t> second;
  reader.ReadSamplePairs(240, 10, first, second);
  ASSERT_EQ(first.size(), 10u);
  ASSERT_EQ(second.size(), 10u);
  EXPECT_EQ(first[0], 240 - 1000);
  EXPECT_EQ(second[9], 3 * 249);

  struct Case {
    int64_t first_pair;
    size_t count;
  };
  for (const Case& c : {Case{241, 10}, Case{0, 251}, Case{-1, 1}, Case{251, 0}}) {
    SCOPED_TRACE(c.first_pair);
    try {
      reader.ReadSamplePairs(c.first_pair, c.count, first, second);
      ADD_FAILURE() << "read past the record's end";
    } catch (const platform::FormatError& e) {
      EXPECT_NE(std::string(e.what()).find("REC01.dat"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("holds 250 sample pairs"), std::string::npos) << e.what();
    }
  }
}

TEST_F(AhaRecordTest, BadRecordsAreRefusedNamingTheFile) {
  struct Case {
    const char* name;
    std::function<void(testsupport::TempFolder&)> spoil;
    bool format_error;
    const char* want;  // part of the message
  };
  const Case kCases[] = {
      {"no second channel", [](auto& f) { fs::remove(f.File("REC02.dat")); }, false,
       "REC02.dat: the file does not exist"},
      {"no annotations", [](auto& f) { fs::remove(f.File("RECAN.dat")); }, false,
       "RECAN.dat: the file does not exist"},
      {"odd channel length",
       [](auto& f) {
         f.Write("REC02.dat", {1, 2, 3});
       },
       true, "REC02.dat: length 3 bytes is not a whole number of 16-bit samples"},
      {"record cut short",
       [](auto& f) {
         f.Write("RECAN.dat", Join({Annotation(0, 'N', 1, 0), {0, 'V', 0, 0, 7}}));
       },
       true, "RECAN.dat, offset 16: annotation record cut short after 5 of 16 bytes"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string first = WriteRecord(100, Join({Annotation(0, 'N', 1, 0), kEnd}));
    c.spoil(folder_);
    try {
      const TAhaRecordReader reader(first);
      ADD_FAILURE() << "accepted";
    } catch (const platform::FormatError& e) {
      EXPECT_TRUE(c.format_error) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.want), std::string::npos) << e.what();
    } catch (const platform::IoError& e) {
      EXPECT_FALSE(c.format_error) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.want), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(TAhaRecordReader(folder_.File("RECAN.dat")), platform::FormatError);
}

TEST_F(AhaRecordTest, FindsTheOtherFilesWhateverTheCaseOfTheirNames) {
  folder_.Write("rec02.DAT", Samples(Channel(2, 5)));
  folder_.Write("recan.dat", kEnd);
  const std::string first = folder_.Write("REC01.dat", Samples(Channel(1, 5)));
  const TAhaRecordReader reader(first);
  EXPECT_EQ(fs::path(reader.GetSecondChannelPath()).filename(), "rec02.DAT");
  EXPECT_EQ(fs::path(reader.GetAnnotationPath()).filename(), "recan.dat");
  EXPECT_EQ(reader.GetSamplePairCount(), 5);
}

// --- The fuzz corpus of the annotation reader ---

const fs::path kCorpus = fs::path(ZK_SOURCE_DIR) / "tests/fixtures/tools/fuzz/aha_record";

std::map<std::string, std::vector<uint8_t>> Seeds() {
  std::map<std::string, std::vector<uint8_t>> seeds;
  seeds["seed_records_then_end"] = Join({Annotation(0, 'N', 400, 0), Annotation(0, 'V', 66736, -5),
                                         Annotation(0, '[', 70000, 7), kEnd, Annotation(0, 'A', 80000, 1)});
  std::vector<std::vector<uint8_t>> every;
  for (int c = 0; c < 256; ++c)
    every.push_back(Annotation(0, static_cast<char>(c), static_cast<uint32_t>(c) * 1000, 0));
  seeds["seed_every_character_no_end"] = Join(every);
  std::vector<uint8_t> cut = Join({Annotation(0, 'N', 1, 0), Annotation(0, 'N', 2, 0)});
  cut.erase(cut.end() - 3, cut.end());  // the second record cut short
  seeds["seed_cut_short"] = cut;
  return seeds;
}

TEST(AhaRecordFuzzCorpus, SeedsAreCurrentAndEveryFixtureReplaysCleanly) {
  testsupport::ExpectSeedsCurrent(kCorpus, Seeds());
  const int replayed = testsupport::ReplayCorpus(kCorpus, [](const std::vector<uint8_t>& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    try {
      const tools::TAhaAnnotationTable table = TAhaRecordReader::ReadAnnotationFile(in, "fixture");
      EXPECT_LE(table.held.size(), std::min(bytes.size() / 16, TAhaRecordReader::kMaxAnnotations));
      int64_t counted = 0;
      for (const int64_t n : table.counts) counted += n;
      EXPECT_EQ(counted, table.total);
    } catch (const platform::FormatError&) {
    }
  });
  EXPECT_GE(replayed, 3);
}

// --- The library's run over one minute of a record ---

// Records what the file chooser was asked.
class ChooserPrompt : public win::ScriptedPrompt {
 public:
  std::optional<std::string> ChooseFile(const win::FileDialogRequest& request) override {
    requests.push_back(request);
    return win::ScriptedPrompt::ChooseFile(request);
  }
  std::vector<win::FileDialogRequest> requests;
};

class LibraryTestBenchTest : public AhaRecordTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fake_.Ready());
    ASSERT_TRUE(calls_.Open(FAKE_VRA_PATH)) << calls_.Error();
    setting_call_ = calls_.Function<int(int, int*)>("FakeVra_SettingCall");
    ASSERT_NE(setting_call_, nullptr);
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }
  // (key, value) of every SetAnaData call, in order.
  std::vector<std::pair<int, int>> SettingCalls() const {
    std::vector<std::pair<int, int>> calls;
    int value = 0;
    for (int i = 0; setting_call_(i, &value) != -999; ++i)
      calls.emplace_back(setting_call_(i, nullptr), value);
    return calls;
  }

  analysis_test::FakeVraScript fake_;
  platform::DynamicLibrary calls_;
  int (*setting_call_)(int, int*) = nullptr;
  ChooserPrompt prompt_;
  win::ScopedPrompt scoped_{prompt_};
  CVRAInterface library_{FAKE_VRA_PATH};
};

TEST_F(LibraryTestBenchTest, RunsTheFirstMinuteAtHalfTheRateThroughTheLibrary) {
  prompt_.QueueFile(WriteRecord(16000, kEnd));
  fake_.AddBeat(0, 480, 0, 1);
  fake_.AddBeat(0, 1290, 2, 0);
  tools::TTestBenchRun run;
  EXPECT_EQ(tools::RunLibraryOnAhaRecord(library_, &run), tools::kTestBenchOk);

  ASSERT_EQ(prompt_.requests.size(), 1u);
  EXPECT_TRUE(prompt_.requests[0].open);
  EXPECT_EQ(prompt_.requests[0].filter, "AHA (*.dat)|*.dat||");
  std::string want_order = "OpenInterface";
  for (int i = 0; i < 11; ++i) want_order += " SetAnaData";
  want_order += " InitInterface SetLeadData SetLeadData Analyse GetAnaDataBeatP CloseInterface";
  EXPECT_EQ(fake_.CallOrder(), want_order);
  const std::vector<std::pair<int, int>> want_settings = {
      {0, 125}, {1, 60000}, {2, 2000}, {9, 2}, {3, 12}, {4, 40}, {5, 20}, {6, 15}, {7, 20}, {8, 0}, {10, 1}};
  EXPECT_EQ(SettingCalls(), want_settings);
  EXPECT_EQ(fake_.Setting(-1), 125);
  EXPECT_EQ(fake_.Setting(-2), 60000);
  EXPECT_EQ(fake_.Setting(-3), 11);  // the Analyse mode
  // Every second pair of the first 15000: samples 0, 2, ..., 14998.
  int64_t want_lead1 = 0;
  int64_t want_lead2 = 0;
  const std::vector<int16_t> first = Channel(1, 15000);
  const std::vector<int16_t> second = Channel(2, 15000);
  for (size_t i = 0; i < 15000; i += 2) {
    want_lead1 += first[i];
    want_lead2 += second[i];
  }
  EXPECT_EQ(fake_.LeadSum(1), want_lead1);
  EXPECT_EQ(fake_.LeadSum(2), want_lead2);
  EXPECT_EQ(run.beat_times_ms, (std::vector<int32_t>{480, 1290}));
  // The fake refuses mode 11, but that result goes to no report.
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(library_.IsLoaded());
}

TEST_F(LibraryTestBenchTest, EachFailingStepEndsWithItsCode) {
  struct Case {
    const char* name;
    std::function<std::optional<std::string>()> prepare;  // the file chosen
    int want;
    const char* calls;    // the library's calls, in order
    const char* message;  // part of the one message shown; none when empty
  };
  const Case kCases[] = {
      {"no file chosen", [] { return std::nullopt; }, tools::kTestBenchNoFileChosen, "", ""},
      {"record under one minute", [this] { return WriteRecord(14999, kEnd); }, tools::kTestBenchNoRecord, "",
       "REC01.dat: the record holds 14999 sample pairs; one minute needs 15000"},
      {"one channel under one minute", [this] { return WriteRecord(15000, kEnd, 14000); },
       tools::kTestBenchNoRecord, "", "holds 14000 sample pairs"},
      {"no annotation file",
       [this] {
         const std::string first = WriteRecord(15000, kEnd);
         fs::remove(folder_.File("RECAN.dat"));
         return first;
       },
       tools::kTestBenchNoRecord, "", "RECAN.dat: the file does not exist"},
      {"library missing",
       [this] {
         library_.SetLibraryName(folder_.File("libnone.so"));
         return WriteRecord(15000, kEnd);
       },
       tools::kTestBenchNoLibrary, "", ""},
      {"interface refused",
       [this] {
         fake_.FailCall("OpenInterface", 1, VRA_ERR_FAIL);
         return WriteRecord(15000, kEnd);
       },
       tools::kTestBenchOpenFailed, "OpenInterface", ""},
      {"no handle",
       [this] {
         fake_.SetNullHandle(1);
         return WriteRecord(15000, kEnd);
       },
       tools::kTestBenchNoHandle, "OpenInterface CloseInterface", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fake_.Reset();
    prompt_.ClearLog();
    library_.SetLibraryName(FAKE_VRA_PATH);
    prompt_.QueueFile(c.prepare());
    EXPECT_EQ(tools::RunLibraryOnAhaRecord(library_), c.want);
    EXPECT_EQ(fake_.CallOrder(), c.calls);
    const std::vector<std::string> messages = Messages();
    if (std::string(c.message).empty()) {
      EXPECT_TRUE(messages.empty()) << messages.front();
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find(c.message), std::string::npos) << messages[0];
    }
    EXPECT_FALSE(library_.IsLoaded());
  }
}

TEST_F(LibraryTestBenchTest, RefusedSettingsAndInitialisationAreReportedAndTheRunGoesOn) {
  struct Case {
    const char* name;
    std::function<void()> script;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {"last setting",
       [this] { fake_.FailSetting(VRA_ANASET_ANALYSE_LEADS, VRA_ERR_NULL_POINTER); },
       {"Function: SetAnaData Parms: _L1_2,_ANASET_ANALYSE_LEADS RetCode : ERR Null pointer"}},
      // An earlier refused value is shown too, not hidden behind the last one's success.
      {"earlier settings",
       [this] {
         fake_.FailSetting(VRA_ANASET_CORR_VES, VRA_ERR_FAIL);
         fake_.FailSetting(VRA_ANASET_SAMPRATE, VRA_ERR_WRONG_DATA);
       },
       {"Function: SetAnaData Parms: _125Hz, _ANASET_SAMPRATE RetCode : ERR Unknown",
        "Function: SetAnaData Parms: 12,_ANASET_CORR_VES RetCode : ERR Fail"}},
      {"initialisation",
       [this] { fake_.FailCall("InitInterface", 1, VRA_ERR_INIT_PHASE); },
       {"Function: InitInterface Parms:  RetCode : ERR Init Phase"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fake_.Reset();
    prompt_.ClearLog();
    c.script();
    fake_.AddBeat(0, 800, 0, 0);
    prompt_.QueueFile(WriteRecord(15000, kEnd));
    tools::TTestBenchRun run;
    EXPECT_EQ(tools::RunLibraryOnAhaRecord(library_, &run), tools::kTestBenchOk);
    EXPECT_EQ(Messages(), c.want);
    EXPECT_EQ(run.beat_times_ms, std::vector<int32_t>{800});
    EXPECT_EQ(fake_.CallCount("CloseInterface"), 1);
  }
}

TEST(LibraryErrorReport, NamesFunctionParametersAndTheResult) {
  struct Case {
    int code;
    const char* want;
  };
  const Case kCases[] = {
      {1, "ERR Null pointer"}, {2, "ERR Init Phase"}, {3, "ERR Type undefined"}, {4, "ERR Fail"},
      {5, "ERR Unknown"},      {6, "ERR Unknown"},    {-1, "ERR Unknown"},
  };
  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(tools::LibraryErrorText("SetAnaData", "40,_ANASET_TEMP_CORR", c.code),
              std::string("Function: SetAnaData Parms: 40,_ANASET_TEMP_CORR RetCode : ") + c.want);
    tools::ReportLibraryError("InitInterface", "", c.code);
    ASSERT_FALSE(prompt.Log().empty());
    EXPECT_EQ(prompt.Log().back().text, std::string("Function: InitInterface Parms:  RetCode : ") + c.want);
  }
  const size_t shown = prompt.Log().size();
  tools::ReportLibraryError("InitInterface", "", 0);
  EXPECT_EQ(prompt.Log().size(), shown);  // success shows nothing
}

}  // namespace
