// What the pages of the options sheet and of the analysis settings sheet draw, page by page.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/document_sheets.h"
#include "dialogs/analysis_pages.h"
#include "dialogs/io_port_page.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/small_value_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "document/doc_test_support.h"
#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_screen_factories.h"
#include "support/screen_golden.h"
#include "win/property_sheet.h"
#include "win/win_fixture.h"

namespace {

class SettingsSheetsGoldenTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    context_ = std::make_unique<ContextGuard>();
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddOptionsPageResources(own);
    AddIOPortPageResources(own);
    AddRecorderScreenResources(own);
    AddSmallValueDialogResources(own);
    AddAnalysisPageResources(own);
    AddSTDialogResources(own);
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    // A fixed home, and no folders made: the directories page shows the same texts on every run.
    SettingsDefaults defaults;
    defaults.home = "/home/user";
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
  }
  void TearDown() override {
    doc_.reset();
    main_.DestroyWindow();
    context_.reset();
    WinTest::TearDown();
  }

  // Each page of the sheet in turn, compared with tests/golden/dialogs/<prefix>_<index>.txt.
  void ExpectPages(win::PropertySheet& sheet, const std::string& prefix) {
    ASSERT_GT(sheet.GetPageCount(), 0);
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
      SCOPED_TRACE(i);
      ASSERT_TRUE(sheet.SetActivePage(i));
      win::Windows().RunPending();
      testsupport::ExpectScreenGolden("dialogs", prefix + "_" + std::to_string(i),
                                      testsupport::RecordedScreen(sheet));
    }
    sheet.PressButton(win::kIdCancel);
  }

  std::unique_ptr<ContextGuard> context_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(SettingsSheetsGoldenTest, OptionsSheetPages) {
  TOptionsSheet sheet(TOptionsSheet::kCaptionId, &main_, 0, *doc_);
  sheet.SetApplyButton(false);
  DriveModal({[&](win::Window*) { ExpectPages(sheet, "options_sheet_page"); }});
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
  EXPECT_EQ(StepsRun(), 1u);
}

TEST_F(SettingsSheetsGoldenTest, AnalysisSheetPages) {
  DriveModal({[&](win::Window* modal) {
    auto* sheet = dynamic_cast<win::PropertySheet*>(modal);
    ASSERT_NE(sheet, nullptr);
    ExpectPages(*sheet, "analysis_sheet_page");
  }});
  EXPECT_TRUE(
      document_sheets::RunDocumentSheet(*doc_, document_sheets::kAnalysisSheet, &main_, "1.02.03.04"));
  EXPECT_EQ(StepsRun(), 1u);
}

}  // namespace
