#include "core/automation_dispatcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>

#include "core/app_fixture.h"
#include "core/automation_exit_codes.h"
#include "dialogs/comm_error_dlg.h"
#include "dialogs/small_dlgs.h"
#include "platform/archive.h"
#include "support/comma_decimal_locale.h"
#include "support/test_recordings.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

// Runs one automation command line in the headless application up to the end of its start-up
// command; the exit code is what the end-of-program request carried (nullopt: the program stays).
class DispatcherTest : public AppTest {
 protected:
  std::optional<int> Run(std::vector<std::string> args) {
    EXPECT_TRUE(Start(std::move(args)));
    Pump();
    if (!win::Windows().QuitRequested()) return std::nullopt;
    return win::Windows().QuitCode();
  }

  // Back to the state of a fresh program start, for the next run of a table.
  void Restart() {
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    win::Windows().SetStallLimitMs(20000);
    win::Windows().SetModalIdleHandler([this](win::Window* modal) { return Idle(modal); });
    on_idle_ = nullptr;
  }

  TPatientData ReadPatient(const fs::path& qrs) {
    const std::vector<uint8_t> bytes = platform::ReadFileBytes(qrs);
    platform::ArchiveReader ar(bytes, qrs.string());
    TPatientData patient(clock_);
    patient.Load(ar);
    return patient;
  }

  // The program's data directory under the test's home: its current directory once it runs.
  fs::path DataDirectory() const { return root_ / "home" / "ZK-470" / "Data"; }
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> TabFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

TEST_F(DispatcherTest, FolderHelpers) {
  const fs::path folder = Folder("f");
  for (const char* name : {"00002.qrs", "00001.QRS", "123456.QRS", "0001.QRS", "00003.PDF"}) {
    std::ofstream(folder / name) << "x";
  }
  fs::create_directories(folder / "00009.QRS");
  const std::vector<fs::path> found = AutomationDispatcher::FindFiveCharacterFiles(folder, "QRS");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].filename(), "00001.QRS");
  EXPECT_EQ(found[1].filename(), "00002.qrs");
  EXPECT_EQ(AutomationDispatcher::FolderOf("/a/b/00001.QRS"), fs::path("/a/b"));
  EXPECT_EQ(AutomationDispatcher::FolderOf("/a/b/"), fs::path("/a/b/"));
  EXPECT_EQ(AutomationDispatcher::FolderOf("00001.QRS"), fs::path("."));
  const std::vector<std::string> matched = AutomationDispatcher::MatchPattern(folder, "0000?.q*");
  EXPECT_EQ(matched, (std::vector<std::string>{"00001.QRS", "00002.qrs"}));
}

TEST_F(DispatcherTest, OpenRecordingShowsOnlyPdfAndWritesItsPath) {
  const fs::path folder = Folder("pdf");
  std::ofstream(folder / "00004.PDF") << "%PDF-1.2";
  const fs::path result = root_ / "r.txt";
  EXPECT_EQ(Run({"-OpenRecording", (folder / "report.QRS").string(), result.string()}), std::nullopt);
  EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kPdf);
  std::ifstream in(result, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, (folder / "00004.PDF").string() + "\r\n");
}

TEST_F(DispatcherTest, OpenRecordingAsksBetweenRecordingAndPdf) {
  const fs::path folder = Folder("both");
  MakeSyntheticRecording(folder / "00005", 2);
  std::ofstream(folder / "00005.PDF") << "%PDF-1.2";
  struct Case {
    const char* name;
    int button;
    DisplayMode want_mode;
  };
  constexpr Case kCases[] = {{"the PDF", TDeleteConfirmDlg::kDeleteId, DisplayMode::kPdf},
                             {"the recording", win::kIdCancel, DisplayMode::kNavigation}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    app_.reset();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    win::Windows().SetModalIdleHandler([this](win::Window* modal) { return Idle(modal); });
    bool asked = false;
    on_idle_ = [&](win::Window* modal) {
      auto* dialog = dynamic_cast<TDeleteConfirmDlg*>(modal);
      if (dialog == nullptr || asked) return false;
      asked = true;
      dialog->SendMessage(win::kWmCommand, static_cast<win::WParam>(c.button));
      return true;
    };
    EXPECT_EQ(Run({"-OpenRecording", (folder / "00005.QRS").string(), (root_ / "r.txt").string()}), std::nullopt);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Doc().GetDisplayMode(), c.want_mode);
  }
}

// An error that escapes a command (memory running out among them) must still end the run with the
// command's failure code: a calling program waits for it.
TEST_F(DispatcherTest, AnErrorInsideACommandEndsTheRunWithItsFailureCode) {
  const fs::path folder = Folder("both");
  MakeSyntheticRecording(folder / "00005", 2);
  std::ofstream(folder / "00005.PDF") << "%PDF-1.2";
  struct Case {
    const char* name;
    std::function<void()> fail;
  };
  const Case cases[] = {{"out of memory", [] { throw std::bad_alloc(); }},
                        {"a standard exception", [] { throw std::runtime_error("broken"); }},
                        {"something else", [] { throw 42; }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restart();
    // The choice between recording and PDF is the command's own modal step.
    on_idle_ = [&](win::Window* modal) -> bool {
      if (dynamic_cast<TDeleteConfirmDlg*>(modal) != nullptr) c.fail();
      return false;
    };
    EXPECT_EQ(Run({"-OpenRecording", (folder / "00005.QRS").string(), (root_ / "r.txt").string()}),
              kExitOpenFailed);
  }
}

TEST_F(DispatcherTest, NoRecordingFoundOffersTheFileChooser) {
  const fs::path empty = Folder("empty");
  const fs::path elsewhere = MakeSyntheticRecording(Folder("elsewhere") / "00006", 2);
  const fs::path result = root_ / "r.txt";
  // Yes, and a file chosen: that recording opens.
  prompt_.QueueAnswer(win::kIdYes);
  prompt_.QueueFile(elsewhere.string());
  EXPECT_EQ(Run({"-OpenRecording", (empty / "00001.QRS").string(), result.string()}), std::nullopt);
  EXPECT_EQ(Doc().GetPathName(), elsewhere.string());
  EXPECT_TRUE(fs::exists(result));
  ASSERT_FALSE(prompt_.Log().empty());
  EXPECT_EQ(prompt_.Log()[0].style, win::kMbYesNo | win::kMbIconQuestion);

  // Yes, then the chooser cancelled.
  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  prompt_.QueueAnswer(win::kIdYes);
  prompt_.QueueFile(std::nullopt);
  EXPECT_EQ(Run({"-OpenRecording", (empty / "00001.QRS").string(), result.string()}), kExitOpenNoRecording);
}

TEST_F(DispatcherTest, DeleteRecordingNeverDeletesAChosenFileThatIsNoRecording) {
  const fs::path empty = Folder("nothing");
  const fs::path notes = Folder("notes") / "notes.txt";
  const fs::path sibling = Folder("notes") / "notes.BAK";
  std::ofstream(notes) << "not a recording";
  std::ofstream(sibling) << "not a backup";
  prompt_.QueueAnswer(win::kIdYes);
  prompt_.QueueFile(notes.string());
  EXPECT_EQ(Run({"-DeleteRecording", (empty / "00001.QRS").string()}), kExitUpdateNoRecording);
  EXPECT_TRUE(fs::exists(notes));
  EXPECT_TRUE(fs::exists(sibling));
}

TEST_F(DispatcherTest, UpdateRecordingKeepsNamesAndCutsFields) {
  const fs::path folder = Folder("rec");
  const fs::path qrs = MakeSyntheticRecording(folder / "00001", 2, {"Anna", "Demo", "1"});
  const fs::path result = root_ / "u.txt";
  // Same first and last name: saved in place. A long id is cut; pacemaker "2" is no pacemaker.
  EXPECT_EQ(Run({"-UpdateRecording", qrs.string(), "Anna", "Demo", "ID-0123456789012345678901", "31.2.1960", "1",
                 "165.5", "58", "2", result.string()}),
            kExitDone);
  EXPECT_TRUE(fs::exists(qrs));
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(qrs);
  platform::ArchiveReader ar(bytes, qrs.string());
  TPatientData patient(clock_);
  patient.Load(ar);
  EXPECT_EQ(patient.patient_id, "ID-01234567890123456");
  EXPECT_EQ(patient.pacemaker, 0);
  EXPECT_DOUBLE_EQ(patient.height, 165.5);
  // The 31st of February is no date: today instead.
  EXPECT_EQ(patient.GetBirthDateText(), "05.03.2024");
  // The held file is released at the end.
  EXPECT_FALSE(Doc().IsFileHeld());
}

TEST_F(DispatcherTest, UpdateRecordingUpdatesAChosenRecording) {
  const fs::path empty = Folder("empty");
  const fs::path chosen = MakeSyntheticRecording(Folder("rec") / "00002", 2, {"Anna", "Demo", "1"});
  prompt_.QueueAnswer(win::kIdYes);
  prompt_.QueueFile(chosen.string());
  const fs::path result = root_ / "u.txt";
  EXPECT_EQ(Run({"-UpdateRecording", (empty / "00001.QRS").string(), "Anna", "Demo", "77", "1.1.1950", "2", "180",
                 "80", "1", result.string()}),
            kExitDone);
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(chosen);
  platform::ArchiveReader ar(bytes, chosen.string());
  TPatientData patient(clock_);
  patient.Load(ar);
  EXPECT_EQ(patient.patient_id, "77");
  EXPECT_EQ(patient.pacemaker, 1);
  EXPECT_TRUE(fs::exists(result));
}

TEST_F(DispatcherTest, UpdateThatCannotReachTheDiskIsNoSuccess) {
  const fs::path folder = Folder("rec");
  const fs::path qrs = MakeSyntheticRecording(folder / "00001", 2, {"Anna", "Demo", "1"});
  // Another recording already has the name the new patient would give: it is never overwritten.
  const fs::path taken = folder / "Hans Muster 15-01-2024 08-00 -----.QRS";
  std::ofstream(taken) << "another recording";
  EXPECT_EQ(Run({"-UpdateRecording", qrs.string(), "Hans", "Muster", "1", "1.1.1970", "2", "180", "80", "0",
                 (root_ / "u.txt").string()}),
            kExitUpdateOpenFailed);
  EXPECT_TRUE(fs::exists(qrs));
  std::ifstream in(taken);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "another recording");
}

TEST_F(DispatcherTest, ExportOfDataDirectoryNamesItsPath) {
  ASSERT_TRUE(Start({"-Export", "*.QRS", (root_ / "e.txt").string()}));
  // The data directory is the current directory: a relative pattern reads from there.
  const fs::path data = Doc().GetDataDirectory();
  MakeSyntheticRecording(data / "00008", 2, {"Eva", "Kern", "8"});
  Pump();
  ASSERT_TRUE(win::Windows().QuitRequested());
  EXPECT_EQ(win::Windows().QuitCode(), kExitDone);
  std::ifstream in(root_ / "e.txt", std::ios::binary);
  std::string first;
  std::getline(in, first);
  EXPECT_TRUE(first.starts_with(CZK470Doc::JoinPath(data.string(), "00008.QRS") + "\tEva\tKern\t8\t")) << first;
}

TEST_F(DispatcherTest, StartupChecksComeFirst) {
  EXPECT_EQ(Run({"-Export", "a"}), kExitCommandLineInvalid);
  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  EXPECT_EQ(Run({"-AnalyzeRecording", "x"}), kExitActionCancelled);
  app_.reset();
  ResetProcessState();
  win::Windows().SetClock(&clock_);
  // Another instance was found at start-up: code 1 before anything else.
  AutomationInfo().SetFirstInstance(0);
  ASSERT_TRUE(Start({"-DeleteRecording", "/tmp/zk/00001.QRS"}));
  AutomationInfo().SetFirstInstance(0);
  Pump();
  EXPECT_EQ(win::Windows().QuitCode(), kExitOtherInstanceRunning);
}

// The caller names files relative to its own working folder; the program makes its data directory
// current while it starts, and a recording of the same name there must not be the one used.
TEST_F(DispatcherTest, RelativePathsCountFromTheCallersFolder) {
  const fs::path caller = Folder("caller");
  const fs::path mine = MakeSyntheticRecording(Folder("caller/sub") / "00017", 2, {"Eva", "Berg", "55"});
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::optional<int> want_exit;
    const char* result_file;  // relative to the caller's folder; nullptr: none
    bool deletes_mine;
    bool reads_data_directory;  // an export pattern names recordings of the data directory
  };
  const Case kCases[] = {
      {"open", {"-OpenRecording", "sub/00001.QRS", "open.txt"}, std::nullopt, "open.txt", false, false},
      {"open through dot segments",
       {"-OpenRecording", "./sub/../sub/00001.QRS", "out/../open.txt"},
       std::nullopt,
       "open.txt",
       false,
       false},
      {"update",
       {"-UpdateRecording", "sub/00017.QRS", "Eva", "Berg", "56", "1.1.1950", "2", "170", "60", "0",
        "upd.txt"},
       kExitDone,
       "upd.txt",
       false,
       false},
      {"export", {"-Export", "sub/*.QRS", "export.txt"}, kExitDone, "export.txt", false, true},
      {"read-out", {"-ReqZK130Recording", "req.txt"}, kExitActionCancelled, "req.txt", false, false},
      {"delete", {"-DeleteRecording", "sub/00001.QRS"}, kExitDone, nullptr, true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Restart();
    fs::create_directories(caller / "out");
    // A recording of the same relative name in the data directory, another patient's.
    fs::create_directories(DataDirectory() / "sub");
    const fs::path decoy =
        MakeSyntheticRecording(DataDirectory() / "sub" / "00017", 2, {"Dora", "Decoy", "99"});
    const std::vector<uint8_t> decoy_bytes = platform::ReadFileBytes(decoy);
    fs::current_path(caller);
    // No recorder answers the read-out: the user gives up the search.
    on_idle_ = [](win::Window* modal) {
      auto* error = dynamic_cast<TCommErrorDlg*>(modal);
      if (error == nullptr) return false;
      error->EndDialog(win::kIdCancel);
      return true;
    };
    EXPECT_EQ(Run(c.args), c.want_exit);
    EXPECT_EQ(platform::ReadFileBytes(decoy), decoy_bytes);
    EXPECT_EQ(fs::exists(mine), !c.deletes_mine);
    if (c.result_file != nullptr) {
      const std::string text = ReadText(caller / c.result_file);
      EXPECT_FALSE(text.empty());
      EXPECT_EQ(text.find("Decoy") != std::string::npos, c.reads_data_directory) << text;
      EXPECT_FALSE(fs::exists(DataDirectory() / c.result_file));
    }
    if (std::string_view(c.name).starts_with("open")) {
      EXPECT_EQ(Doc().GetPathName(), mine.string());
      EXPECT_EQ(ReadText(caller / c.result_file).substr(0, mine.string().size() + 1), mine.string() + "\t");
    }
    if (std::string_view(c.name) == "update") {
      EXPECT_EQ(ReadPatient(mine).patient_id, "56");
    }
    if (!fs::exists(mine)) MakeSyntheticRecording(Folder("caller/sub") / "00017", 2, {"Eva", "Berg", "55"});
  }
}

TEST_F(DispatcherTest, RelativeFileNameOfAPlainStartCountsFromTheCallersFolder) {
  const fs::path mine = MakeSyntheticRecording(Folder("caller/sub") / "00017", 2, {"Eva", "Berg", "55"});
  fs::create_directories(DataDirectory() / "sub");
  MakeSyntheticRecording(DataDirectory() / "sub" / "00017", 2, {"Dora", "Decoy", "99"});
  fs::current_path(Folder("elsewhere"));
  ASSERT_TRUE(Start({"../caller/sub/00017.QRS"}));
  Pump();
  EXPECT_EQ(Doc().GetPatientData().surname, "Berg");
  EXPECT_EQ(Doc().GetPathName(), mine.string());
}

TEST_F(DispatcherTest, UpdateRecordingCutsNamesByStoredCharacters) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2, {"Anna", "Demo", "1"});
  const fs::path result = root_ / "u.txt";
  // 24, 35 and 26 characters; in UTF-8 the cuts at 20, 30 and 20 bytes fall elsewhere, the
  // first one inside the "ö".
  ASSERT_EQ(Run({"-UpdateRecording", qrs.string(), "Jürgen-Günther-Björn-Ove",
                 "Müller-Lüdenscheidt-Großkötter-Weiß", "Ärztehaus-Nr-0123456789-ÜÖ", "1.1.1950", "1", "180",
                 "80", "0", result.string()}),
            kExitDone);
  std::vector<fs::path> recordings;
  for (const auto& entry : fs::directory_iterator(root_ / "rec")) {
    if (entry.path().extension() == ".QRS") recordings.push_back(entry.path());
  }
  ASSERT_EQ(recordings.size(), 1u);
  const TPatientData patient = ReadPatient(recordings[0]);
  EXPECT_EQ(patient.first_name, "Jürgen-Günther-Björn");
  EXPECT_EQ(patient.surname, "Müller-Lüdenscheidt-Großkötter");
  EXPECT_EQ(patient.patient_id, "Ärztehaus-Nr-0123456");
  EXPECT_TRUE(
      recordings[0].filename().string().starts_with("Jürgen-Günther-Björn Müller-Lüdenscheidt-Großkötter "))
      << recordings[0];
  // The caller opens the path it is given; the names are the record's single-byte text.
  const std::vector<std::string> fields = TabFields(ReadText(result));
  ASSERT_GE(fields.size(), 3u);
  EXPECT_EQ(fields[0], recordings[0].string());
  EXPECT_TRUE(fs::exists(fields[0]));
  EXPECT_EQ(fields[1], "J\xFCrgen-G\xFCnther-Bj\xF6rn");
  EXPECT_EQ(fields[2],
            "M\xFCller-L\xFC"
            "denscheidt-Gro\xDFk\xF6tter");
}

// Names that, cut and stored, equal the stored ones are no new patient: saved in place, not renamed.
TEST_F(DispatcherTest, UpdateRecordingComparesNamesAsStored) {
  struct Case {
    const char* name;
    PatientNames stored;
    const char* first_name;
    const char* surname;
  };
  const Case kCases[] = {
      {"names longer than the record holds",
       {"Jürgen-Günther-Björn", "Müller-Lüdenscheidt-Großkötter", "1"},
       "Jürgen-Günther-Björn-Ove",
       "Müller-Lüdenscheidt-Großkötter-Weiß"},
      // The record keeps '?' for what its code page lacks.
      {"a letter outside the record's code page", {"Łukasz", "Nowak", "1"}, "Łukasz", "Nowak"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Restart();
    const fs::path qrs = MakeSyntheticRecording(Folder(c.stored.surname) / "00002", 2, c.stored);
    ASSERT_EQ(Run({"-UpdateRecording", qrs.string(), c.first_name, c.surname, "x", "1.1.1950", "1", "180",
                   "80", "0", (root_ / "u.txt").string()}),
              kExitDone);
    ASSERT_TRUE(fs::exists(qrs));
    EXPECT_EQ(ReadPatient(qrs).patient_id, "x");
  }
}

// The Qt host sets the C locale from the user's environment; a German one reads "180.6" as 180
// with the C library's own conversion.
TEST_F(DispatcherTest, UpdateRecordingReadsNumbersWithAPointInAnyLocale) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2, {"Anna", "Demo", "1"});
  const fs::path result = root_ / "u.txt";
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  ASSERT_EQ(Run({"-UpdateRecording", qrs.string(), "Anna", "Demo", "1", "1.1.1950", "1", " 180.6", "72.4kg",
                 "0", result.string()}),
            kExitDone);
  const TPatientData patient = ReadPatient(qrs);
  EXPECT_DOUBLE_EQ(patient.height, 180.6);
  EXPECT_DOUBLE_EQ(patient.weight, 72.4);
  EXPECT_EQ(ReadText(result), qrs.string() + "\tAnna\tDemo\t1\t01.01.1950\t1\t181\t72\t0\r\nSOUND=0\r\n");
}

// A number the patient record cannot hold, or not a number at all, is a bad command line: code 2,
// and the recording stays as it was.
TEST_F(DispatcherTest, UpdateRecordingRefusesAbsurdNumbers) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2, {"Anna", "Demo", "1"});
  const std::vector<uint8_t> before = platform::ReadFileBytes(qrs);
  struct Case {
    const char* name;
    const char* sex;
    const char* height;
    const char* weight;
    const char* pacemaker;
  };
  constexpr Case kCases[] = {
      {"huge height", "1", "1e300", "80", "0"},
      {"height beyond a double", "1", "1e400", "80", "0"},
      {"infinite height", "1", "inf", "80", "0"},
      {"infinity spelt out", "1", "Infinity", "80", "0"},
      {"weight not a number", "1", "180", "nan", "0"},
      {"weight beyond single precision", "1", "180", "4e38", "0"},
      {"sex code beyond an int", "99999999999", "180", "80", "0"},
      {"pacemaker beyond an int", "1", "180", "80", "4294967297"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Restart();
    const fs::path result = root_ / "u.txt";
    EXPECT_EQ(Run({"-UpdateRecording", qrs.string(), "Hans", "Muster", "2", "1.1.1950", c.sex, c.height,
                   c.weight, c.pacemaker, result.string()}),
              kExitCommandLineInvalid);
    EXPECT_EQ(platform::ReadFileBytes(qrs), before);
    EXPECT_FALSE(fs::exists(result));
  }
}

// A stored height of 1e300 (a damaged or hostile file) gives 301 digits; the line stays whole.
TEST_F(DispatcherTest, SummaryLineHoldsAnyStoredNumber) {
  ASSERT_TRUE(Start({}));
  TPatientData& patient = Doc().GetPatientData();
  patient.first_name = "Anna";
  patient.surname = "Demo";
  patient.patient_id = "1";
  patient.sex = 2;
  patient.height = 1e300;
  patient.weight = 72.4;
  patient.pacemaker = 1;
  const std::string summary = Doc().GetRecordingSummary("/data/00001.QRS");
  const size_t line_end = summary.find('\n');
  ASSERT_NE(line_end, std::string::npos);
  EXPECT_EQ(summary.substr(line_end + 1), "SOUND=0");
  const std::vector<std::string> fields = TabFields(summary.substr(0, line_end));
  ASSERT_EQ(fields.size(), 9u) << summary;
  EXPECT_EQ(fields[5], "2");
  EXPECT_EQ(fields[6].size(), 301u);
  EXPECT_EQ(fields[6].find_first_not_of("0123456789"), std::string::npos);
  EXPECT_TRUE(fields[6].starts_with(
      "10000000000000000525047602552044202487044685811081591549158541155118024579889081"))
      << fields[6];
  EXPECT_EQ(fields[7], "72");
  EXPECT_EQ(fields[8], "1");
}

}  // namespace
}  // namespace coretest
