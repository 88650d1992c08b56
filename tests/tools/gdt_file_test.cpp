// The GDT link: the records it writes, byte for byte, and what it makes of the records the
// practice software leaves in the exchange folder.
#include "tools/gdt/gdt_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/context_guard.h"
#include "document/event.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "win/prompt.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compares the file with tests/golden/tools/<name>; UPDATE_GOLDEN=1 writes it instead.
void ExpectGoldenBytes(const std::string& name, const std::string& bytes) {
  const fs::path golden = fs::path(ZK_SOURCE_DIR) / "tests/golden/tools" / name;
  if (const char* update = std::getenv("UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    fs::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << bytes;
    return;
  }
  ASSERT_TRUE(fs::exists(golden)) << "missing golden file " << golden << " (run with UPDATE_GOLDEN=1)";
  EXPECT_EQ(bytes, ReadBytes(golden)) << golden;
}

// The lines of a record as written, without their CR LF; a line without CR LF fails the test.
std::vector<std::string> RecordLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF at byte " << start;
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// What every written record must satisfy: each prefix counts its line with CR LF, and the 8100
// field is the file size.
void ExpectFraming(const std::string& bytes) {
  const std::vector<std::string> lines = RecordLines(bytes);
  ASSERT_GE(lines.size(), 2u);
  for (const std::string& line : lines) {
    ASSERT_GE(line.size(), 7u) << line;
    EXPECT_EQ(std::stoi(line.substr(0, 3)), static_cast<int>(line.size() + 2)) << line;
  }
  EXPECT_EQ(lines[1].substr(0, 7), "0148100");
  EXPECT_EQ(std::stoi(lines[1].substr(7)), static_cast<int>(bytes.size()));
}

// A field line without its line end; content in cp1252.
std::string Line(const std::string& id, const std::string& content) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%03zu", content.size() + 9);
  return prefix + id + content;
}

// A field as the practice software writes it.
std::string Field(const std::string& id, const std::string& content) { return Line(id, content) + "\r\n"; }

// A complete answer of the given record type.
std::string Answer(const std::string& type, const std::string& procedure = "EKG04") {
  return Field("8000", type) + Field("8100", "00000") + Field("9218", "01.00") + Field("3000", "12345") +
         Field("3101", "M\xFCller") + Field("3102", "Anna") + Field("3103", "05031961") + Field("3110", "2") +
         Field("3622", "168") + Field("3623", "61") + Field("8402", procedure);
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void SetModified(const fs::path& file, time_t seconds) {
  const struct utimbuf times { seconds, seconds };
  ASSERT_EQ(::utime(file.c_str(), &times), 0) << file;
}

// A document with user interface, so that the write number reaches the profile, on an exchange
// folder of its own.
class GdtFileTest : public ::testing::Test {
 protected:
  GdtFileTest() {
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(profile_, clock_, defaults);
    fs::create_directories(Exchange());
    doc_->SetGDTDirectory(Exchange().string());
  }
  ~GdtFileTest() override {
    doc_.reset();
    fs::current_path(cwd_);
  }

  fs::path Exchange() const { return temp_.Path() / "gdt"; }
  CZK470Doc& Doc() { return *doc_; }
  std::optional<int> StoredWriteNumber() const { return profile_.GetInt("GDT", "WriteNr"); }

  // The patient record that a read starts from.
  TPatientData Before() const {
    TPatientData patient(clock_);
    patient.patient_id = "1";
    patient.surname = "Alt";
    patient.first_name = "Vor";
    patient.sex = 0;
    patient.height = 150;
    patient.weight = 50;
    return patient;
  }

  fs::path cwd_ = fs::current_path();
  ContextGuard context_;
  testsupport::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{platform::LocalDateTime{2026, 12, 11, 10, 0, 0, 0}};
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt scoped_prompt_{prompt_};
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(GdtFileTest, RequestIsTheGoldenRecordUnderTheNextWriteNumber) {
  TGDTFile link(Doc());
  EXPECT_EQ(link.RequestPatientData(), 1);
  EXPECT_EQ(FileNames(Exchange()), std::vector<std::string>{"EDVZK4.000"});
  const std::string bytes = ReadBytes(Exchange() / "EDVZK4.000");
  ExpectFraming(bytes);
  ExpectGoldenBytes("gdt_request_6300.gdt", bytes);
  EXPECT_EQ(StoredWriteNumber(), 1);
}

TEST_F(GdtFileTest, WriteNumberRunsFrom999To000AndIsStoredBeforeTheFileIsWritten) {
  struct Case {
    const char* name;
    int stored;
    const char* extension;
    int next;
  };
  constexpr Case kCases[] = {
      {"last number", 999, "999", 0},
      {"after the last", 0, "000", 1},
      {"hand-edited beyond three digits", 4711, "000", 1},
      {"hand-edited negative", -5, "000", 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Exchange());
    fs::create_directories(Exchange());
    Doc().GetSettings().SetInt(SettingKey::kGDTWriteNr, c.stored);
    TGDTFile link(Doc());
    EXPECT_EQ(link.RequestPatientData(), 1);
    EXPECT_EQ(FileNames(Exchange()), std::vector<std::string>{std::string("EDVZK4.") + c.extension});
    EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kGDTWriteNr), c.next);
    EXPECT_EQ(StoredWriteNumber(), c.next);
  }
  // The file that cannot be made still takes its number; nothing is left behind.
  fs::remove_all(Exchange());
  fs::create_directories(Exchange() / "EDVZK4.007");
  Doc().GetSettings().SetInt(SettingKey::kGDTWriteNr, 7);
  TGDTFile link(Doc());
  EXPECT_EQ(link.RequestPatientData(), 0);
  EXPECT_EQ(StoredWriteNumber(), 8);
  EXPECT_EQ(FileNames(Exchange()), std::vector<std::string>{"EDVZK4.007"});
  EXPECT_TRUE(fs::is_directory(Exchange() / "EDVZK4.007"));
}

TEST_F(GdtFileTest, AnExistingFileOfTheNameIsReplacedWhole) {
  std::ofstream(Exchange() / "EDVZK4.000", std::ios::binary) << std::string(500, 'x');
  TGDTFile link(Doc());
  EXPECT_EQ(link.RequestPatientData(), 1);
  ExpectFraming(ReadBytes(Exchange() / "EDVZK4.000"));
  EXPECT_EQ(FileNames(Exchange()), std::vector<std::string>{"EDVZK4.000"});
}

TEST_F(GdtFileTest, PatientFieldsOfTheResult) {
  struct Case {
    const char* name;
    int sex;
    double height;
    double weight;
    std::vector<std::string> want;  // lines 5 to 7
  };
  const Case kCases[] = {
      {"female",
       1,
       175.9,
       7,
       {"0103110"
        "2",
        "0123622175", "0123623007"}},
      {"male",
       2,
       80.6,
       92.99,
       {"0103110"
        "1",
        "0123622080", "0123623092"}},
      {"not given",
       0,
       0,
       1234.5,
       {"0103110"
        "1",
        "0123622000",
        "0133623"
        "1234"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().GetPatientData().patient_id = "ID 77";
    Doc().GetPatientData().sex = c.sex;
    Doc().GetPatientData().height = c.height;
    Doc().GetPatientData().weight = c.weight;
    TGDTFile link(Doc());
    ASSERT_EQ(link.SendResult(), 1);
    const std::vector<std::string>& lines = link.Lines();
    ASSERT_GT(lines.size(), 7u);
    EXPECT_EQ(lines[3], "0143000ID 77\n");
    for (size_t i = 0; i < c.want.size(); ++i) EXPECT_EQ(lines[4 + i], c.want[i] + "\n") << i;
  }
}

// A 65-minute analysed recording, made once per process.
struct ResultRecording {
  testsupport::TempFolder folder{"gdt_result"};
  fs::path qrs = coretest::MakeAnalysedRecording(folder.Path() / "00001", 65, 2);
};

const ResultRecording& Recording() {
  static const ResultRecording* made = new ResultRecording;
  return *made;
}

TEST_F(GdtFileTest, ResultOfAnAnalysedRecordingIsTheGoldenRecord) {
  ASSERT_TRUE(Doc().OnOpenDocument(Recording().qrs.string()));
  Doc().GetPatientData().patient_id = "4711";
  Doc().GetPatientData().sex = 1;
  Doc().GetPatientData().height = 175.9;
  Doc().GetPatientData().weight = 7;
  Doc().GetRecordingData().diagnosis = "as the dialog wraps it";
  Doc().GetSettings().SetInt(SettingKey::kGDTWriteNr, 41);
  // The findings dialog's lines: one apostrophe line and one with a character 1 among them.
  TGDTFile link(Doc(), [](CZK470Doc&) {
    return std::optional<std::vector<std::string>>(
        {"Sinusrhythmus, Herzfrequenz f\xC3\xBCr das Alter normal,", "'", "keine Pausen.\x01verdeckt"});
  });
  ASSERT_EQ(link.SendResult(), 1);
  const std::string bytes = ReadBytes(Exchange() / "EDVZK4.041");
  ExpectFraming(bytes);
  ExpectGoldenBytes("gdt_result_6310.gdt", bytes);

  const std::vector<std::string> lines = RecordLines(bytes);
  ASSERT_EQ(lines.size(), 10u + 2u + 69u);
  const std::vector<std::string> head(lines.begin(), lines.begin() + 12);
  char size[8];
  std::snprintf(size, sizeof size, "%05zu", bytes.size());
  EXPECT_EQ(head, (std::vector<std::string>{
                      Line("8000", "6310"), Line("8100", size), Line("9218", "01.00"), Line("3000", "4711"),
                      Line("3110", "2"), Line("3622", "175"), Line("3623", "007"), Line("8402", "EKG04"),
                      Line("8432", "15012024"), Line("8439", "080000"),
                      // "\xFC" is one byte on disk, and the prefix counts it so.
                      Line("6220", "Sinusrhythmus, Herzfrequenz f\xFCr das Alter normal,"),
                      Line("6220", "keine Pausen.")}));
  EXPECT_EQ(lines[12], Line("8410", "Dauer der Aufnahme"));
  EXPECT_EQ(lines[13], Line("8420", "01:05"));
  EXPECT_EQ(lines[14], Line("8421", "HH:MM"));
  // The beat count has no unit: its unit line is empty.
  EXPECT_EQ(lines[15], Line("8410", "Total QRS"));
  EXPECT_EQ(lines[17], "0098421");
  EXPECT_EQ(lines[lines.size() - 3],
            "0278410"
            "Anzahl Abs. Arrhy.");
}

// The longest episodes are counted for the record; uncounted, their durations mean nothing.
TEST_F(GdtFileTest, LongestEpisodesAreCountedBeforeTheyAreSent) {
  ASSERT_TRUE(Doc().OnOpenDocument(Recording().qrs.string()));
  constexpr int32_t kRate = 125;
  Doc().GetEventList().Append(TEvent(600 * kRate, 620 * kRate, kClassBradycardia));
  Doc().GetEventList().Append(TEvent(1200 * kRate, 1265 * kRate, kClassTachycardia));
  TGDTFile link(Doc());
  ASSERT_EQ(link.SendResult(), 1);
  const std::vector<std::string> lines = RecordLines(ReadBytes(Exchange() / "EDVZK4.000"));
  const auto value_of = [&lines](const std::string& test) {
    const auto at = std::find(lines.begin(), lines.end(), Line("8410", test));
    return at != lines.end() && at + 1 != lines.end() ? (at + 1)->substr(7) : "(missing)";
  };
  EXPECT_EQ(value_of("Laengste Bradykardie"), "00:00:20");
  EXPECT_EQ(value_of("Laengste Tachykardie"), "00:01:05");
}

TEST_F(GdtFileTest, FindingsLinesAreTheCleanedDisplayLines) {
  using Lines = std::optional<std::vector<std::string>>;
  struct Case {
    const char* name;
    std::string diagnosis;
    Lines display;  // what the findings dialog shows; nullopt: it cannot be made
    std::vector<std::string> want;
  };
  const std::string long_line(300, 'x');
  const Case kCases[] = {
      {"empty diagnosis", "", Lines({"never asked"}), {}},
      {"apostrophe lines", "x", Lines({"'", "''", "'ab", "'abc", ""}), {"'abc"}},
      {"cut at character 1",
       "x",
       Lines({"ab\x01"
              "cd",
              "\x01"
              "gone"}),
       {"ab"}},
      {"line ends inside a line", "x", Lines({"a\r\nb\tc"}), {"a  b c"}},
      {"no dialog: its own lines",
       "Zeile eins\r\nZeile zwei\n\nEnde",
       std::nullopt,
       {"Zeile eins", "Zeile zwei", "Ende"}},
      {"longer than the dialog hands out", "x", Lines({long_line}), {long_line.substr(0, 295)}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().GetRecordingData().diagnosis = c.diagnosis;
    TGDTFile link(Doc(), [&c](CZK470Doc&) { return c.display; });
    ASSERT_EQ(link.SendResult(), 1);
    std::vector<std::string> findings;
    for (const std::string& line : link.Lines()) {
      if (line.substr(3, 4) == "6220") findings.push_back(line.substr(7, line.size() - 8));
    }
    EXPECT_EQ(findings, c.want);
    // Ten lines before the findings, 69 after them.
    EXPECT_EQ(link.Lines().size(), 10u + c.want.size() + 69u);
  }
}

TEST_F(GdtFileTest, AnOverlongDiagnosisKeepsTheRecordLengthInFiveDigits) {
  Doc().GetRecordingData().diagnosis = "x";
  TGDTFile link(Doc(), [](CZK470Doc&) {
    return std::optional<std::vector<std::string>>(std::vector<std::string>(400, std::string(290, 'y')));
  });
  ASSERT_EQ(link.SendResult(), 1);
  const std::string bytes = ReadBytes(Exchange() / "EDVZK4.000");
  EXPECT_LE(bytes.size(), TGDTFile::kMaxRecordBytes);
  ExpectFraming(bytes);
  const std::vector<std::string> lines = RecordLines(bytes);
  EXPECT_EQ(lines.back().substr(3, 4), "8421");
  EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.substr(3, 4) == "6220"; }),
            300);
}

TEST_F(GdtFileTest, ReadingARecord) {
  struct Case {
    const char* name;
    std::string bytes;
    bool new_examination;  // read as 6302 instead of 6301
    int result;
    bool deleted;
    std::function<void(TPatientData&)> change;  // applied to Before() for the expected record
  };
  const std::string full = Answer("6301");
  const auto taken = [](TPatientData& p) {
    p.patient_id = "12345";
    p.surname = "M\xC3\xBCller";
    p.first_name = "Anna";
    p.birth_date = document::OleDateOnly({1961, 3, 5, 0, 0, 0, 0});
    p.sex = 1;
    p.height = 168;
    p.weight = 61;
  };
  const auto none = [](TPatientData&) {};
  const std::string head = Field("8000", "6301") + Field("8100", "00000") + Field("9218", "01.00");
  const Case kCases[] = {
      {"answer", full, false, 1, true, taken},
      {"new examination", Answer("6302"), true, 1, true, taken},
      {"blank line at the end", full + "\r\n\r\n", false, 1, true, taken},
      {"lines after the eleventh not looked at", full + Field("8402", "EKG99") + "01\r\n", false, 1, true,
       taken},
      {"fewer than eleven lines", head + Field("3000", "77"), false, 1, true,
       [](TPatientData& p) { p.patient_id = "77"; }},
      {"other order loses the misplaced fields",
       head + Field("3000", "9") + Field("3102", "Anna") + Field("3101", "Meier") + Field("3103", "05031961"),
       false, 1, true,
       [](TPatientData& p) {
         p.patient_id = "9";
         p.birth_date = document::OleDateOnly({1961, 3, 5, 0, 0, 0, 0});
       }},
      {"sex 1 reads male, odd numbers read as far as they go",
       head + Field("3000", "9") + Field("3101", "A") + Field("3102", "B") + Field("3103", "31022020") +
           Field("3110", "1") + Field("3622", "180cm") + Field("3623", "schwer"),
       false, 1, true,
       [](TPatientData& p) {
         p.patient_id = "9";
         p.surname = "A";
         p.first_name = "B";
         p.birth_date = {1, 0.0};
         p.sex = 2;
         p.height = 180;
         p.weight = 0;
       }},
      {"another procedure", Answer("6301", "EKG05"), false, 0, true, none},
      {"another record type", Answer("6302"), false, 0, true, none},
      {"line shorter than seven", head + "00730\r\n", false, 0, true, none},
      {"prefix longer than the line", head + Field("3000", "77").replace(0, 3, "012"), false, 0, true, none},
      {"prefix not a number", head + Field("3000", "77").replace(0, 3, "0x1"), false, 0, true, none},
      {"only blank lines", "\r\n\r\n", false, 0, true, none},
      {"still being written", full.substr(0, full.size() - 2), false, 0, false, none},
      {"still being written, CR out", full.substr(0, full.size() - 1), false, 0, false, none},
      {"still empty", "", false, 0, false, none},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path file = Exchange() / "ZK4EDV.001";
    testsupport::WriteText(file, c.bytes);
    TPatientData patient = Before();
    TGDTFile link(Doc());
    EXPECT_EQ(c.new_examination ? link.ReadNewExamination(patient) : link.ReadPatientData(patient), c.result);
    TPatientData want = Before();
    c.change(want);
    EXPECT_EQ(patient, want);
    EXPECT_EQ(fs::exists(file), !c.deleted);
    fs::remove(file);
  }
}

TEST_F(GdtFileTest, TheNewestAnswerIsReadAndTheOthersStay) {
  const time_t now = 1'765'000'000;
  struct File {
    const char* name;
    time_t modified;
  };
  const File kFiles[] = {
      {"ZK4EDV.001", now - 60},   // older answer
      {"zk4edv.002", now},        // newest, names compare without case
      {"ZK4EDV.003", now},        // as new, listed later
      {"ZK4EDVX.004", now + 60},  // another pattern
      {"EDVZK4.005", now + 60},   // the system's own record
      {"ZK4EDV", now - 120},      // no extension: matches
  };
  for (const File& f : kFiles) {
    testsupport::WriteText(Exchange() / f.name, Answer("6301"));
    SetModified(Exchange() / f.name, f.modified);
  }
  fs::create_directories(Exchange() / "ZK4EDV.999");  // a folder is no answer
  TGDTFile link(Doc());
  EXPECT_EQ(link.GetNewestFile(), link.ExchangeFolder() + "ZK4EDV.003");
  EXPECT_EQ(link.FoundNames(),
            (std::vector<std::string>{"ZK4EDV", "ZK4EDV.001", "ZK4EDV.003", "zk4edv.002"}));
  TPatientData patient = Before();
  EXPECT_EQ(link.ReadPatientData(patient), 1);
  EXPECT_EQ(FileNames(Exchange()), (std::vector<std::string>{"EDVZK4.005", "ZK4EDV", "ZK4EDV.001",
                                                             "ZK4EDV.999", "ZK4EDVX.004", "zk4edv.002"}));
  // A file dated before 1971 is never chosen.
  const fs::path old = Exchange() / "ZK4EDV.1970";
  testsupport::WriteText(old, Answer("6301"));
  SetModified(old, 3600);
  for (const char* name : {"ZK4EDV", "ZK4EDV.001", "zk4edv.002"}) fs::remove(Exchange() / name);
  EXPECT_EQ(TGDTFile(Doc()).ReadPatientData(patient), 0);
  EXPECT_TRUE(fs::exists(old));
}

TEST_F(GdtFileTest, AnEmptyExchangeFolderIsTheDataDirectory) {
  Doc().SetGDTDirectory("");
  TGDTFile link(Doc());
  std::string data = Doc().GetDataDirectory();
  if (data.back() != '/') data += '/';
  EXPECT_EQ(link.ExchangeFolder(), data);
  EXPECT_EQ(link.RequestPatientData(), 1);
  EXPECT_TRUE(fs::exists(fs::path(data) / "EDVZK4.000"));
}

// Names from an old profile that would lead out of the exchange folder: nothing is written,
// read or deleted, and the write number stays.
TEST_F(GdtFileTest, UnsafeShortNamesTouchNoFile) {
  struct Case {
    const char* name;
    const char* own;
    const char* practice;
  };
  constexpr Case kCases[] = {
      {"own leads up", "../x", "EDV"},
      {"practice leads up", "ZK4", ".."},
      {"slash", "ZK4", "a/b"},
      {"control character", "Z\x01K", "EDV"},
  };
  const fs::path outside = temp_.Path() / "outside";
  fs::create_directories(outside);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Doc().GetSettings().SetText(SettingKey::kGDTZK470Shorty, c.own);
    Doc().GetSettings().SetText(SettingKey::kGDTEDVShorty, c.practice);
    Doc().GetSettings().SetInt(SettingKey::kGDTWriteNr, 5);
    // What a careless link would read for "../x" + "EDV".
    testsupport::WriteText(outside / "xEDV.001", Answer("6301"));
    testsupport::WriteText(Exchange() / "ZK4EDV.001", Answer("6301"));
    TGDTFile link(Doc());
    TPatientData patient = Before();
    EXPECT_EQ(link.RequestPatientData(), 0);
    EXPECT_EQ(link.SendResult(), 0);
    EXPECT_EQ(link.ReadPatientData(patient), 0);
    EXPECT_EQ(link.ReadNewExamination(patient), 0);
    EXPECT_EQ(patient, Before());
    EXPECT_EQ(Doc().GetSettings().Int(SettingKey::kGDTWriteNr), 5);
    EXPECT_EQ(FileNames(outside), std::vector<std::string>{"xEDV.001"});
    EXPECT_EQ(FileNames(Exchange()), std::vector<std::string>{"ZK4EDV.001"});
  }
}

// Whatever the names, the file being written is never one that either side's reader takes.
TEST_F(GdtFileTest, TheTempFileMatchesNeitherReadPattern) {
  struct Case {
    const char* own;
    const char* practice;
  };
  constexpr Case kCases[] = {{"ZK4", "EDV"}, {"", ""}, {"~A", ""}, {"#", "~"}, {"_", "#~"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.own) + "|" + c.practice);
    Doc().GetSettings().SetText(SettingKey::kGDTZK470Shorty, c.own);
    Doc().GetSettings().SetText(SettingKey::kGDTEDVShorty, c.practice);
    fs::remove_all(Exchange());
    fs::create_directories(Exchange());
    TGDTFile link(Doc());
    // The temp file is the prefix, eight hex digits and ".TMP".
    const std::string temp = link.TempFilePrefix() + "0a1b2c3d.TMP";
    for (const std::string& prefix : {std::string(c.own) + c.practice, std::string(c.practice) + c.own}) {
      const bool matches = temp.size() >= prefix.size() && temp.compare(0, prefix.size(), prefix) == 0 &&
                           (temp.size() == prefix.size() || temp[prefix.size()] == '.');
      EXPECT_FALSE(matches) << temp << " against " << prefix;
    }
    EXPECT_EQ(link.RequestPatientData(), 1);
    EXPECT_EQ(FileNames(Exchange()).size(), 1u);
  }
}

}  // namespace
