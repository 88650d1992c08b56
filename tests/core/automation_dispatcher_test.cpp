#include "core/automation_dispatcher.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/app_fixture.h"
#include "core/automation_exit_codes.h"
#include "core/test_recordings.h"
#include "dialogs/small_dlgs.h"
#include "platform/archive.h"

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
};

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
  EXPECT_EQ(Doc().GetDisplayMode(), 15);
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
    int want_mode;
  };
  constexpr Case kCases[] = {{"the PDF", TDeleteConfirmDlg::kDeleteId, 15}, {"the recording", win::kIdCancel, 1}};
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

}  // namespace
}  // namespace coretest
