#include "core/recorder_service_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_resources.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/raw/raw_image.h"
#include "recorder/service/raw_data_test_dlg.h"
#include "recorder/service/service_resources.h"
#include "recorder/service/zk131_test_dlg.h"
#include "support/test_files.h"
#include "win/controls.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

class RecorderServiceCommandsTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    document::Context().Reset();
    AddRecorderServiceResources(platform::Resources().ExePack());
    AddDialogResources(platform::Resources().ExePack());
    dir_ = testsupport::MakeTestDir("recorder_service_commands");
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    document::Context().Reset();
    WinTest::TearDown();
  }

  win::Window main_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  fs::path dir_;
};

TEST_F(RecorderServiceCommandsTest, RawDataTestWritesTheChosenImageAndSaysFinished) {
  const fs::path target = dir_ / "ZK131ECG.RAW";
  prompt_.QueueFile(target.string());
  DriveModal({[&](win::Window* modal) {
    auto* dialog = dynamic_cast<TRawDataTestDlg*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->Item<win::Edit>(TRawDataTestDlg::kLengthId)->SetWindowText("4096");
    dialog->Item<win::Button>(win::kIdOk)->Click();
  }});
  RunRecorderServiceCommand(kCmdRawDataTest, *doc_, &main_);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Finished"}));
  ASSERT_EQ(prompt_.Log().front().kind, "file");
  EXPECT_EQ(fs::file_size(target), 1536u + 4096u);
  EXPECT_EQ(recorder::ReadRawImage(target).header.RawEcgBlockSize, 4096u);
}

TEST_F(RecorderServiceCommandsTest, RawDataTestWithTheDefaultsClosesTheRecordingAndWritesZeros) {
  doc_->SetDisplayMode(DisplayMode::kEcgPage);
  const fs::path target = dir_ / "ZK131ECG.RAW";
  prompt_.QueueFile(target.string());
  DisplayMode mode_while_asked = DisplayMode::kEcgPage;
  DriveModal({[&](win::Window* modal) {
    auto* dialog = dynamic_cast<TRawDataTestDlg*>(modal);
    ASSERT_NE(dialog, nullptr);
    mode_while_asked = doc_->GetDisplayMode();
    dialog->Item<win::Button>(win::kIdOk)->Click();
  }});
  RunRecorderServiceCommand(kCmdRawDataTest, *doc_, &main_);
  EXPECT_EQ(mode_while_asked, DisplayMode::kNone);
  EXPECT_EQ(MessagesAsked(), (std::vector<std::string>{"Finished"}));
  const std::vector<uint8_t> bytes = platform::ReadFileBytes(target);
  ASSERT_EQ(bytes.size(), 1536u + 32768u);
  EXPECT_EQ(recorder::ReadRawImage(target).header.RawEcgBlockSize, 32768u);
  EXPECT_TRUE(std::all_of(bytes.begin() + 1536, bytes.end(), [](uint8_t b) { return b == 0; }))
      << "no error planted";
}

TEST_F(RecorderServiceCommandsTest, TheTestersReturnTheViewToTheStartScreenFirst) {
  struct Case {
    int command;
    DisplayMode after;
  };
  for (const Case& c : {Case{kCmdZK131Test, DisplayMode::kNone}, Case{kCmdUsbTest, DisplayMode::kPdf}}) {
    SCOPED_TRACE(c.command);
    doc_->SetDisplayMode(DisplayMode::kPdf);
    int template_id = 0;
    DriveModal({[&](win::Window* modal) {
      auto* dialog = dynamic_cast<win::Dialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      template_id = dialog->TemplateId();
      dialog->EndDialog(win::kIdOk);
    }});
    RunRecorderServiceCommand(c.command, *doc_, &main_);
    EXPECT_EQ(template_id, c.command == kCmdZK131Test ? TZK131TestDlg::kTemplateId : 316);
    EXPECT_EQ(doc_->GetDisplayMode(), c.after);
  }
}

}  // namespace
