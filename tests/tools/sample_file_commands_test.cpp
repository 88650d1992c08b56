#include "tools/sample_file_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/sample_file_checker.h"
#include "document/sample_test_files.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "tools/raw_file_checker.h"
#include "tools/run_family.h"
#include "win/prompt.h"

namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(const std::vector<uint8_t>& bytes) {
  Lines lines;
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A scripted prompt that keeps the file dialogs' requests.
class RequestPrompt : public win::ScriptedPrompt {
 public:
  std::optional<std::string> ChooseFile(const win::FileDialogRequest& request) override {
    requests.push_back(request);
    return ScriptedPrompt::ChooseFile(request);
  }
  std::vector<win::FileDialogRequest> requests;
};

// A document on a data folder and an SD-card folder, a scripted prompt and the picker and result
// list as fakes.
class FileCheckCommandsTest : public ::testing::Test {
 protected:
  FileCheckCommandsTest() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}), prompt_scope_(prompt_) {
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
    std::filesystem::create_directories(temp_.Path() / "data");
    std::filesystem::create_directories(temp_.Path() / "card");
    doc_->SetDataDirectory((temp_.Path() / "data").string() + "/");
    doc_->SetSDCardDirectory((temp_.Path() / "card").string() + "//");
    doc_->SetDisplayMode(DisplayMode::kEcgPage);
    tools::ToolServices services;
    services.pick_files = [this](win::Window*, const std::string& title, const std::string& folder,
                                 int kind) {
      picked_title_ = title;
      picked_folder_ = folder;
      picked_kind_ = kind;
      return pick_;
    };
    services.show_results = [this](win::Window*, const std::string& caption, const Lines& lines, bool) {
      shown_caption_ = caption;
      shown_ = lines;
      ++shows_;
    };
    services_ = std::make_unique<tools::ScopedToolServices>(std::move(services));
  }

  std::string Data(const std::string& name) const { return (temp_.Path() / "data" / name).string(); }
  std::string WriteData(const std::string& name, const std::vector<uint8_t>& bytes) const {
    testsupport::WriteBytes(Data(name), bytes);
    return Data(name);
  }
  // The messages the prompt showed.
  Lines Messages() const {
    Lines texts;
    for (const auto& asked : prompt_.Log())
      if (asked.kind == "message") texts.push_back(asked.text);
    return texts;
  }
  // Runs the CMP check on the file and returns its report's lines.
  Lines CheckCmp(const std::string& path) {
    prompt_.QueueFile(path);
    tools::CheckCmpFile(nullptr, doc_.get());
    const std::string report = SampleFileChecker::ReportName(path);
    EXPECT_TRUE(std::filesystem::exists(report)) << report;
    return SplitLines(sampletest::ReadAll(report));
  }

  ContextGuard context_;
  testsupport::TempFolder temp_{"samplecmds"};
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  RequestPrompt prompt_;
  win::ScopedPrompt prompt_scope_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<tools::ScopedToolServices> services_;
  tools::PickResult pick_;
  std::string picked_title_;
  std::string picked_folder_;
  int picked_kind_ = -1;
  std::string shown_caption_;
  Lines shown_;
  int shows_ = 0;
};

TEST_F(FileCheckCommandsTest, CmpCheckOfThreeMinutesWritesItsReportBesideTheFile) {
  // Two channels; one record of minute 1 holds a data word other than the rest.
  std::vector<uint8_t> bytes = sampletest::FlatNewFile(2, 3);
  bytes[10 + 1800 + 898] = 0x12;
  const std::string path = WriteData("00012.CMP", bytes);
  const Lines report = CheckCmp(path);

  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone) << "the document is reset first";
  ASSERT_EQ(prompt_.Log().size(), 2u);
  EXPECT_EQ(prompt_.Log()[0].kind, "file");
  EXPECT_EQ(Messages(), Lines{"Results in file: " + Data("00012 QX29.txt")});

  ASSERT_GE(report.size(), 6u);
  EXPECT_EQ(Lines(report.begin(), report.begin() + 3),
            (Lines{"File : " + path, "", "CmpFileSize         :       5410 <=> 0x00001522"}));
  Lines minutes;
  for (const std::string& line : report)
    if (line.rfind("nbrsMin", 0) == 0) minutes.push_back(line);
  EXPECT_EQ(minutes, (Lines{"nbrsMin             :      0    offset: 0x0000000a",
                            "nbrsMin             :      1    offset: 0x00000712",
                            "nbrsMin             :      2    offset: 0x00000e1a",
                            "nbrsMin             :      3    offset: 0x00001522"}));
  EXPECT_EQ(Lines(report.end() - 5, report.end()),
            (Lines{"nbrsMin             :      3    offset: 0x00001522",
                   "Normal End OR Error: Read file blklen failed", "Number of identical Data blocks: 11",
                   "No error found in InitNewDEC", "No error found in InitECGDecomp"}));
  // Every record of zeros is marked; the one with another word is not.
  const auto marked = std::count_if(report.begin(), report.end(), [](const std::string& line) {
    return line.find(".chanDat") != std::string::npos && line.ends_with("<- !!!!!");
  });
  EXPECT_EQ(marked, 11);
  EXPECT_NE(std::find(report.begin(), report.end(), "   1-0-1.chanDat    :   0000 0000 0000 0000 "),
            report.end());
  EXPECT_EQ(sampletest::ReadAll(path), bytes) << "the checked file is never changed";
}

TEST_F(FileCheckCommandsTest, CmpCheckOfOldAndEmptyFiles) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    Lines want_after_file;
  };
  const Case cases[] = {
      {"old format",
       sampletest::FlatOldFile(2),
       {"", "CmpFileSize         :       1816 <=> 0x00000718",
        "Checking of old RAW File Format not supported", "No error found in InitECGDecomp"}},
      {"empty file",
       {},
       {"", "Error: Size of CMP File is 0", "Error: Reading FileHead", "Error found in InitECGDecomp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteData("00007.CMP", c.bytes);
    const Lines report = CheckCmp(path);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report[0], "File : " + path);
    EXPECT_EQ(Lines(report.begin() + 1, report.end()), c.want_after_file);
  }
}

TEST_F(FileCheckCommandsTest, CmpCheckAsksInTheDataFolderAndStopsOnCancel) {
  prompt_.QueueFile(std::nullopt);
  tools::CheckCmpFile(nullptr, doc_.get());
  ASSERT_EQ(prompt_.requests.size(), 1u);
  const win::FileDialogRequest& asked = prompt_.requests[0];
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "CMP Files (*.CMP)|*.CMP||");
  EXPECT_EQ(asked.default_extension, "CMP");
  EXPECT_EQ(asked.initial_folder, (temp_.Path() / "data").string());
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(std::filesystem::is_empty(temp_.Path() / "data"));
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);

  prompt_.ClearLog();
  tools::CheckCmpFile(nullptr, nullptr);
  tools::RepairFiles(nullptr, nullptr);
  tools::CheckRawFile(nullptr, nullptr);
  EXPECT_TRUE(prompt_.Log().empty()) << "without a document nothing is asked";
  EXPECT_TRUE(picked_title_.empty());
}

TEST_F(FileCheckCommandsTest, ReportThatCannotBeWrittenIsSaid) {
  const std::string path = WriteData("00003.CMP", sampletest::FlatNewFile(1, 2));
  std::filesystem::create_directory(Data("00003 QX29.txt"));  // a folder in the report's place
  prompt_.QueueFile(path);
  tools::CheckCmpFile(nullptr, doc_.get());
  EXPECT_EQ(Messages(), Lines{"Unable to create output file: " + Data("00003 QX29.txt")});
}

TEST_F(FileCheckCommandsTest, RepairFilesListsWhatEachFileHolds) {
  std::vector<uint8_t> damaged = sampletest::FlatNewFile(2, 6);
  damaged[10 + 3 * 1800] = 0x85;  // minute 3: an odd block length
  pick_ = {true, {WriteData("00001.CMP", sampletest::FlatNewFile(2, 4)), WriteData("00002.CMP", damaged)}};
  tools::RepairFiles(nullptr, doc_.get());

  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  EXPECT_EQ(picked_title_, "Repair Files - Select CMP");
  EXPECT_EQ(picked_folder_, (temp_.Path() / "data").string());
  EXPECT_EQ(picked_kind_, tools::kPickCmp);
  EXPECT_EQ(shown_caption_, "Repair Files - Results");
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0], "OK : 00001.CMP - checked (3 whole minutes), nothing repaired");
  EXPECT_EQ(shown_[1].rfind("ERR: 00002.CMP - checked (2 whole minutes readable), minute 3", 0), 0u)
      << shown_[1];
  EXPECT_EQ(sampletest::ReadAll(Data("00002.CMP")), damaged);

  // Cancelled, or ended with nothing ticked: no result list.
  for (const tools::PickResult& nothing :
       {tools::PickResult{false, {Data("00001.CMP")}}, tools::PickResult{true, {}}}) {
    pick_ = nothing;
    tools::RepairFiles(nullptr, doc_.get());
  }
  EXPECT_EQ(shows_, 1);
}

TEST_F(FileCheckCommandsTest, RawCheckAsksInTheCardFolderAndShowsTheReport) {
  prompt_.QueueFile(std::nullopt);
  tools::CheckRawFile(nullptr, doc_.get());
  ASSERT_EQ(prompt_.requests.size(), 1u);
  const win::FileDialogRequest& asked = prompt_.requests[0];
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "RAW Files (*.RAW)|*.RAW||");
  EXPECT_EQ(asked.default_extension, "RAW");
  EXPECT_EQ(asked.initial_folder, (temp_.Path() / "card").string());
  EXPECT_EQ(shows_, 0) << "cancelled";

  const std::string path = (temp_.Path() / "card" / "EMPTY.RAW").string();
  testsupport::WriteBytes(path, {});
  prompt_.QueueFile(path);
  tools::CheckRawFile(nullptr, doc_.get());
  EXPECT_EQ(shown_caption_, "Check RAW - File - Results");
  EXPECT_EQ(shown_, (Lines{"File : " + path, " ", "Error: Size of RAW File is 0", "Error found"}));
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kEcgPage) << "the RAW check leaves the document alone";
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
