// The main frame's bulk imports: the choices, the loop over the ticked files and the result list.
#include "core/import_commands.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog_resources.h"
#include "dialogs/items_dlg.h"
#include "document/context_guard.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "support/test_files.h"
#include "tools/run_family.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kChooseSameSampling = " Please choose files with same frequency and resolution !  ";
constexpr const char* kOverwriteAll = "Overwrite ALL .QRS Files (if any exists already) ?";

struct Picked {
  std::string title;
  std::string folder;
  int kind = -1;
};

struct Shown {
  std::string caption;
  std::vector<std::string> lines;
  bool auto_scroll = true;
};

// What a one-row choice showed.
struct Choice {
  std::string title;
  std::string column;
  std::vector<std::string> input;
};

class ImportCommandsTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddDialogResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
    fs::create_directories(Data());
    doc_->SetDataDirectory(Data().string());
    tools::ToolServices services;
    services.pick_files = [this](win::Window*, const std::string& title, const std::string& folder,
                                 int kind) {
      picked_ = {title, folder, kind};
      return pick_result_;
    };
    services.show_results = [this](win::Window*, const std::string& caption,
                                   const std::vector<std::string>& lines, bool auto_scroll) {
      shown_.push_back({caption, lines, auto_scroll});
    };
    services_ = std::make_unique<tools::ScopedToolServices>(std::move(services));
  }
  void TearDown() override {
    services_.reset();
    doc_.reset();
    WinTest::TearDown();
  }

  fs::path Data() const { return temp_.Path() / "data"; }

  // The choices answer in turn: true selects the row, false cancels.
  void AnswerChoices(std::vector<bool> answers) {
    std::vector<std::function<void(win::Window*)>> steps;
    for (const bool select : answers) {
      steps.push_back([this, select](win::Window* modal) {
        auto* dialog = dynamic_cast<TItemsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        choices_.push_back({modal->GetWindowText(), dialog->List().GetColumn(0)->text, dialog->input});
        win::Windows().PressKey(select ? win::kVkReturn : win::kVkEscape);
      });
    }
    DriveModal(std::move(steps));
  }

  // An AHA record "<name>ID.DAT" of 200 samples per channel, started on 5 March 2004 at 14:22.
  void WriteAhaRecord(const std::string& name, bool with_channel2) {
    const std::vector<uint8_t> samples(400, 0x11);
    testsupport::WriteBytes(Data() / (name + "d1.dat"), samples);
    if (with_channel2) testsupport::WriteBytes(Data() / (name + "d2.dat"), samples);
    testsupport::WriteBytes(Data() / (name + "an.dat"), std::vector<uint8_t>(16, 0xFF));
    const fs::path id = Data() / (name + "ID.DAT");
    testsupport::WriteText(id, "id");
    std::tm local{};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 14;
    local.tm_min = 22;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    const timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimes(id.c_str(), times), 0);
  }

  ContextGuard context_;
  testsupport::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  win::Window main_;
  std::unique_ptr<tools::ScopedToolServices> services_;
  tools::PickResult pick_result_;
  Picked picked_;
  std::vector<Shown> shown_;
  std::vector<Choice> choices_;
};

TEST_F(ImportCommandsTest, CancellingTheAhaImportReportsItWithEmptyCounts) {
  const std::string file = (Data() / "A1201ID.DAT").string();
  struct Case {
    const char* name;
    tools::PickResult pick;
    std::vector<bool> choices;
    std::vector<std::string> lines;
    size_t choices_shown;
  };
  const Case cases[] = {
      {"picker cancelled", {false, {}}, {}, {"Importing was canceled !", "No Files were selected !"}, 0},
      {"frequency cancelled, nothing ticked",
       {true, {}},
       {false},
       {"Importing was canceled !", "No Files were selected !"},
       1},
      {"frequency cancelled, a file ticked", {true, {file}}, {false}, {"Importing was canceled !"}, 1},
      {"resolution cancelled", {true, {file}}, {true, false}, {"Importing was canceled !"}, 2},
      {"both confirmed, nothing ticked", {true, {}}, {true, true}, {"No Files were selected !"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown_.clear();
    choices_.clear();
    prompt_.ClearLog();
    pick_result_ = c.pick;
    AnswerChoices(c.choices);
    ImportAhaFiles(&main_, doc_.get());

    EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{kChooseSameSampling}));
    EXPECT_EQ(picked_.title, "Select AHA Files to import");
    EXPECT_EQ(picked_.folder, Data().string());
    EXPECT_EQ(picked_.kind, tools::kPickAha);
    ASSERT_EQ(choices_.size(), c.choices_shown);
    const std::vector<Choice> offered = {{"Select Frequency", "Hz", {"   250 Hz"}},
                                         {"Select Resolution LSB", "microV", {"   2.5 uV"}}};
    for (size_t i = 0; i < choices_.size(); ++i) {
      EXPECT_EQ(choices_[i].title, offered[i].title);
      EXPECT_EQ(choices_[i].column, offered[i].column);
      EXPECT_EQ(choices_[i].input, offered[i].input);
    }
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].caption, "Import multiple AHA Files - Results");
    EXPECT_FALSE(shown_[0].auto_scroll);
    std::vector<std::string> want = c.lines;
    want.push_back(" ");
    want.push_back("Imported : 0        Errors : 0");
    EXPECT_EQ(shown_[0].lines, want);
  }
  EXPECT_TRUE(fs::is_empty(Data()));
}

TEST_F(ImportCommandsTest, EachAhaRecordIsOneLineAndCounted) {
  WriteAhaRecord("A1201", true);
  WriteAhaRecord("A1301", false);
  pick_result_ = {true, {(Data() / "A1201ID.DAT").string(), (Data() / "A1301ID.DAT").string()}};
  AnswerChoices({true, true});
  ImportAhaFiles(&main_, doc_.get());

  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{kChooseSameSampling, kOverwriteAll}));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].lines,
            (std::vector<std::string>{"A1201 05-03-2004 14-22 -----.QRS - imported",
                                      "A1301 05-03-2004 14-22 -----.QRS - Error : Error in AHA File " +
                                          (Data() / "A1301d2.dat").string(),
                                      " ", "Imported : 1        Errors : 1"}));
  EXPECT_TRUE(fs::exists(Data() / "A1201 05-03-2004 14-22 -----.QRS"));
  EXPECT_TRUE(fs::exists(Data() / "A1201 05-03-2004 14-22 -----.KHI"));
  EXPECT_FALSE(fs::exists(Data() / "A1301 05-03-2004 14-22 -----.QRS"));
}

TEST_F(ImportCommandsTest, KekgFilesAreOneLineEachWithoutSummary) {
  std::vector<std::string> files;
  for (const char* name : {"ONE.552", "TWO.552", "THREE.252"}) {
    testsupport::WriteBytes(Data() / name, std::vector<uint8_t>(600, 0));
    files.push_back((Data() / name).string());
  }
  // TWO and THREE have their documents already; No to all, then Yes for TWO and No for THREE.
  testsupport::WriteText(Data() / "TWO.QRS", "old");
  testsupport::WriteText(Data() / "THREE.QRS", "old");
  prompt_.QueueAnswer(win::kIdNo);
  prompt_.QueueAnswer(win::kIdYes);
  prompt_.QueueAnswer(win::kIdNo);
  pick_result_ = {true, files};
  ImportKEKGFiles(&main_, doc_.get());

  EXPECT_EQ(picked_.title, "Import multiple Kestrova EKG files");
  EXPECT_EQ(picked_.folder, Data().string());
  EXPECT_EQ(picked_.kind, tools::kPickKekg);
  const std::string three_qrs = (Data() / "THREE.QRS").string();
  EXPECT_EQ(MessagesAsked(),
            (std::vector<std::string>{
                kOverwriteAll, "File " + (Data() / "TWO.QRS").string() + " already exists !\n\nOverwrite ?",
                "File " + three_qrs + " already exists !\n\nOverwrite ?"}));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].caption, "Import multiple Kestrova EKG Files - Results");
  EXPECT_FALSE(shown_[0].auto_scroll);
  EXPECT_EQ(shown_[0].lines, (std::vector<std::string>{
                                 "File: " + files[0] + " - imported", "File: " + files[1] + " - imported",
                                 "File: " + files[2] + " - Error : Did not overwrite file - " + three_qrs}));
}

TEST_F(ImportCommandsTest, AKekgImportWithoutFilesSaysSo) {
  struct Case {
    const char* name;
    tools::PickResult pick;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"cancelled", {false, {}}, {"Importing was canceled !", "No Files were selected !"}},
      {"OK with nothing ticked", {true, {}}, {"No Files were selected !"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown_.clear();
    pick_result_ = c.pick;
    ImportKEKGFiles(&main_, doc_.get());
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].lines, c.lines);
  }
  EXPECT_TRUE(MessagesAsked().empty());
}

TEST_F(ImportCommandsTest, WithoutADocumentNothingHappens) {
  ImportAhaFiles(&main_, nullptr);
  ImportKEKGFiles(&main_, nullptr);
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(MessagesAsked().empty());
}

}  // namespace
