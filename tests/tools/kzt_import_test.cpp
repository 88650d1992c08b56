#include "tools/kzt_import.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/document_host.h"
#include "document/record_format.h"
#include "tools/import_fixture.h"

namespace {

namespace fs = std::filesystem;
using fs::path;

const std::vector<std::string> kLines = {"NAME\tMuster", "PATID\t4711",      "BIRTHDAY\t01.02.1950",
                                         "PACER\t0",     "HEIGHT\t180",      "WEIGHT\t75",
                                         "SEX\t1",       "DATE\t31.12.2003", "TIME\t07:05:09"};

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::vector<std::string> With(size_t line, const std::string& text) {
  std::vector<std::string> lines = kLines;
  lines[line] = text;
  return lines;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

double TimeOfDay(int h, int m, int s) { return (h * 3600 + m * 60 + s) / 86400.0; }

class KztParseTest : public ::testing::Test {
 protected:
  std::optional<tools::KztRecords> Parse(const std::string& text) {
    return tools::ParseKztFile(Bytes(text), clock_);
  }
  platform::ManualClock clock_{platform::LocalDateTime{2026, 12, 10, 12, 0, 0, 0}};
};

TEST_F(KztParseTest, NineLinesFillThePatientAndRecordingRecords) {
  for (const char* end : {"\r\n", "\n"}) {
    SCOPED_TRACE(end[0] == '\r' ? "CR LF" : "LF");
    const std::optional<tools::KztRecords> records = Parse(Join(kLines, end));
    ASSERT_TRUE(records);
    const TPatientData& patient = records->patient;
    const TRecordingData& recording = records->recording;
    EXPECT_EQ(patient.surname, "Muster");
    EXPECT_EQ(patient.first_name, "");
    EXPECT_EQ(patient.patient_id, "4711");
    EXPECT_EQ(patient.birth_date, document::OleDateOnly({1950, 2, 1}));
    EXPECT_EQ(patient.sex, 1);
    EXPECT_EQ(patient.height, 180.0);
    EXPECT_EQ(patient.weight, 75.0);
    EXPECT_EQ(patient.pacemaker, 0);
    EXPECT_EQ(recording.identity_text, "KZT");
    EXPECT_EQ(recording.pacemaker_recording, 0);
    // The date at midnight, the time on day zero.
    EXPECT_EQ(recording.start_date, document::OleDateOnly({2003, 12, 31}));
    EXPECT_EQ(recording.start_time.status, 0);
    EXPECT_DOUBLE_EQ(recording.start_time.days, TimeOfDay(7, 5, 9));
  }
  // A last line without its line end counts as well.
  std::string text = Join(kLines, "\n");
  text.pop_back();
  EXPECT_TRUE(Parse(text));
}

TEST_F(KztParseTest, ThereMustBeExactlyNineLinesWithTheirKeysInOrder) {
  std::vector<std::string> swapped = kLines;
  std::swap(swapped[4], swapped[5]);
  std::vector<std::string> eight = kLines;
  eight.pop_back();
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"an empty tenth line", Join(kLines) + "\r\n"},
      {"a tenth line of text", Join(kLines) + "END\r\n"},
      {"eight lines", Join(eight)},
      {"height and weight swapped", Join(swapped)},
      {"a key without its tab", Join(With(0, "NAME Muster"))},
      {"a key in lower case", Join(With(8, "time\t07:05:09"))},
      {"an empty file", ""},
      {"lines split at CR alone", Join(kLines, "\r")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Parse(c.text));
  }
}

TEST_F(KztParseTest, ValuesAreReadAsTheRecordsHoldThem) {
  const platform::OleDateTime today = document::OleDateOnly(clock_.Now());
  struct Case {
    const char* name;
    size_t line;
    std::string text;
    std::function<void(const tools::KztRecords&)> check;
  };
  const Case cases[] = {
      {"SEX 0 is male", 6, "SEX\t0", [](const auto& r) { EXPECT_EQ(r.patient.sex, 2); }},
      {"SEX 1 is female", 6, "SEX\t1", [](const auto& r) { EXPECT_EQ(r.patient.sex, 1); }},
      {"SEX 2 is not set", 6, "SEX\t2", [](const auto& r) { EXPECT_EQ(r.patient.sex, 0); }},
      // A value without digits would read as 0 and make the patient male.
      {"an empty SEX is not set", 6, "SEX\t", [](const auto& r) { EXPECT_EQ(r.patient.sex, 0); }},
      {"SEX of letters is not set", 6, "SEX\tm", [](const auto& r) { EXPECT_EQ(r.patient.sex, 0); }},
      {"PACER 1 in both records", 3, "PACER\t1",
       [](const auto& r) {
         EXPECT_EQ(r.patient.pacemaker, 1);
         EXPECT_EQ(r.recording.pacemaker_recording, 1);
       }},
      {"an empty NAME", 0, "NAME\t", [](const auto& r) { EXPECT_EQ(r.patient.surname, ""); }},
      {"a cp1252 NAME", 0, "NAME\tM\xFCller",
       [](const auto& r) { EXPECT_EQ(r.patient.surname, "M\xC3\xBCller"); }},
      {"HEIGHT takes the leading digits", 4, "HEIGHT\t175.5 cm",
       [](const auto& r) { EXPECT_EQ(r.patient.height, 175.0); }},
      {"WEIGHT without digits is 0", 5, "WEIGHT\tn/a",
       [](const auto& r) { EXPECT_EQ(r.patient.weight, 0.0); }},
      {"a huge number is held", 5, "WEIGHT\t99999999999999999999",
       [](const auto& r) { EXPECT_EQ(r.patient.weight, 999999999.0); }},
      {"DATE separators may be anything", 7, "DATE\t05-03/2004",
       [](const auto& r) {
         EXPECT_EQ(r.recording.start_date, document::OleDateOnly({2004, 3, 5}));
       }},
      {"DATE 31.02. is invalid", 7, "DATE\t31.02.2003",
       [&](const auto& r) {
         EXPECT_EQ(r.recording.start_date, (platform::OleDateTime{1, today.days}));
       }},
      {"BIRTHDAY cut short is invalid", 2, "BIRTHDAY\t01.02",
       [&](const auto& r) {
         EXPECT_EQ(r.patient.birth_date, (platform::OleDateTime{1, today.days}));
       }},
      {"TIME 25:00:00 is invalid", 8, "TIME\t25:00:00",
       [](const auto& r) { EXPECT_EQ(r.recording.start_time.status, 1); }},
      {"TIME 23:59:59", 8, "TIME\t23:59:59",
       [](const auto& r) { EXPECT_DOUBLE_EQ(r.recording.start_time.days, TimeOfDay(23, 59, 59)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<tools::KztRecords> records = Parse(Join(With(c.line, c.text)));
    ASSERT_TRUE(records);
    c.check(*records);
  }
}

// --- On disk and through the document's open ------------------------------------------------------

// The program's host: its KZT conversion is the importer.
class KztHost : public document::DocumentHost {
 public:
  bool ImportKztFile(CZK470Doc& doc, const std::string& path) override {
    return tools::ImportKztFile(doc, path);
  }
};

class KztImportTest : public ::testing::Test, public importtest::ImportDocFixture {
 protected:
  void SetUp() override { Doc().SetHost(&host_); }
  void TearDown() override { Doc().SetHost(nullptr); }

  std::string WriteKzt(const std::string& text) {
    testsupport::WriteText(Kzt(), text);
    return Kzt().string();
  }
  path Kzt() const { return Data() / "name.KZT"; }
  path Qrs() const { return Data() / "name.QRS"; }

  // A recording "name.QRS" of this surname with its sample file.
  void WriteRecording(const std::string& surname) {
    TPatientData patient(Clock());
    patient.surname = surname;
    platform::ArchiveWriter ar;
    patient.Serialize(ar, 32);
    TRecordingData(Clock()).Serialize(ar, 32);
    TQRSList beats;
    beats.Append(TQRSComplex(100, 1));
    beats.Serialize(ar, 32);
    TEventList().Serialize(ar, 32);
    testsupport::WriteBytes(Qrs(), ar.TakeBytes());
  }

  KztHost host_;
};

TEST_F(KztImportTest, AWellFormedFileBecomesTheDocumentAndGoes) {
  WriteKzt(Join(kLines));
  EXPECT_TRUE(tools::ImportKztFile(Doc(), Kzt().string()));
  EXPECT_FALSE(fs::exists(Kzt()));
  const Members written = ReadDocument(Qrs());
  EXPECT_EQ(written.patient.surname, "Muster");
  EXPECT_EQ(written.patient.sex, 1);
  EXPECT_EQ(written.recording.identity_text, "KZT");
  EXPECT_EQ(written.recording.start_date, document::OleDateOnly({2003, 12, 31}));
  EXPECT_EQ(written.beats, 0);
  EXPECT_EQ(written.events, 0);
  EXPECT_EQ(importtest::Listing(Data()), (std::vector<std::string>{"name.QRS"}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(KztImportTest, AFailedConversionChangesNothing) {
  struct Case {
    const char* name;
    std::optional<std::string> text;  // nullopt: no KZT file
  };
  const Case cases[] = {
      {"a tenth line", Join(kLines) + "\r\n"},
      {"another order", Join(With(0, "PATID\t1"))},
      {"no file", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(Kzt());
    if (c.text) WriteKzt(*c.text);
    EXPECT_FALSE(tools::ImportKztFile(Doc(), Kzt().string()));
    EXPECT_EQ(fs::exists(Kzt()), c.text.has_value());
    EXPECT_FALSE(fs::exists(Qrs()));
  }
}

TEST_F(KztImportTest, AnExistingDocumentIsReplacedOnlyWhenTheUserAgrees) {
  WriteRecording("Alt");
  const std::vector<uint8_t> old_document = importtest::ReadBytes(Qrs());
  const std::string kzt_text = Join(kLines);
  WriteKzt(kzt_text);

  prompt_.QueueAnswer(win::kIdNo);
  EXPECT_TRUE(tools::ImportKztFile(Doc(), Kzt().string()));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"File " + Qrs().string() + " already exists !\n\nOverwrite ?"}));
  EXPECT_EQ(importtest::ReadBytes(Qrs()), old_document);
  EXPECT_EQ(importtest::ReadBytes(Kzt()), Bytes(kzt_text));

  prompt_.QueueAnswer(win::kIdYes);
  EXPECT_TRUE(tools::ImportKztFile(Doc(), Kzt().string()));
  EXPECT_EQ(ReadDocument(Qrs()).patient.surname, "Muster");
  EXPECT_EQ(ReadDocument(Qrs()).beats, 0);
  EXPECT_FALSE(fs::exists(Kzt()));
  EXPECT_EQ(importtest::Listing(Data()), (std::vector<std::string>{"name.QRS"}));
}

TEST_F(KztImportTest, FileOpenOfAKztFileOpensTheConvertedRecording) {
  testsupport::WriteBytes(Data() / "name.KHI", importtest::SilentKhi(2));
  WriteKzt(Join(kLines));
  ASSERT_TRUE(Doc().OnOpenDocument(Kzt().string()));
  EXPECT_EQ(Doc().GetPathName(), Qrs().string());
  EXPECT_EQ(Doc().GetPatientData().surname, "Muster");
  EXPECT_EQ(Doc().GetRecordingData().identity_text, "KZT");
  EXPECT_EQ(Doc().GetQRSList().GetSize(), 0);
  EXPECT_FALSE(fs::exists(Kzt()));
}

TEST_F(KztImportTest, DecliningToReplaceOpensTheRecordingThatIsThere) {
  testsupport::WriteBytes(Data() / "name.KHI", importtest::SilentKhi(2));
  WriteRecording("Alt");
  WriteKzt(Join(kLines));
  prompt_.QueueAnswer(win::kIdNo);
  ASSERT_TRUE(Doc().OnOpenDocument(Kzt().string()));
  EXPECT_EQ(Doc().GetPathName(), Qrs().string());
  EXPECT_EQ(Doc().GetPatientData().surname, "Alt");
  EXPECT_EQ(Doc().GetQRSList().GetSize(), 1);
  EXPECT_TRUE(fs::exists(Kzt()));
}

TEST_F(KztImportTest, FileOpenOfAMalformedKztFileFailsWithTheConversionMessage) {
  testsupport::WriteBytes(Data() / "name.KHI", importtest::SilentKhi(2));
  WriteKzt(Join(kLines) + "\r\n");
  EXPECT_FALSE(Doc().OnOpenDocument(Kzt().string()));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Errors occured during converting to ZK-470 file format."}));
  EXPECT_TRUE(Doc().GetPathName().empty());
  EXPECT_TRUE(fs::exists(Kzt()));
  EXPECT_FALSE(fs::exists(Qrs()));
}

}  // namespace
