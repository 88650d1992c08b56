#include "reports/narrative_letter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "reports/narrative_test_data.h"
#include "reports/richtext/rtf_reader.h"
#include "support/screen_golden.h"
#include "win/prompt.h"

namespace fs = std::filesystem;

namespace {

const fs::path kTemplates = fs::path(ZK_SOURCE_DIR) / "data/letters";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

size_t FileCount(const fs::path& folder) {
  size_t n = 0;
  if (folder.empty()) return n;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
  return n;
}

std::vector<std::string> Paragraphs(const std::string& rtf) {
  const std::string text = richtext::ReadRtf(rtf, "letter").document.PlainText();
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

class NarrativeLetterTest : public testing::Test {
 protected:
  void SetUp() override { ResetNarrativeTestData(); }
  void TearDown() override { ResetNarrativeTestData(); }

  // The letter made from the test set: its bytes, the file removed.
  std::string Make(int kind, bool letter_form = true, bool for_pdf = false) {
    CNarrativeLetter letter(nullptr, nullptr, &clock_);
    letter.SetTemplateFolder(kTemplates);
    const std::string path = letter.CreateLetter(kind, letter_form, for_pdf, true);
    EXPECT_FALSE(path.empty());
    if (path.empty()) return {};
    EXPECT_EQ(letter.FileName(kind), path);
    std::string bytes = ReadFile(path);
    DeleteNarrativeLetterFile(path);
    return bytes;
  }
  std::vector<std::string> MakeText(int kind, bool letter_form = true) {
    return Paragraphs(Make(kind, letter_form));
  }

  platform::ManualClock clock_{{2026, 3, 4, 14, 5, 9, 0}};
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt scoped_{prompt_};
};

TEST_F(NarrativeLetterTest, GoldenLettersForEveryRecipientInBothLanguages) {
  static const char* kKinds[] = {"insurance", "patient", "refer_to", "referred_by"};
  for (int language : {0, 1}) {
    NarrativeTestData().language = language;
    for (int kind = 0; kind < 4; ++kind) {
      const std::string name = std::string("letter_") + (language ? "de_" : "en_") + kKinds[kind];
      SCOPED_TRACE(name);
      testsupport::ExpectScreenGolden("reports", name, MakeText(kind));
    }
    // The report form, on the PDF template, as text and as the bytes written.
    const std::string name = std::string("letter_report_") + (language ? "de" : "en");
    const std::string rtf = Make(1, false, true);
    testsupport::ExpectScreenGolden("reports", name, Paragraphs(rtf));
    std::vector<std::string> rtf_lines;
    std::istringstream in(rtf);
    for (std::string line; std::getline(in, line);) rtf_lines.push_back(line);
    testsupport::ExpectScreenGolden("reports", name + "_rtf", rtf_lines);
  }
}

TEST_F(NarrativeLetterTest, EveryKeywordOfEveryTemplateIsFilled) {
  for (bool letter_form : {true, false}) {
    for (bool for_pdf : {true, false}) {
      const std::string text = Joined(Paragraphs(Make(0, letter_form, for_pdf)));
      EXPECT_EQ(text.find("ZK470"), std::string::npos) << text;
      for (const char* label : {"PATNAME0", "ID0", "DOB0"})
        EXPECT_EQ(text.find(label), std::string::npos) << text;
    }
  }
}

// Switching a section off drops its paragraphs and nothing else.
TEST_F(NarrativeLetterTest, SectionOffRemovesExactlyItsStrings) {
  struct Case {
    int section;  // index into the set's section switches
    const char* first_paragraph;
    int paragraphs;
  };
  static const Case kCases[] = {
      {0, "Recording Overview", 3},
      {1, "The patient initiated", 2},
      {2, "There were 9 Tachycardias", 2},
      {3, "There were 8 VES", 2},
      {4, "There were 4 SVES", 2},
      {5, "There were 9 episodes", 2},
      {6, "Multiple ST depression", 2},
      {7, "Medication", 2},
      {8, "Diagnosis", 2},
  };
  const std::vector<std::string> full = MakeText(0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.first_paragraph);
    std::vector<std::string> want = full;
    auto at = std::find_if(want.begin(), want.end(),
                           [&](const std::string& p) { return p.starts_with(c.first_paragraph); });
    ASSERT_NE(at, want.end());
    want.erase(at, at + c.paragraphs);
    ResetNarrativeTestData();
    NarrativeTestData().sections[static_cast<size_t>(c.section)] = 0;
    EXPECT_EQ(Joined(MakeText(0)), Joined(want));
  }
  // With every event section off the events heading goes too.
  ResetNarrativeTestData();
  for (int s = 1; s <= 6; ++s) NarrativeTestData().sections[static_cast<size_t>(s)] = 0;
  const std::string text = Joined(MakeText(0));
  EXPECT_EQ(text.find("Summary of Holter Events"), std::string::npos);
  EXPECT_EQ(text.find("ZK470"), std::string::npos);
  // An empty medication is left out like a switched-off one.
  ResetNarrativeTestData();
  NarrativeTestData().medication.clear();
  EXPECT_EQ(Joined(MakeText(0)).find("Medication"), std::string::npos);
}

TEST_F(NarrativeLetterTest, SentencesFollowTheirValues) {
  struct Case {
    const char* what;
    int language;
    std::function<void(NarrativeTestSet&)> set;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  const std::vector<Case> cases = {
      {"one artefact (de)",
       1,
       [](auto& s) { s.artefacts = 1; },
       {"Es trat 1 Artefakt auf, was 0.0% der Gesamtzahl QRS entspricht."},
       {}},
      {"one artefact (en)",
       0,
       [](auto& s) { s.artefacts = 1; },
       {"There was 1 artifact trigger, which represent 0.0% of the total QRS count."},
       {}},
      {"no artefact (de)",
       1,
       [](auto& s) { s.artefacts = 0; },
       {"Es trat keine Artefakt auf.\r"},
       {"entspricht.\r"}},
      {"no artefact (en)", 0, [](auto& s) { s.artefacts = 0; }, {"There were no artifact triggers.\r"}, {}},
      {"one pause",
       0,
       [](auto& s) { s.pauses = 1; },
       {"There was 1 pause detected using a setting of > 1.5 sec."},
       {"longest pause"}},
      {"pause of 2500 ms",
       0,
       [](auto& s) { s.longest_pause_s = 2.5; },
       {"The longest pause was 2.5 sec. and"},
       {}},
      {"pause of 90 s",
       0,
       [](auto& s) { s.longest_pause_s = 90; },
       {"The longest pause was 1 min. 30 sec. and"},
       {}},
      {"pause of 90 s (de)",
       1,
       [](auto& s) { s.longest_pause_s = 90; },
       {"Die längste Pause betrug 1 Minuten 30 Sek. und"},
       {}},
      {"arrhythmia of 0 s",
       0,
       [](auto& s) { s.longest_abs_arrhythmia_s = 0; },
       {"per hour lasting 00:00:01,"},
       {}},
      {"arrhythmia of 0 s (de)",
       1,
       [](auto& s) { s.longest_abs_arrhythmia_s = 0; },
       {"während 00:00:01 h"},
       {}},
      {"12345 VES (de)", 1, [](auto& s) { s.ves = 12345; }, {"Es wurden 12'345 VES gefunden."}, {}},
      {"12345 VES (en)", 0, [](auto& s) { s.ves = 12345; }, {"There were 12345 VES."}, {"12'345"}},
      {"sex 0 (de)",
       1,
       [](auto& s) { s.sex = 0; },
       {"Der Patient ist eine 53-jährige Person mit Herzschrittmacher."},
       {}},
      {"sex 0 (en)",
       0,
       [](auto& s) { s.sex = 0; },
       {"The patient is a 53-year-old person who wears a pacemaker."},
       {}},
      {"overview off",
       0,
       [](auto& s) { s.sections[0] = 0; },
       {},
       {"Recording Overview", "recording was started", "Total QRS", "artifact"}},
      {"no VES", 0, [](auto& s) { s.ves = 0; }, {"There were no VES. \r"}, {"Of these VES", "highest VES"}},
      {"SV analysis off",
       0,
       [](auto& s) { s.sv_analysis = 0; },
       {"No analysis of SV tachycardia has been performed. \r"},
       {"Of these SVES"}},
      {"one ST channel", 0, [](auto& s) { s.st_channel_count = 1; }, {"channel 1."}, {"channel 2"}},
      {"ST trend off (de)",
       1,
       [](auto& s) {
         s.st_trend_on = {0, 1};
       },
       {"In Kanal 1 wurde keine ST-Analyse durchgeführt.In Kanal 2 wurden mehrfach"},
       {"2.0 mm"}},
      {"no beats",
       0,
       [](auto& s) { s.beats = 0; },
       {"Total QRS count for this recording was 1.", "These represent 800.0% of the QRS count total."},
       {}},
      {"no beats (de)",
       1,
       [](auto& s) { s.beats = 0; },
       {"Die Gesamtzahl QRS während der Aufnahme betrug 1.", "Das entspricht 800.0% der QRS-Gesamtzahl.",
        "Es traten 2'656 Artefakte auf, was 265600.0% der Gesamtzahl QRS entspricht."},
       {}},
      {"initial ST limits",
       0,
       [](auto&) {},
       {"(>1.0 mm) were detected in channel 1.", "(>1.0 mm) were detected in channel 2."},
       {}},
      {"initial ST limits (de)",
       1,
       [](auto&) {},
       {"In Kanal 1 wurden mehrfach ST-Senkungen (>1.0 mm)",
        "In Kanal 2 wurden mehrfach ST-Senkungen (>1.0 mm)"},
       {}},
      {"ST limit per channel",
       0,
       [](auto& s) {
         s.st_threshold_choice = {2, 0};
       },
       {"(>3.0 mm) were detected in channel 1.", "(>1.0 mm) were detected in channel 2."},
       {}},
      {"three-line medication",
       0,
       [](auto& s) { s.medication = "A\r\rB\rC"; },
       {"following medications: A, B, C\r"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetNarrativeTestData();
    NarrativeTestData().language = c.language;
    c.set(NarrativeTestData());
    std::string text;
    for (const auto& p : MakeText(0)) text += p + "\r";
    for (const auto& s : c.present) EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    for (const auto& s : c.absent) EXPECT_EQ(text.find(s), std::string::npos) << s << "\n" << text;
  }
}

TEST_F(NarrativeLetterTest, NumbersAndDurations) {
  CNarrativeLetter letter;
  struct Thousands {
    long long n;
    const char* text;
  };
  for (const Thousands& t : {Thousands{0, "0"},
                             {999, "999"},
                             {1000, "1'000"},
                             {12345, "12'345"},
                             {1234567, "1'234'567"},
                             {-1234567, "-1'234'567"},
                             {2147483647, "2'147'483'647"}}) {
    EXPECT_EQ(CNarrativeLetter::FormatThousands(t.n), t.text);
  }
  struct Duration {
    bool german;
    long long ms;
    const char* text;
  };
  for (const Duration& d : {Duration{false, 60000, "60.0 sec."},
                            {false, 60001, "1 min."},
                            {false, 90061000LL, "1 days 1 hours 1 min. 1 sec."},
                            {true, 3600000, "1 Stunden"}}) {
    letter.SetGerman(d.german);
    EXPECT_EQ(letter.FormatDurationMs(d.ms), d.text);
  }
  letter.SetGerman(false);
  EXPECT_EQ(letter.FormatDurationSeconds(90061, true), "25:01:01");
  platform::LocalDateTime when{2002, 11, 1, 0, 30, 0, 0};
  std::string date, time;
  letter.FormatDateTime(when, &date, &time, true, false);
  EXPECT_EQ(date + " " + time, "1 Nov 2002 12:30 AM");
  letter.SetGerman(true);
  letter.FormatDateTime(when, &date, &time, true, false);
  EXPECT_EQ(date + " " + time, "01.11.2002 0:30");
  letter.FormatDateTime(when, &date, nullptr, true, true);
  EXPECT_EQ(date, "1. November 2002");

  std::array<std::string, CNarrativeLetter::kMaxLines> lines;
  EXPECT_EQ(CNarrativeLetter::SplitLines("a\r\nb\nc", lines), 3);
  EXPECT_EQ(lines[1] + lines[2], "bc");
  EXPECT_EQ(CNarrativeLetter::SplitLines("a\r\n", lines), 1);
  EXPECT_EQ(CNarrativeLetter::SplitLines(std::string(40, '\n'), lines), CNarrativeLetter::kMaxLines);
}

TEST_F(NarrativeLetterTest, InitialSetAsksOnlyForTheEnglishInsuranceLetter) {
  const NarrativeInputs in = NarrativeInputsFromTestSet(NarrativeTestData(), true);
  EXPECT_FALSE(in.german);
  // Options 0..3: referring physician, referred-to physician, insurance, patient.
  EXPECT_EQ((std::array<int, 4>{in.options[0], in.options[1], in.options[2], in.options[3]}),
            (std::array<int, 4>{0, 0, 1, 0}));
  EXPECT_EQ(in.st[0].threshold_tenths_mm, 10);
  EXPECT_EQ(in.st[1].threshold_tenths_mm, 10);
}

TEST_F(NarrativeLetterTest, LetterFileIsPrivateAndTemplateNameIgnoresCase) {
  const fs::path folder = fs::path(testing::TempDir()) / "narrative_case";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy_file(kTemplates / "ZK470.let", folder / "zk470.LET");
  CNarrativeLetter letter(nullptr, nullptr, &clock_);
  letter.SetTemplateFolder(folder);
  const std::string path = letter.CreateLetter(2, true, false, true);
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(IsNarrativeTestDataOn());
  EXPECT_EQ(fs::path(path).parent_path(), NarrativeLetterFolder());
  EXPECT_TRUE(fs::path(path).filename().string().starts_with("ZK4"));
  struct stat file {
  }, dir{};
  ASSERT_EQ(::stat(path.c_str(), &file), 0);
  ASSERT_EQ(::stat(NarrativeLetterFolder().c_str(), &dir), 0);
  EXPECT_EQ(file.st_mode & 0777, 0600u);
  EXPECT_EQ(dir.st_mode & 077, 0u);
  DeleteNarrativeLetterFile(path);
  EXPECT_FALSE(fs::exists(path));
  fs::remove_all(folder);
}

// The private folder goes with its last letter; a letter still in it keeps it.
TEST_F(NarrativeLetterTest, TheLetterFolderGoesWithItsLastLetter) {
  CNarrativeLetter letter(nullptr, nullptr, &clock_);
  letter.SetTemplateFolder(kTemplates);
  const std::string first = letter.CreateLetter(0, true, false, true);
  const std::string second = letter.CreateLetter(1, true, false, true);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  const fs::path folder = fs::path(first).parent_path();
  EXPECT_EQ(fs::path(second).parent_path(), folder);
  DeleteNarrativeLetterFile(first);
  EXPECT_TRUE(fs::exists(second));
  DeleteNarrativeLetterFile(second);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(NarrativeLetterFolder().empty());

  const std::string again = letter.CreateLetter(0, true, false, true);
  ASSERT_FALSE(again.empty());
  struct stat dir {};
  ASSERT_EQ(::stat(fs::path(again).parent_path().c_str(), &dir), 0);
  EXPECT_EQ(dir.st_mode & 077, 0u);
  DeleteNarrativeLetterFile(again);
  EXPECT_FALSE(fs::exists(fs::path(again).parent_path()));
}

// A pipe or a device in place of a template is refused at once, not waited on or read for ever.
TEST_F(NarrativeLetterTest, TemplateThatIsNoRegularFileIsRefusedAtOnce) {
  const fs::path folder = fs::path(testing::TempDir()) / "narrative_special";
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
  };
  const Case cases[] = {
      {"pipe", [](const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
      {"endless device", [](const fs::path& file) { fs::create_symlink("/dev/zero", file); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    c.make(folder / "ZK470pdf.let");
    prompt_.ClearLog();
    CNarrativeLetter letter(nullptr, nullptr, &clock_);
    letter.SetTemplateFolder(folder);
    EXPECT_EQ(letter.CreateLetter(0, true, true, true), "");
    ASSERT_EQ(prompt_.Log().size(), 1u);
    EXPECT_TRUE(prompt_.Log()[0].text.starts_with("Error 2 while creating Narrative Letter"))
        << prompt_.Log()[0].text;
  }
  fs::remove_all(folder);
}

TEST_F(NarrativeLetterTest, BadTemplateGivesAMessageAndNoLetter) {
  const fs::path folder = fs::path(testing::TempDir()) / "narrative_bad";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "ZK470.let") << "Dear patient,\nthis is not rich text.\n";
  struct Case {
    bool letter_form;  // the report template is missing
    const char* message;
  };
  for (const Case& c : {Case{true, "Error 2 while creating Narrative Letter"},
                        Case{false, "Error 1 while creating Narrative Letter"}}) {
    SCOPED_TRACE(c.message);
    const size_t before = FileCount(NarrativeLetterFolder());
    prompt_.ClearLog();
    CNarrativeLetter letter(nullptr, nullptr, &clock_);
    letter.SetTemplateFolder(folder);
    EXPECT_EQ(letter.CreateLetter(0, c.letter_form, false, true), "");
    EXPECT_EQ(letter.FileName(0), "");
    ASSERT_EQ(prompt_.Log().size(), 1u);
    EXPECT_TRUE(prompt_.Log()[0].text.starts_with(c.message)) << prompt_.Log()[0].text;
    EXPECT_EQ(FileCount(NarrativeLetterFolder()), before);
  }
  fs::remove_all(folder);
}

}  // namespace
