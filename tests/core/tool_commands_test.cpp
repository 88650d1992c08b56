#include "core/tool_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "core/core_ids.h"
#include "core/resource_packs.h"
#include "document/qrs_complex.h"
#include "document/raw_ecg_data.h"
#include "document/sample_test_files.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "recorder/service/recorder_test_dlg.h"
#include "recorder/service/usb_test_dlg.h"
#include "recorder/service/zk131_test_dlg.h"
#include "support/test_files.h"
#include "support/test_recordings.h"
#include "win/command_target.h"
#include "win/dialog.h"

namespace {

namespace fs = std::filesystem;
using coretest::AppTest;

// What a menu entry of a tool command shows in the display modes 0 (start screen), 1 (a recording
// with beats and a new-format sample file), 5 (online monitor) and 15 (PDF document).
struct Row {
  int id;
  // The modes in which it can be chosen; nullopt: no rule, the entry keeps its state.
  std::optional<std::set<int>> enabled_in;
};
const std::set<int> kNotMonitorOrPdf = {0, 1};
const std::set<int> kRecordingOnly = {1};
const Row kRows[] = {
    {32815, kNotMonitorOrPdf}, {32843, kNotMonitorOrPdf}, {32952, kNotMonitorOrPdf},
    {33030, kNotMonitorOrPdf}, {33033, kNotMonitorOrPdf}, {33035, kNotMonitorOrPdf},
    {33036, kNotMonitorOrPdf}, {33037, kRecordingOnly},   {33038, std::nullopt},
    {33039, kRecordingOnly},   {33040, kRecordingOnly},   {33041, kNotMonitorOrPdf},
    {33042, std::nullopt},     {33043, kNotMonitorOrPdf}, {33044, kRecordingOnly},
    {33045, std::nullopt},     {33046, std::nullopt},     {33047, kRecordingOnly},
    {33048, kNotMonitorOrPdf}, {33049, std::nullopt},     {33050, kRecordingOnly},
    {33051, std::nullopt},     {33053, kNotMonitorOrPdf}, {33054, kNotMonitorOrPdf},
    {33055, kNotMonitorOrPdf}, {33056, kNotMonitorOrPdf}, {33057, kNotMonitorOrPdf},
    {33058, kNotMonitorOrPdf}, {33060, kNotMonitorOrPdf}, {33061, std::nullopt},
    {33062, std::nullopt},
};

class ToolCommandsTest : public AppTest {
 protected:
  // Starts the program on a two-minute recording of the synthetic generator.
  void StartOnRecording() {
    qrs_ = coretest::MakeSyntheticRecording(Folder("rec") / "00001", 2);
    ASSERT_TRUE(Start({qrs_.string()}));
    Pump();
    ASSERT_FALSE(Doc().GetPathName().empty());
  }
  win::CmdUI Update(int id) { return win::UpdateCommand(Frame(), id, false); }
  // Runs the command as its menu entry does; the test's step handles the dialog it opens.
  void Choose(int id) {
    Frame().SendMessage(win::kWmCommand, static_cast<win::WParam>(id));
    Pump();
  }

  fs::path qrs_;
};

TEST_F(ToolCommandsTest, TheTableHoldsEveryCommandOnce) {
  std::set<int> ids;
  for (const ToolCommand& command : ToolCommands()) EXPECT_TRUE(ids.insert(command.id).second) << command.id;
  std::set<int> want;
  for (const Row& row : kRows) want.insert(row.id);
  EXPECT_EQ(ids, want);
  EXPECT_EQ(FindToolCommand(33052), nullptr);
  EXPECT_EQ(FindToolCommand(33034), nullptr) << "the narrative test is no tool command";
}

TEST_F(ToolCommandsTest, EveryCommandFollowsItsRuleInEachMode) {
  StartOnRecording();
  Doc().GetQRSList().Append(TQRSComplex(500, 1));
  ASSERT_EQ(Doc().GetRawECGData()->GetCompressedFormat(), 2);
  for (const int mode : {0, 1, 5, 15}) {
    Doc().SetDisplayMode(static_cast<DisplayMode>(mode));
    for (const Row& row : kRows) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", command " + std::to_string(row.id));
      const win::CmdUI ui = Update(row.id);
      if (!row.enabled_in) {
        EXPECT_FALSE(ui.Touched()) << "no rule: the entry keeps its state";
        EXPECT_TRUE(win::HasCommandHandler(Frame(), row.id)) << "taken by a handler that does nothing";
      } else {
        EXPECT_EQ(ui.Enabled(), std::optional<bool>(row.enabled_in->contains(mode)));
      }
    }
  }
}

// The two rules that look past the mode: the RAW image needs the new compressed sample format,
// command 33050 a beat list with beats.
TEST_F(ToolCommandsTest, RawImageNeedsANewFormatSampleFileAndCommand33050Beats) {
  coretest::MakeSyntheticRecording(Folder("rec") / "00002", 2);
  // The same recording on an old-format sample file.
  testsupport::WriteBytes(Folder("rec") / "00002.CMP", sampletest::FlatOldFile(2));
  StartOnRecording();
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  ASSERT_EQ(Doc().GetQRSList().GetSize(), 0);
  EXPECT_EQ(Update(33050).Enabled(), std::optional<bool>(false)) << "no beats";
  EXPECT_EQ(Update(33044).Enabled(), std::optional<bool>(true));

  ASSERT_TRUE(app_->OpenDocumentFile((Folder("rec") / "00002.QRS").string()));
  Pump();
  ASSERT_EQ(Doc().GetRawECGData()->GetCompressedFormat(), 1);
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_EQ(Update(33044).Enabled(), std::optional<bool>(false)) << "an old-format sample file";
}

// The service dialogs run on the program's own resources and leave the language resources
// current however they end; the recorder and command testers close the recording first.
TEST_F(ToolCommandsTest, ServiceDialogsSwitchResourcesAndTheTestersCloseTheRecording) {
  StartOnRecording();
  struct Case {
    int id;
    int template_id;
    int end_with;
    bool closes_recording;
  };
  const Case cases[] = {
      {33033, TRecorderTestDlg::kTemplateId, win::kIdOk, true},
      {33035, TZK131TestDlg::kTemplateId, win::kIdCancel, true},
      {33036, TUSBTestDlg::kTemplateId, win::kIdCancel, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (Doc().GetPathName().empty()) {
      ASSERT_TRUE(app_->OpenDocumentFile(qrs_.string()));
      Pump();
    }
    Doc().SetDisplayMode(DisplayMode::kEcgPage);
    ASSERT_FALSE(platform::Resources().ExeResourcesChosen());
    int shown = 0;
    bool own_resources_while_shown = false;
    std::string path_while_shown = "?";
    on_idle_ = [&](win::Window* modal) {
      auto* dialog = dynamic_cast<win::Dialog*>(modal);
      if (dialog == nullptr || shown > 0) return false;
      ++shown;
      EXPECT_EQ(dialog->TemplateId(), c.template_id);
      own_resources_while_shown = platform::Resources().ExeResourcesChosen();
      path_while_shown = Doc().GetPathName();
      dialog->EndDialog(c.end_with);
      return true;
    };
    Choose(c.id);
    on_idle_ = nullptr;
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(own_resources_while_shown);
    EXPECT_FALSE(platform::Resources().ExeResourcesChosen()) << "the language resources are current again";
    if (c.closes_recording) {
      EXPECT_TRUE(path_while_shown.empty());
      EXPECT_TRUE(Doc().GetPathName().empty());
      EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kNone);
    } else {
      EXPECT_EQ(path_while_shown, qrs_.string());
      EXPECT_EQ(Doc().GetPathName(), qrs_.string());
      EXPECT_EQ(Doc().GetDisplayMode(), DisplayMode::kEcgPage);
    }
  }
}

// The RAW image of the open recording is one command of the frame; cancelling its save dialog
// leaves the language resources current and nothing written.
TEST_F(ToolCommandsTest, RawImageOfTheRecordingCancelledRestoresTheLanguageResources) {
  StartOnRecording();
  Doc().SetDisplayMode(DisplayMode::kNavigation);
  prompt_.QueueFile(std::nullopt);
  Choose(cmd::kWriteRecordingRawFile);
  ASSERT_FALSE(prompt_.Log().empty());
  EXPECT_EQ(prompt_.Log().back().kind, "file");
  EXPECT_FALSE(platform::Resources().ExeResourcesChosen());
  EXPECT_FALSE(fs::exists(Folder("rec") / "ZK131ECG.RAW"));
}

// A resource switch survives a handler that throws: the language resources are current again.
TEST_F(ToolCommandsTest, ResourcesComeBackWhenTheHandlerFails) {
  ASSERT_TRUE(Start({}));
  const ToolCommand* image = FindToolCommand(cmd::kExportBin);
  ASSERT_NE(image, nullptr);
  ASSERT_TRUE(image->own_resources);
  bool own = false;
  EXPECT_THROW(RunToolCommand(*image, nullptr,
                              [&] {
                                own = platform::Resources().ExeResourcesChosen();
                                throw platform::IoError("x.BIN", "cannot be written");
                              }),
               platform::IoError);
  EXPECT_TRUE(own);
  EXPECT_FALSE(platform::Resources().ExeResourcesChosen());
}

TEST_F(ToolCommandsTest, TheToolsMenuCarriesTheCommandsInBothLanguages) {
  ASSERT_TRUE(Start({}));
  struct Case {
    const char* pack;
    const char* title;
  };
  for (const Case& c : {Case{"ZK470Eng", "&Tools"}, Case{"ZK470Ger", "E&xtras"}}) {
    SCOPED_TRACE(c.pack);
    const platform::ResourcePack* pack = FindLanguagePack(c.pack);
    ASSERT_NE(pack, nullptr);
    platform::Resources().SetLanguagePack(pack);
    const std::optional<win::Menu> menu = LoadMenuResource(core_ids::kDocumentResource);
    ASSERT_TRUE(menu.has_value());
    const win::Menu* tools = nullptr;
    const win::Menu* recorder = nullptr;
    for (size_t i = 0; i < menu->Count(); ++i) {
      if (menu->At(i).text == c.title) tools = menu->At(i).popup.get();
      if (menu->At(i).popup && menu->At(i).popup->FindItem(cmd::kReadRecorder))
        recorder = menu->At(i).popup.get();
    }
    ASSERT_NE(tools, nullptr);
    ASSERT_NE(recorder, nullptr);
    std::set<int> in_menu;
    for (size_t i = 0; i < tools->Count(); ++i)
      if (!tools->At(i).separator) in_menu.insert(tools->At(i).id);
    std::set<int> want;
    for (const Row& row : kRows)
      if (row.enabled_in) want.insert(row.id);
    want.erase(33041);
    want.erase(33050);
    // The validation statistics are the main view's commands, beside the validation batches.
    want.insert({cmd::kAnnotationStatisticAHA, cmd::kAnnotationStatisticMIT, cmd::kSTStatistic});
    EXPECT_EQ(in_menu, want);
    for (const int id : want) {
      EXPECT_EQ(recorder->FindItem(id), nullptr) << id << " moved out of the recorder menu";
      const std::string prompt = platform::LoadString(id);
      EXPECT_NE(prompt.find('\n'), std::string::npos) << id << ": status text and tool tip";
    }
    for (const int id : {cmd::kReadRecorder, cmd::kImportRawFile, cmd::kImportRawFiles, cmd::kReadTape})
      EXPECT_NE(recorder->FindItem(id), nullptr) << id;
  }
}

}  // namespace
