#include "tools/foreign_import.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "document/annotation_exchange_file.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/record_format.h"
#include "document/signal_exchange_file.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "tools/import_fixture.h"

namespace {

namespace fs = std::filesystem;
using importtest::Listing;
using importtest::ReadBytes;

constexpr const char* kRecordName = "A1201 05-03-2004 14-22 -----.QRS";

void PutLE16(std::vector<uint8_t>& bytes, int value) {
  bytes.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// n samples of sign * i.
std::vector<uint8_t> Ramp(int n, int sign) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < n; ++i) PutLE16(bytes, sign * i);
  return bytes;
}

// One 16-byte AHA annotation record.
std::vector<uint8_t> Annotation(uint8_t first, char mnemonic, uint32_t time_ms, int aux) {
  std::vector<uint8_t> record = {first, static_cast<uint8_t>(mnemonic)};
  PutLE16(record, static_cast<int>(time_ms >> 16));
  PutLE16(record, static_cast<int>(time_ms & 0xFFFF));
  PutLE16(record, aux);
  record.resize(16, 0xAB);
  return record;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

const std::vector<uint8_t> kAnnotations =
    Concat({Annotation(0, 'N', 400, 0), Annotation(0, 'V', 65536 + 1200, -5), Annotation(0, 'A', 70000, 7),
            Annotation(0xFF, 'N', 0, 0)});

void SetLocalModificationTime(const fs::path& file, int year, int month, int day, int hour, int minute) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  const timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimes(file.c_str(), times), 0);
}

struct FakeProgress : tools::AhaCopyProgress {
  void Begin(const std::string& khi_name) override { begun.push_back(khi_name); }
  bool Step() override { return ++steps != cancel_at; }
  void End() override { ++ends; }

  int cancel_at = -1;
  std::vector<std::string> begun;
  int steps = 0;
  int ends = 0;
};

// The files of one record in the source folder; an empty name leaves that file out.
struct Record {
  std::string id = "A1201ID.DAT";
  std::string d1 = "A1201d1.dat";
  std::string d2 = "A1201d2.dat";
  std::string an = "A1201an.dat";
  bool write_id = true;
  std::vector<uint8_t> channel1 = Ramp(1000, 1);
  std::vector<uint8_t> channel2 = Ramp(1000, -1);
  std::vector<uint8_t> annotations = kAnnotations;
};

class AhaImportTest : public ::testing::Test, public importtest::ImportDocFixture {
 protected:
  struct Outcome {
    int result = -1;
    std::string name;
    std::string error;
  };

  void Write(const Record& r) {
    if (r.write_id) {
      testsupport::WriteText(Source() / r.id, "identification");
      SetLocalModificationTime(Source() / r.id, 2004, 3, 5, 14, 22);
    }
    if (!r.d1.empty()) testsupport::WriteBytes(Source() / r.d1, r.channel1);
    if (!r.d2.empty()) testsupport::WriteBytes(Source() / r.d2, r.channel2);
    if (!r.an.empty()) testsupport::WriteBytes(Source() / r.an, r.annotations);
  }

  Outcome Import(const Record& r, bool overwrite_all = false) {
    Outcome outcome;
    outcome.result = tools::ImportAhaRecord(Doc(), (Source() / r.id).string(), overwrite_all, outcome.name,
                                            250, 2.5, outcome.error, progress_);
    return outcome;
  }

  fs::path Target(const char* extension) const {
    return Data() / (std::string(kRecordName).substr(0, std::string(kRecordName).size() - 3) + extension);
  }

  FakeProgress progress_;
};

TEST_F(AhaImportTest, ARecordBecomesADocumentWithItsSignalAndAnnotationFiles) {
  for (const bool upper : {false, true}) {
    SCOPED_TRACE(upper ? "companions in upper case" : "companions as named");
    for (const fs::path& p : {Source(), Data()}) {
      fs::remove_all(p);
      fs::create_directories(p);
    }
    progress_ = FakeProgress();
    Record record;
    if (upper) record.d1 = "A1201D1.DAT", record.d2 = "A1201D2.DAT", record.an = "A1201AN.DAT";
    Write(record);
    const Outcome outcome = Import(record);
    ASSERT_EQ(outcome.result, 1) << outcome.error;
    EXPECT_EQ(outcome.name, kRecordName);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(Listing(Data()), (std::vector<std::string>{"A1201 05-03-2004 14-22 -----.KHA",
                                                         "A1201 05-03-2004 14-22 -----.KHI", kRecordName}));
    EXPECT_EQ(progress_.begun, (std::vector<std::string>{"A1201 05-03-2004 14-22 -----.KHI"}));
    EXPECT_EQ(progress_.steps, 100);
    EXPECT_EQ(progress_.ends, 1);
    EXPECT_TRUE(Messages().empty());

    const Members document = ReadDocument(Data() / kRecordName);
    EXPECT_EQ(document.patient.surname, "A1201");
    EXPECT_EQ(document.recording.identity_text, "AHA");
    EXPECT_EQ(document.recording.start_date, document::OleDateOnly({2004, 3, 5}));
    EXPECT_EQ(document.recording.start_time, document::OleTimeOnly({1899, 12, 30, 14, 22, 0}));
    EXPECT_EQ(document.beats, 0);
    EXPECT_EQ(document.events, 0);
  }
}

TEST_F(AhaImportTest, TheSampleStoreAndTheBeatReaderReadTheFilesBack) {
  const Record record;
  Write(record);
  ASSERT_EQ(Import(record).result, 1);

  TSignalExchangeFile khi;
  ASSERT_TRUE(khi.ReadHeader(Target("KHI").string()));
  EXPECT_EQ(khi.duration, 1000u);
  EXPECT_EQ(khi.rate, 250u);
  EXPECT_EQ(khi.channel_count, 2u);
  EXPECT_EQ(khi.bits_per_sample, 16u);
  EXPECT_EQ(khi.lsb, 2.5);
  EXPECT_EQ(khi.channel_names[0], "d1");
  EXPECT_EQ(khi.channel_names[1], "d2");
  EXPECT_EQ(khi.display_count, 2u);
  EXPECT_EQ(khi.display_map[0], 0);
  EXPECT_EQ(khi.display_map[1], 1);
  // Frames of the two samples, channel 1 first, copied unchanged.
  const std::vector<uint8_t> khi_bytes = ReadBytes(Target("KHI"));
  ASSERT_EQ(khi_bytes.size(), 4096u + 4000u);
  for (size_t j = 0; j < 1000; ++j) {
    ASSERT_EQ(khi_bytes[4096 + j * 4], record.channel1[j * 2]) << j;
    ASSERT_EQ(khi_bytes[4096 + j * 4 + 1], record.channel1[j * 2 + 1]) << j;
    ASSERT_EQ(khi_bytes[4096 + j * 4 + 2], record.channel2[j * 2]) << j;
    ASSERT_EQ(khi_bytes[4096 + j * 4 + 3], record.channel2[j * 2 + 1]) << j;
  }
  // At 250 Hz the store takes every second frame; 2.5 microvolts are half a store unit.
  std::array<TECGBlock, 3> blocks;
  ASSERT_TRUE(khi.ReadBlock(Target("KHI").string(), 0, blocks));
  for (int k = 0; k < 7500; ++k) {
    ASSERT_EQ(blocks[0].samples[k], k < 500 ? k : 0) << k;
    ASSERT_EQ(blocks[1].samples[k], k < 500 ? -k : 0) << k;
  }

  std::ifstream kha(Target("KHA"), std::ios::binary);
  TAnnotationExchangeFile annotations;
  ASSERT_TRUE(annotations.ReadHeader(kha));
  EXPECT_EQ(annotations.record_count, 3u);
  TQRSList beats;
  ASSERT_TRUE(annotations.ReadBeatList(kha, beats, 250.0));
  ASSERT_EQ(beats.GetSize(), 3);
  EXPECT_EQ(beats.GetAt(0).GetPosition(), 100);
  EXPECT_EQ(beats.GetAt(0).GetClass(), 1);
  EXPECT_EQ(beats.GetAt(1).GetPosition(), (65536 + 1200) / 4);
  EXPECT_EQ(beats.GetAt(1).GetClass(), 15);
  EXPECT_EQ(beats.GetAt(2).GetPosition(), 17500);
  EXPECT_EQ(beats.GetAt(2).GetClass(), 9);
  // The auxiliary values travel as they are.
  const std::vector<uint8_t> kha_bytes = ReadBytes(Target("KHA"));
  EXPECT_EQ(platform::LoadLE32(&kha_bytes[4096 + 12 + 8]), static_cast<uint32_t>(-5));
  EXPECT_EQ(platform::LoadLE32(&kha_bytes[4096 + 24 + 8]), 7u);
}

TEST_F(AhaImportTest, TheCopyStopsAtTheLastWholeSampleOfEqualFiles) {
  struct Case {
    const char* name;
    std::vector<uint8_t> channel;
    uint32_t duration;
    int steps;
  };
  const Case cases[] = {
      {"an odd last byte is not copied", Concat({Ramp(150, 1), {0x7F}}), 150, 150},
      {"100 samples: steps of one", Ramp(100, 1), 100, 100},
      {"101 samples: a step more", Ramp(101, 1), 101, 101},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Data());
    fs::create_directories(Data());
    progress_ = FakeProgress();
    Record record;
    record.channel1 = c.channel;
    record.channel2 = c.channel;
    Write(record);
    ASSERT_EQ(Import(record, true).result, 1);
    TSignalExchangeFile khi;
    ASSERT_TRUE(khi.ReadHeader(Target("KHI").string()));
    EXPECT_EQ(khi.duration, c.duration);
    EXPECT_EQ(fs::file_size(Target("KHI")), 4096u + 4u * c.duration);
    EXPECT_EQ(progress_.steps, c.steps);
  }
}

TEST(AhaAnnotations, RecordsAreReadUpToTheEndMark) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<int32_t> codes;
    std::vector<int32_t> times;
    std::vector<int32_t> aux;
  };
  const Case cases[] = {
      {"no records", {}, {}, {}, {}},
      {"0xFF first", Concat({Annotation(0xFF, 'N', 10, 1), Annotation(0, 'N', 20, 2)}), {}, {}, {}},
      {"the high word first", Concat({Annotation(1, 'N', 0x0001'0002, -5)}), {1}, {65538}, {-5}},
      {"a time past 2^31 ms wraps", Concat({Annotation(0, 'N', 0xFFFF'FFFF, 0)}), {1}, {-1}, {0}},
      {"the mnemonics",
       Concat({Annotation(0, 'V', 1, 0), Annotation(0, 'A', 2, 0), Annotation(0, '|', 3, 0),
               Annotation(0, 'r', 4, 0), Annotation(0, '/', 5, 0), Annotation(0, 'S', 6, 0),
               Annotation(0, 'F', 7, 0), Annotation(0, 'a', 8, 0)}),
       {5, 8, 16, 41, 12, 9, 6, 4},
       {1, 2, 3, 4, 5, 6, 7, 8},
       {0, 0, 0, 0, 0, 0, 0, 0}},
      {"both spellings of the wave marks",
       Concat({Annotation(0, '(', 1, 0), Annotation(0, '`', 2, 0), Annotation(0, ')', 3, 0),
               Annotation(0, '\'', 4, 0)}),
       {39, 39, 40, 40},
       {1, 2, 3, 4},
       {0, 0, 0, 0}},
      {"characters that name nothing",
       Concat({Annotation(0, 'z', 1, 0), Annotation(0, '\0', 2, 0)}),
       {0, 0},
       {1, 2},
       {0, 0}},
      {"a record cut short is not taken",
       Concat({Annotation(0, 'N', 1, 0), {0, 'V', 0, 0, 1}}),
       {1},
       {1},
       {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream in(std::string(c.bytes.begin(), c.bytes.end()));
    const tools::AhaAnnotations read = tools::ReadAhaAnnotations(in);
    EXPECT_EQ(read.codes, c.codes);
    EXPECT_EQ(read.times, c.times);
    EXPECT_EQ(read.aux, c.aux);
  }
}

TEST_F(AhaImportTest, AnAnnotationFileEndingAtOnceGivesAnEmptyAnnotationFile) {
  Record record;
  record.annotations = Annotation(0xFF, 'N', 0, 0);
  Write(record);
  ASSERT_EQ(Import(record).result, 1);
  const std::vector<uint8_t> kha = ReadBytes(Target("KHA"));
  ASSERT_EQ(kha.size(), 4096u);
  EXPECT_EQ(platform::LoadLE32(&kha[12]), 0u);
  // Which the reader refuses: such a record has no reference annotations.
  std::ifstream in(Target("KHA"), std::ios::binary);
  TAnnotationExchangeFile reader;
  EXPECT_FALSE(reader.ReadHeader(in));
}

TEST_F(AhaImportTest, AFailedImportLeavesNothingBehind) {
  const std::string source = Source().string() + "/";
  struct Case {
    const char* name;
    std::function<void(Record&)> change;
    std::string error;
    std::string record_name;
  };
  const Case cases[] = {
      {"no identification file", [](Record& r) { r.write_id = false; }, "Error in AHA File", "A1201ID.DAT"},
      {"a name under 6 characters", [](Record& r) { r.id = "D.DAT"; }, "Error in AHA File", "D.DAT"},
      {"a name not ending in ID.DAT", [](Record& r) { r.id = "A1201.DAT"; },
       "Error in AHA File " + source + "A12d1.dat", "A12 05-03-2004 14-22 -----.QRS"},
      {"no channel 2", [](Record& r) { r.d2.clear(); }, "Error in AHA File " + source + "A1201d2.dat",
       kRecordName},
      {"channels of different lengths", [](Record& r) { r.channel2 = Ramp(999, 1); },
       "AHA Data Files differnt size", kRecordName},
      {"99 samples per channel",
       [](Record& r) {
         r.channel1 = Ramp(99, 1);
         r.channel2 = Ramp(99, 1);
       },
       "Error in AHA File", kRecordName},
      {"empty channel files",
       [](Record& r) {
         r.channel1.clear();
         r.channel2.clear();
       },
       "Error in AHA File", kRecordName},
      {"no annotation file", [](Record& r) { r.an.clear(); }, "Error opening ANN File", kRecordName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Source());
    fs::create_directories(Source());
    Record record;
    c.change(record);
    Write(record);
    progress_ = FakeProgress();
    const Outcome outcome = Import(record);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.error, c.error);
    EXPECT_EQ(outcome.name, c.record_name);
    EXPECT_TRUE(Listing(Data()).empty());
    EXPECT_EQ(progress_.ends, static_cast<int>(progress_.begun.size()));
  }
}

TEST_F(AhaImportTest, ACancelledOrFailedImportKeepsTheFilesThatWereThere) {
  const Record record;
  Write(record);
  for (const char* extension : {"KHI", "KHA"})
    testsupport::WriteText(Target(extension), std::string("old ") + extension);

  progress_.cancel_at = 50;
  Outcome outcome = Import(record, true);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.error, "Error writing KHI Data Files");
  EXPECT_EQ(progress_.steps, 50);
  EXPECT_EQ(progress_.ends, 1);
  EXPECT_EQ(Listing(Data()), (std::vector<std::string>{"A1201 05-03-2004 14-22 -----.KHA",
                                                       "A1201 05-03-2004 14-22 -----.KHI"}));
  EXPECT_EQ(ReadBytes(Target("KHI")), (std::vector<uint8_t>{'o', 'l', 'd', ' ', 'K', 'H', 'I'}));
  EXPECT_EQ(ReadBytes(Target("KHA")), (std::vector<uint8_t>{'o', 'l', 'd', ' ', 'K', 'H', 'A'}));

  // A document that may not be replaced stops the import before anything is written.
  testsupport::WriteText(Target("QRS"), "old QRS");
  fs::permissions(Target("QRS"), fs::perms::owner_read | fs::perms::group_read);
  progress_ = FakeProgress();
  outcome = Import(record, true);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.error, "Error Writing QRS File");
  EXPECT_TRUE(progress_.begun.empty());
  EXPECT_EQ(Listing(Data()).size(), 3u);
  EXPECT_EQ(ReadBytes(Target("KHI")), (std::vector<uint8_t>{'o', 'l', 'd', ' ', 'K', 'H', 'I'}));
  EXPECT_EQ(ReadBytes(Target("QRS")), (std::vector<uint8_t>{'o', 'l', 'd', ' ', 'Q', 'R', 'S'}));
  fs::permissions(Target("QRS"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(AhaImportTest, AnExistingDocumentIsReplacedAsTheOverwriteFlagAndTheUserSay) {
  struct Case {
    const char* name;
    bool overwrite_all;
    std::optional<int> answer;  // nullopt: no question
    int result;
  };
  const Case cases[] = {
      {"overwrite all: no question", true, std::nullopt, 1},
      {"asked, Yes", false, win::kIdYes, 1},
      {"asked, No", false, win::kIdNo, 0},
  };
  const Record record;
  Write(record);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Data());
    fs::create_directories(Data());
    testsupport::WriteText(Target("QRS"), "analysed");
    prompt_.ClearLog();
    if (c.answer) prompt_.QueueAnswer(*c.answer);
    const Outcome outcome = Import(record, c.overwrite_all);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(Messages(), c.answer ? std::vector<std::string>{std::string("File ") + kRecordName +
                                                              " already exists !\n\nOverwrite ?"}
                                   : std::vector<std::string>{});
    if (c.result == 1) {
      EXPECT_EQ(ReadDocument(Target("QRS")).patient.surname, "A1201");
      EXPECT_EQ(Listing(Data()).size(), 3u);
    } else {
      EXPECT_EQ(outcome.error, std::string("Did not overwrite file - ") + kRecordName);
      EXPECT_EQ(Listing(Data()), (std::vector<std::string>{kRecordName}));
      EXPECT_EQ(ReadBytes(Target("QRS")), (std::vector<uint8_t>{'a', 'n', 'a', 'l', 'y', 's', 'e', 'd'}));
    }
  }
}

// --- KEKG files --------------------------------------------------------------------------------------

class KekgImportTest : public ::testing::Test, public importtest::ImportDocFixture {};

TEST_F(KekgImportTest, TheDocumentGoesBesideTheSignalFile) {
  struct Case {
    const char* file;
    const char* document;
    const char* surname;
  };
  const Case cases[] = {
      {"AHA1201.552", "AHA1201.QRS", "AHA1201"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXY.252", "ABCDEFGHIJKLMNOPQRSTUVWXY.QRS", "ABCDEFGHIJKLMNOPQRST"},
      // Twenty characters, not twenty bytes.
      {"\xC3\x84rztin M\xC3\xBCller-L\xC3\xBC"
       "denscheid.2C3",
       "\xC3\x84rztin M\xC3\xBCller-L\xC3\xBC"
       "denscheid.QRS",
       "\xC3\x84rztin M\xC3\xBCller-L\xC3\xBC"
       "dens"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> signal = Ramp(300, 1);
    testsupport::WriteBytes(Source() / c.file, signal);
    std::string error;
    ASSERT_TRUE(tools::ImportKEKGFile(Doc(), (Source() / c.file).string(), false, error)) << error;
    EXPECT_EQ(error, "");
    const Members document = ReadDocument(Source() / c.document);
    EXPECT_EQ(document.patient.surname, c.surname);
    EXPECT_EQ(document.recording.identity_text, "      ");
    EXPECT_EQ(document.beats, 0);
    EXPECT_EQ(ReadBytes(Source() / c.file), signal);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(KekgImportTest, TheNewDocumentDoesNotTakeTheChannelsOfTheOpenRecording) {
  // A three-channel recording open, analysed on its first and third channel.
  document::DocumentContext& context = document::Context();
  context.g_RecordingChannels = {3, 3, {0, 1, 2}};
  context.g_AnalysisChannels = {2, 2, {0, 2, 0}};
  context.g_STChannels = {2, 2, {2, 0, 0}};
  const document::DocumentContext open = context;
  testsupport::WriteBytes(Source() / "AHA1201.552", Ramp(300, 1));
  std::string error;
  ASSERT_TRUE(tools::ImportKEKGFile(Doc(), (Source() / "AHA1201.552").string(), false, error)) << error;
  EXPECT_EQ(context.g_AnalysisChannels, open.g_AnalysisChannels);
  EXPECT_EQ(context.g_STChannels, open.g_STChannels);
  (void)ReadDocument(Source() / "AHA1201.QRS");
  EXPECT_EQ(context.g_RecordingChannels.count, 2);
  EXPECT_EQ(context.g_AnalysisChannels, (document::ChannelSet{2, 2, {0, 1, 0}}));
  EXPECT_EQ(context.g_STChannels, (document::ChannelSet{2, 2, {0, 1, 0}}));
}

TEST_F(KekgImportTest, AnExistingDocumentIsReplacedAsTheOverwriteFlagAndTheUserSay) {
  const fs::path signal = Source() / "AHA1201.552";
  const fs::path document = Source() / "AHA1201.QRS";
  testsupport::WriteBytes(signal, Ramp(300, 1));
  struct Case {
    const char* name;
    bool overwrite_all;
    std::optional<int> answer;
    bool result;
  };
  const Case cases[] = {
      {"overwrite all: no question", true, std::nullopt, true},
      {"asked, Yes", false, win::kIdYes, true},
      {"asked, No", false, win::kIdNo, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::WriteText(document, "analysed");
    prompt_.ClearLog();
    if (c.answer) prompt_.QueueAnswer(*c.answer);
    std::string error;
    EXPECT_EQ(tools::ImportKEKGFile(Doc(), signal.string(), c.overwrite_all, error), c.result);
    EXPECT_EQ(Messages(), c.answer ? std::vector<std::string>{"File " + document.string() +
                                                              " already exists !\n\nOverwrite ?"}
                                   : std::vector<std::string>{});
    if (c.result) {
      EXPECT_EQ(ReadDocument(document).patient.surname, "AHA1201");
    } else {
      EXPECT_EQ(error, "Did not overwrite file - " + document.string());
      EXPECT_EQ(ReadBytes(document), (std::vector<uint8_t>{'a', 'n', 'a', 'l', 'y', 's', 'e', 'd'}));
    }
  }
}

TEST_F(KekgImportTest, ADocumentThatCannotBeWrittenIsAnError) {
  struct Case {
    const char* name;
    const char* file;
    const char* document;
  };
  // A file chosen as the signal would be replaced by its own document.
  const Case cases[] = {{"a read-only document", "AHA1201.552", "AHA1201.QRS"},
                        {"a document chosen as the signal", "AHA1201.QRS", "AHA1201.QRS"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Source());
    fs::create_directories(Source());
    testsupport::WriteBytes(Source() / c.file, Ramp(300, 1));
    if (std::string(c.file) != c.document) {
      testsupport::WriteText(Source() / c.document, "analysed");
      fs::permissions(Source() / c.document, fs::perms::owner_read);
    }
    const std::vector<uint8_t> before = ReadBytes(Source() / c.document);
    std::string error;
    EXPECT_FALSE(tools::ImportKEKGFile(Doc(), (Source() / c.file).string(), true, error));
    EXPECT_EQ(error, "Error Writing QRS File");
    EXPECT_EQ(ReadBytes(Source() / c.document), before);
    EXPECT_EQ(Listing(Source()).size(), std::string(c.file) != c.document ? 2u : 1u);
    fs::permissions(Source() / c.document, fs::perms::owner_write, fs::perm_options::add);
  }
}

}  // namespace
