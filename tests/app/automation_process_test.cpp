// The real program on a machine without a display: every automation command ends with its exit
// code and writes its result file with CR LF line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/program_runner.h"
#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "document/patient_data.h"
#include "document/record_format.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/test_recordings.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;
using coretest::MakeSyntheticRecording;

std::string Describe(const platform::ProcessResult& run) {
  return "exit " + std::to_string(run.exit_code) + ", signal " + std::to_string(run.signal) +
         (run.timed_out ? ", timed out" : "") + "\nstderr:\n" + run.err;
}

// Every line of the text ends with CR LF and no LF stands alone.
void ExpectCrLfLines(const std::string& text, size_t lines) {
  size_t crlf = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "a bare line feed at " << i << " in\n" << text;
    ++crlf;
  }
  EXPECT_EQ(crlf, lines) << text;
  EXPECT_TRUE(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") << text;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

class AutomationProcess : public testing::Test {
 protected:
  ProgramHome home_;
};

TEST_F(AutomationProcess, IncompleteCommandLinesEndWithCodeTwo) {
  for (const AutomationCommandWord& word : kAutomationCommandWords) {
    SCOPED_TRACE(std::string(word.word));
    std::vector<std::string> args = {"/" + std::string(word.word)};
    for (int i = 0; i + 1 < word.parameters; ++i) args.push_back("p" + std::to_string(i));
    const platform::ProcessResult run = RunProgram(args);
    EXPECT_EQ(run.exit_code, kExitCommandLineInvalid) << Describe(run);
  }
  // A second command word, and a plain argument after a complete command.
  EXPECT_EQ(RunProgram({"-Export", "a", "-Export", "b", "c"}).exit_code, kExitCommandLineInvalid);
  EXPECT_EQ(RunProgram({"-Export", "a", "b", "c"}).exit_code, kExitCommandLineInvalid);
}

TEST_F(AutomationProcess, CommandsWithoutRecorderEndWithTheirCodes) {
  const fs::path folder = home_.Folder("results");
  const std::vector<std::string> patient = {"Anna", "Meier", "123", "1.2.1960", "1", "170", "60", "0"};
  struct Case {
    const char* word;
    bool result_file;  // takes a result file and writes the document's line (the empty document)
    int want;
  };
  constexpr Case kCases[] = {
      {"NewRecording", false, kExitNoRecordingRead},
      {"NewZK130OPTRecording", false, kExitNoRecordingRead},
      {"NewZK130USBRecording", false, kExitNoRecordingRead},
      {"NewZK131USBRecording", false, kExitNoRecordingRead},
      {"ReqZK130Recording", true, kExitActionCancelled},
      {"ReqZK130OPTRecording", true, kExitActionCancelled},
      {"ReqZK130USBRecording", true, kExitActionCancelled},
      {"ReqZK131USBRecording", true, kExitActionCancelled},
      {"ReqSDCARDRecording", true, kExitActionCancelled},
      {"AnalyzeRecording", false, kExitActionCancelled},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.word);
    const fs::path result = folder / (std::string(c.word) + ".txt");
    std::vector<std::string> args = {"-" + std::string(c.word)};
    if (c.result_file) {
      args.push_back(result.string());
    } else if (std::string_view(c.word) == "AnalyzeRecording") {
      args.push_back("ignored");
    } else {
      args.insert(args.end(), patient.begin(), patient.end());
    }
    const platform::ProcessResult run = RunProgram(args);
    EXPECT_EQ(run.exit_code, c.want) << Describe(run);
    if (c.result_file) {
      // The line describes what the document holds afterwards: the empty document.
      const std::string text = ReadFile(result);
      ExpectCrLfLines(text, 2);
      const std::vector<std::string> lines = SplitCrLf(text);
      ASSERT_EQ(lines.size(), 2u);
      EXPECT_EQ(Fields(lines[0]).size(), 9u) << lines[0];
      EXPECT_EQ(lines[1], "SOUND=0");
    } else {
      EXPECT_FALSE(fs::exists(result));
    }
  }
}

TEST_F(AutomationProcess, OpenRecordingCodes) {
  const fs::path empty = home_.Folder("empty");
  const fs::path broken = home_.Folder("broken");
  MakeSyntheticRecording(broken / "00007", 2);
  // A damaged ".QRS" beside a good sample file.
  std::ofstream(broken / "00007.QRS", std::ios::binary | std::ios::trunc) << "not a recording";
  const fs::path result = home_.Root() / "open.txt";
  struct Case {
    const char* name;
    std::string path;
    int want;
  };
  const Case kCases[] = {
      {"path of 9 characters", "/a/b.QRS1", kExitPathTooShort},
      {"nothing in the folder, the question answered No", (empty / "00001.QRS").string(), kExitOpenNoRecording},
      {"a damaged recording", (broken / "00001.QRS").string(), kExitOpenFailed},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const platform::ProcessResult run = RunProgram({"/OpenRecording", c.path, result.string()});
    EXPECT_EQ(run.exit_code, c.want) << Describe(run);
    EXPECT_FALSE(fs::exists(result));
  }
}

// Without a display nobody could close the program: it ends after its result file, whatever the
// display settings say, and a folder with a recording and its PDF opens the recording unasked.
TEST_F(AutomationProcess, OpenRecordingWithoutADisplayEndsAfterItsResultFile) {
  const fs::path folder = home_.Folder("rec");
  MakeSyntheticRecording(folder / "00017", 2, {"Eva", "Berg", "55"});
  const fs::path result = home_.Root() / "open.txt";
  struct Case {
    const char* name;
    std::optional<std::string> display;
    std::optional<std::string> platform;
    bool pdf_beside;
  };
  const Case kCases[] = {
      {"no display", std::nullopt, std::nullopt, false},
      {"a display without a server", ":917", std::nullopt, false},
      {"a platform without a display", std::nullopt, "xcb", false},
      {"a PDF beside the recording", std::nullopt, std::nullopt, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    home_.SetEnv("DISPLAY", c.display);
    home_.SetEnv("QT_QPA_PLATFORM", c.platform);
    if (c.pdf_beside) std::ofstream(folder / "00017.PDF") << "%PDF-1.4\n";
    fs::remove(result);
    // The path names another file: only its folder counts.
    const platform::ProcessResult run =
        RunProgram({"-OpenRecording", (folder / "00001.QRS").string(), result.string()});
    ASSERT_EQ(run.exit_code, kExitDone) << Describe(run);
    const std::string text = ReadFile(result);
    ExpectCrLfLines(text, 2);
    const std::vector<std::string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::string> fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 9u);
    EXPECT_EQ(fields[0], (folder / "00017.QRS").string());
    EXPECT_EQ(fields[1], "Eva");
    EXPECT_EQ(fields[2], "Berg");
    EXPECT_EQ(fields[3], "55");
    EXPECT_EQ(lines[1], "SOUND=0");
  }
}

TEST_F(AutomationProcess, UpdateRecordingChangesPatientAndRenamesFiles) {
  const fs::path folder = home_.Folder("rec");
  MakeSyntheticRecording(folder / "00001", 2, {"Anna", "Demo", "1"});
  const fs::path result = home_.Root() / "update.txt";
  const platform::ProcessResult run =
      RunProgram({"-UpdateRecording", (folder / "00001.QRS").string(), "Hans", "Muster", "A-0815", "24.12.1960", "2",
                  "181", "79", "1", result.string()});
  ASSERT_EQ(run.exit_code, kExitDone) << Describe(run);

  // The files follow the new patient name; nothing keeps the old one.
  std::vector<fs::path> qrs;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    // The generator's own notes are no files of the recording.
    if (name.ends_with(".txt")) continue;
    EXPECT_FALSE(name.starts_with("00001.")) << name << " kept its old name";
    if (entry.path().extension() == ".QRS") qrs.push_back(entry.path());
  }
  ASSERT_EQ(qrs.size(), 1u);
  EXPECT_TRUE(qrs[0].filename().string().starts_with("Hans Muster ")) << qrs[0];
  EXPECT_TRUE(fs::exists(fs::path(qrs[0]).replace_extension(".CMP")));

  // The patient record in the file.
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(qrs[0]);
  platform::ArchiveReader ar(bytes, qrs[0].string());
  const platform::SystemClock clock;
  TPatientData patient(clock);
  patient.Load(ar);
  EXPECT_EQ(patient.first_name, "Hans");
  EXPECT_EQ(patient.surname, "Muster");
  EXPECT_EQ(patient.patient_id, "A-0815");
  EXPECT_EQ(patient.GetBirthDateText(), "24.12.1960");
  EXPECT_EQ(patient.sex, 2);
  EXPECT_DOUBLE_EQ(patient.height, 181.0);
  EXPECT_DOUBLE_EQ(patient.weight, 79.0);
  EXPECT_EQ(patient.pacemaker, 1);

  const std::string text = ReadFile(result);
  ExpectCrLfLines(text, 2);
  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], qrs[0].string() + "\tHans\tMuster\tA-0815\t24.12.1960\t2\t181\t79\t1");
  EXPECT_EQ(lines[1], "SOUND=0");
}

TEST_F(AutomationProcess, UpdateRecordingCodes) {
  const fs::path empty = home_.Folder("empty");
  const fs::path result = home_.Root() / "update.txt";
  const std::vector<std::string> fields = {"Hans", "Muster", "1", "1.1.1970", "2", "180", "80", "0", result.string()};
  std::vector<std::string> short_path = {"-UpdateRecording", "/x/a.QRS"};
  short_path.insert(short_path.end(), fields.begin(), fields.end());
  EXPECT_EQ(RunProgram(short_path).exit_code, kExitPathTooShort);
  std::vector<std::string> nothing = {"-UpdateRecording", (empty / "00001.QRS").string()};
  nothing.insert(nothing.end(), fields.begin(), fields.end());
  const platform::ProcessResult run = RunProgram(nothing);
  EXPECT_EQ(run.exit_code, kExitUpdateNoRecording) << Describe(run);
  EXPECT_FALSE(fs::exists(result));
}

TEST_F(AutomationProcess, ExportWritesOneLinePairPerRecording) {
  const fs::path folder = home_.Folder("rec");
  MakeSyntheticRecording(folder / "00001", 2, {"Anna", "Alt", "1"});
  MakeSyntheticRecording(folder / "00002", 2, {"Bert", "Berg", "2"});
  std::ofstream(folder / "00003.QRS", std::ios::binary) << "damaged";
  const fs::path result = home_.Root() / "export.txt";
  const platform::ProcessResult run = RunProgram({"-Export", (folder / "*.qrs").string(), result.string()});
  ASSERT_EQ(run.exit_code, kExitDone) << Describe(run);
  const std::string text = ReadFile(result);
  ExpectCrLfLines(text, 4);
  const std::vector<std::string> lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Fields(lines[0])[0], (folder / "00001.QRS").string());
  EXPECT_EQ(Fields(lines[0])[2], "Alt");
  EXPECT_EQ(Fields(lines[2])[0], (folder / "00002.QRS").string());
  EXPECT_EQ(Fields(lines[2])[2], "Berg");

  // A pattern that matches nothing: no result file, and done.
  const fs::path none = home_.Root() / "none.txt";
  EXPECT_EQ(RunProgram({"-Export", (folder / "*.XYZ").string(), none.string()}).exit_code, kExitDone);
  EXPECT_FALSE(fs::exists(none));
}

TEST_F(AutomationProcess, DeleteRecordingDeletesInTheGivenFolder) {
  const fs::path folder = home_.Folder("rec");
  MakeSyntheticRecording(folder / "00001", 2);
  std::ofstream(folder / "00001.BAK") << "backup";
  std::ofstream(folder / "00001.PID") << "voice";
  // A recording of the same name in the program's current directory must stay.
  fs::create_directories(home_.DataDirectory());
  std::ofstream(home_.DataDirectory() / "00001.QRS") << "another recording";
  std::ofstream(home_.DataDirectory() / "00001.CMP") << "its samples";

  const platform::ProcessResult run = RunProgram({"-DeleteRecording", (folder / "00001.QRS").string()});
  ASSERT_EQ(run.exit_code, kExitDone) << Describe(run);
  for (const char* extension : {".QRS", ".CMP", ".BAK", ".PID"}) {
    EXPECT_FALSE(fs::exists(folder / (std::string("00001") + extension))) << extension;
  }
  EXPECT_TRUE(fs::exists(home_.DataDirectory() / "00001.QRS"));
  EXPECT_TRUE(fs::exists(home_.DataDirectory() / "00001.CMP"));
}

TEST_F(AutomationProcess, DeleteRecordingCodes) {
  const fs::path empty = home_.Folder("empty");
  EXPECT_EQ(RunProgram({"-DeleteRecording", "/tmp/a.Q"}).exit_code, kExitPathTooShort);
  EXPECT_EQ(RunProgram({"-DeleteRecording", (empty / "00001.QRS").string()}).exit_code, kExitUpdateNoRecording);

  // Another program has the recording open: it stays whole; its backup copy still goes.
  const fs::path folder = home_.Folder("held");
  MakeSyntheticRecording(folder / "00002", 2);
  std::ofstream(folder / "00002.BAK") << "backup";
  platform::FileLock held;
  ASSERT_EQ(held.Lock(folder / "00002.QRS"), platform::FileLock::Status::kLocked);
  const platform::ProcessResult run = RunProgram({"-DeleteRecording", (folder / "00002.QRS").string()});
  EXPECT_EQ(run.exit_code, kExitDeleteAccessDenied) << Describe(run);
  EXPECT_TRUE(fs::exists(folder / "00002.QRS"));
  EXPECT_TRUE(fs::exists(folder / "00002.CMP"));
  EXPECT_FALSE(fs::exists(folder / "00002.BAK"));
}

TEST_F(AutomationProcess, PlainStartWithoutDisplaySaysHowToGetOne) {
  const platform::ProcessResult run = RunProgram({});
  EXPECT_EQ(run.exit_code, 1) << Describe(run);
  EXPECT_NE(run.err.find("xvfb-run"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace apptest
