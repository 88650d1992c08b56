#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/core_resources.h"
#include "core/document_sheets.h"
#include "core/view_pages.h"
#include "dialogs/analysis_pages.h"
#include "dialogs/colour_page.h"
#include "dialogs/display_pages.h"
#include "dialogs/gdt_page.h"
#include "dialogs/io_port_page.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/qx99_extra_dlg.h"
#include "dialogs/small_value_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "qt/dialog_host_test.h"
#include "qt/screenshot.h"
#include "recorder/recorder_screen_factories.h"
#include "win/controls.h"
#include "win/property_sheet.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

// The options sheet and the analysis settings sheet as real widgets, every page, for a reviewer.
class SettingsSheetsQtTest : public testing_support::DialogHostTest {
 protected:
  void SetUp() override {
    document::Context().Reset();
    DialogHostTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    SettingsDefaults defaults;
    defaults.home = "/home/user";
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
  }
  void AddResources(platform::ResourcePack& pack) override {
    AddOptionsPageResources(pack);
    AddIOPortPageResources(pack);
    AddRecorderScreenResources(pack);
    AddSmallValueDialogResources(pack);
    AddAnalysisPageResources(pack);
    AddSTDialogResources(pack);
    AddDisplayPageResources(pack);
    AddColourPageResources(pack);
    AddCoreResources(pack);
  }
  void ReleaseBeforeWindows() override {
    platform::Resources().SetLanguagePack(nullptr);
    doc_.reset();
    main_.DestroyWindow();
  }
  void ReleaseAfterHosts() override { document::Context().Reset(); }

  // Saves the window's picture and checks that texts reached it.
  void Shoot(win::Window& dialog, const std::string& name) {
    QWidget* window = dialogs_->WidgetOf(dialog);
    ASSERT_NE(window, nullptr) << name;
    const QImage image = window->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 80) ++dark;
    EXPECT_GT(dark, 50) << name;
    testing_support::SaveScreenshot(*window, name.c_str());
    EXPECT_TRUE(std::filesystem::exists(testing_support::ScreenshotDir() / (name + ".png")));
  }

  // The timer of the last step's successor is still pending when the dialog has ended; it must
  // fire before the next dialog's steps begin, or two chains of steps would run into each other.
  void EndStepChain() { QCoreApplication::processEvents(); }

  // One step per page of the sheet that is shown modally, then Cancel.
  std::vector<std::function<void()>> ShootEveryPage(const std::string& prefix, int pages) {
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < pages; ++i) {
      steps.push_back([this, prefix, i] {
        auto* sheet = dynamic_cast<win::PropertySheet*>(win::Windows().GetActiveWindow());
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->SetActivePage(i));
        win::Windows().RunPending();
        QCoreApplication::processEvents();
        Shoot(*sheet, prefix + "_" + std::to_string(i));
      });
    }
    steps.push_back([] {
      if (auto* sheet = dynamic_cast<win::PropertySheet*>(win::Windows().GetActiveWindow()))
        sheet->PressButton(win::kIdCancel);
    });
    return steps;
  }

  win::Window main_;
  platform::ManualClock clock_{platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
};

TEST_F(SettingsSheetsQtTest, ScreenshotsOfTheOptionsSheetInBothLanguages) {
  platform::ResourcePack german("ZK470Ger");
  AddOptionsPageResources(german);
  AddIOPortPageResources(german);
  AddSmallValueDialogResources(german);
  win::AddWindowSystemResources(german);
  for (const bool in_german : {false, true}) {
    SCOPED_TRACE(in_german ? "German" : "English");
    if (in_german) {
      platform::Resources().SetLanguagePack(&german);
      platform::Resources().UseLanguageResources();
    }
    TOptionsSheet sheet(TOptionsSheet::kCaptionId, &main_, 0, *doc_);
    sheet.SetApplyButton(false);
    Steps(ShootEveryPage(in_german ? "options_sheet_de" : "options_sheet", sheet.GetPageCount()));
    EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
    EndStepChain();
  }
}

TEST_F(SettingsSheetsQtTest, ScreenshotsOfTheAnalysisSettingsSheet) {
  Steps(ShootEveryPage("analysis_sheet", 4));
  EXPECT_TRUE(
      document_sheets::RunDocumentSheet(*doc_, document_sheets::kAnalysisSheet, &main_, "1.02.03.04"));
}

TEST_F(SettingsSheetsQtTest, ScreenshotsOfTheDocumentSettingsSheets) {
  struct Sheet {
    int command;
    const char* name;
    int pages;
  };
  const Sheet sheets[] = {
      {document_sheets::kDisplaySpeedSheet, "display_speed_sheet", 3},
      {document_sheets::kChannelsSheet, "channels_sheet", 1},
      {document_sheets::kHeartRateSheet, "heart_rate_sheet", 1},
  };
  for (const Sheet& sheet : sheets) {
    SCOPED_TRACE(sheet.name);
    Steps(ShootEveryPage(sheet.name, sheet.pages));
    EXPECT_TRUE(document_sheets::RunDocumentSheet(*doc_, sheet.command, &main_, ""));
    EndStepChain();
  }
}

// Pages that no sheet of the documents shows: each in a sheet of its own, as the user-id command
// shows its page.
TEST_F(SettingsSheetsQtTest, ScreenshotsOfTheUserAndColourPages) {
  TUserIDPage user("Dr. Example");
  win::PropertySheet user_sheet(cmd::kUserId, &main_);
  user_sheet.AddPage(user);
  TColoursPage colours(*doc_);
  win::PropertySheet colour_sheet(std::string("Colors"), &main_);
  colour_sheet.AddPage(colours);
  for (auto [sheet, name] : {std::pair{&user_sheet, "user_page"}, std::pair{&colour_sheet, "colours_page"}}) {
    sheet->SetApplyButton(false);
    sheet->SetHelpButton(false);
    Steps(ShootEveryPage(name, 1));
    EXPECT_EQ(sheet->DoModal(), win::kIdCancel);
    EndStepChain();
  }
}

// The GDT page with the link on, so that its fields show enabled, and after the switch was
// cleared, with its fields greyed on the screen.
TEST_F(SettingsSheetsQtTest, ScreenshotOfTheGdtPageWithTheLinkOn) {
  doc_->GetSettings().SetInt(SettingKey::kGDTOn, 1);
  TOptionsSheet sheet(TOptionsSheet::kCaptionId, &main_, 5, *doc_);
  sheet.SetApplyButton(false);
  const auto folder_enabled = [&] {
    QWidget* folder = dialogs_->WidgetOf(*sheet.GDT().GetDlgItem(TGDTPage::kFolderId));
    return folder != nullptr && folder->isEnabled();
  };
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           EXPECT_TRUE(folder_enabled());
           Shoot(sheet, "gdt_page");
         },
         [&] {
           sheet.GDT().Item<win::Button>(TGDTPage::kSwitchId)->Click();
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           EXPECT_FALSE(folder_enabled());
           Shoot(sheet, "gdt_page_off");
         },
         [&] { sheet.PressButton(win::kIdCancel); }});
  EXPECT_EQ(sheet.DoModal(), win::kIdCancel);
}

TEST_F(SettingsSheetsQtTest, ScreenshotOfTheExtrasDialog) {
  AddQX99ExtraDlgResources(platform::Resources().ExePack());
  doc_->GetSettings().SetInt(SettingKey::kUserAnalyzeModus, 1);
  TQX99ExtraDlg dialog(*doc_, &main_);
  Steps({[&] {
           win::Windows().RunPending();
           QCoreApplication::processEvents();
           Shoot(dialog, "extras_dialog");
         },
         [&] { dialog.SendMessage(win::kWmCommand, win::kIdCancel); }});
  EXPECT_EQ(dialog.DoModal(), win::kIdCancel);
}

}  // namespace
}  // namespace qthost
