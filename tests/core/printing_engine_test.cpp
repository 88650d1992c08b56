// Printing through the main view with the program's printing engine installed.
#include "core/printing_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/app_fixture.h"
#include "core/zk470_view.h"
#include "dialogs/findings_dlg.h"
#include "document/beat_class.h"
#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "reports/print_composer.h"
#include "reports/print_composer_impl.h"
#include "reports/print_part_table.h"
#include "support/recording_print_service.h"
#include "support/test_recordings.h"
#include "win/command_target.h"
#include "win/printing.h"

namespace coretest {
namespace {

class PrintingEngineTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    const std::filesystem::path qrs = MakeAnalysedRecording(Folder("recording") / "00001", 10, 2);
    narrative_test_ = [this] { return narrative_answer_; };
    ASSERT_TRUE(Start({qrs.string()}));
    Pump();
    InstallPrintingEngine();
    printer_.SetDefaultPrinter("Office", 210, 297);
    printer_.SetDpi(100);
    // After the start: the process reset forgets any printer service.
    win::SetPrintService(&printer_);
    Doc().GetSettings().SetInt(SettingKey::kSetupShowPrintDlg, 0);
  }

  void TearDown() override {
    win::SetPrintService(nullptr);
    AppTest::TearDown();
  }

  testsupport::RecordingPrintService printer_;
  int narrative_answer_ = 2;  // the test-data dialog cancelled
};

bool PageShows(const std::vector<std::string>& page, const std::string& text) {
  return std::any_of(page.begin(), page.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST_F(PrintingEngineTest, TheEventsPageCommandPrintsItWhateverTheWholeReportSays) {
  struct Case {
    const char* name;
    int command;
    int hr_events_switch;
    size_t pages;
  };
  constexpr Case kCases[] = {
      {"its own command, switch off", cmd::kPrint32989, 0, 1},
      {"its own command, switch on", cmd::kPrint32989, 1, 1},
      {"the whole report, switch on", cmd::kPrintWholeReport, 1, 1},
      {"the whole report, switch off", cmd::kPrintWholeReport, 0, 0},
  };
  const std::string ves_row = Doc().GetKindName(kClassVES);
  // Only the events page takes part in the whole report.
  for (const TPrintPartRow& row : PrintPartTable())
    if (row.user_switch && *row.user_switch != SettingKey::kPrintHREvents)
      Doc().GetSettings().SetInt(*row.user_switch, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    printer_.Clear();
    Doc().GetSettings().SetInt(SettingKey::kPrintHREvents, c.hr_events_switch);
    EXPECT_TRUE(win::ExecuteCommand(Frame(), c.command));
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    ASSERT_EQ(printer_.Jobs()[0].pages.size(), c.pages);
    if (c.pages > 0) {
      EXPECT_TRUE(PageShows(printer_.Jobs()[0].pages[0], ves_row));
    }
    EXPECT_TRUE(printer_.Jobs()[0].ended);
  }
  ASSERT_NE(GetActiveZK470View(), nullptr);
  EXPECT_EQ(GetActiveZK470View()->GetPrintComposer(), nullptr);
}

// The narrative test shows the test letters in the print preview; a cancelled dialog shows nothing.
TEST_F(PrintingEngineTest, TheNarrativeTestPreviewsItsLettersAndPrintsNothing) {
  Doc().GetSettings().SetText(SettingKey::kDirMain,
                              (std::filesystem::path(ZK_SOURCE_DIR) / "data/letters").string());
  for (const int answer : {2, 1}) {
    SCOPED_TRACE(answer);
    printer_.Clear();
    narrative_answer_ = answer;
    EXPECT_TRUE(win::ExecuteCommand(Frame(), cmd::kNarrativeTest));
    Pump();
    if (answer != 1) {
      EXPECT_TRUE(printer_.Jobs().empty());
      continue;
    }
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].preview);
    EXPECT_FALSE(printer_.Jobs()[0].pages.empty());
    EXPECT_EQ(printer_.PrintDialogCount(), 0);
  }
  EXPECT_TRUE(prompt_.Log().empty()) << prompt_.Log()[0].text;
}

TEST_F(PrintingEngineTest, EachJobHasAHiddenFindingsDialogOfTheRecordingThatEndsWithIt) {
  Doc().GetRecordingData().diagnosis = "Sinus rhythm";
  const size_t windows_before = win::Windows().TopLevelWindows().size();
  const PrintComposerFactory& factory = GetPrintComposerFactory();
  ASSERT_TRUE(factory);
  std::unique_ptr<PrintComposer> composer = factory(Doc());
  auto* job = dynamic_cast<TPrintComposer*>(composer.get());
  ASSERT_NE(job, nullptr);
  TFindingsDlg* findings = job->GetFindingsDialog();
  ASSERT_NE(findings, nullptr);
  EXPECT_EQ(findings->texts[3], "Sinus rhythm");
  EXPECT_TRUE(findings->IsWindow());
  EXPECT_FALSE(findings->IsWindowVisible());
  EXPECT_EQ(findings->GetParent(), nullptr);
  EXPECT_EQ(win::Windows().TopLevelWindows().size(), windows_before + 1);
  composer.reset();
  EXPECT_EQ(win::Windows().TopLevelWindows().size(), windows_before);
}

}  // namespace
}  // namespace coretest
